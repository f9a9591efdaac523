// The order printout: laying out an order and writing its PDF file (1,000 and 20 lines), and the
// print preview window's rendering of the first page of the 1,000-line order, offscreen.
//
//   bench_print [google benchmark options]
#include "documents/painter.h"
#include "orders/orderlayout.h"

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

orders::OrderPrintData order(int lines) {
    orders::OrderPrintData d;
    d.kind = 1;
    d.language = QStringLiteral("PL");
    d.number = QStringLiteral("1234/2024");
    d.issued = QStringLiteral("17-05-2024");
    d.due = QStringLiteral("03-06-2024");
    d.payment = QStringLiteral("przelew 14 dni");
    d.transport = QStringLiteral("kurier");
    d.company = {QStringLiteral("Żuraw i Syn Sp. z o.o."),
                 QStringLiteral("Hurtownia Techniczna"),
                 {},
                 QStringLiteral("ul. Długa 5"),
                 QStringLiteral("80-001"),
                 QStringLiteral("Gdańsk"),
                 {},
                 {},
                 {}};
    d.recipient = d.company;
    d.owner = d.company;
    d.headings[0] = QStringLiteral("Dotyczy oferty 12/2024");
    d.footers[0] = QStringLiteral("Dziękujemy za zamówienie.");
    for (int i = 1; i <= lines; ++i)
        d.lines.append({QStringLiteral("Łożysko kulkowe zwykłe 62%1 2RS").arg(i),
                        QStringLiteral("LOZ-%1").arg(i, 7, 10, QChar(u'0')),
                        QStringLiteral("ŻUK %1-98").arg(i), QStringLiteral("szt"),
                        QString::number(i % 50 + 1), QStringLiteral("pilne")});
    return d;
}

void layoutAndPdf(benchmark::State& state) {
    const auto data = order(int(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("z.pdf"));
    int pages = 0;
    for (auto _ : state) {
        const auto laid = orders::orderReport(data).layout();
        pages = int(laid.size());
        if (!documents::writePdf(path, documents::PageSource::of(laid), QStringLiteral("z")))
            state.SkipWithError("the PDF file was not written");
    }
    state.counters["pages"] = pages;
}
BENCHMARK(layoutAndPdf)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);

// What the user waits for between "Podgląd" and the first page on screen: the preview lays out
// the order, paints every page into its own recording, and draws the first one.
void previewFirstPage(benchmark::State& state) {
    const auto data = order(int(state.range(0)));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setFullPage(true);
        QPrintPreviewWidget preview(&printer);
        preview.resize(900, 1100);
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, [&](QPrinter* p) {
            documents::paintPages(*p,
                                  documents::PageSource::of(orders::orderReport(data).layout()));
        });
        preview.show();
        preview.updatePreview();
        const QImage shown = preview.grab().toImage();
        benchmark::DoNotOptimize(shown.constBits());
        state.counters["pages"] = preview.pageCount();
    }
}
BENCHMARK(previewFirstPage)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
