// Reading and writing a long offer in Rich Text Format: a generated document of about 1 MB of RTF
// (some 200 pages of formatted Polish text: centred headings, paragraphs with bold and italic
// runs and other fonts and colours, bullet lists), written to RTF and read back into a fresh
// QTextDocument; each timed as the median of its runs, beside the targets.
//
//   bench_rtf [--size BYTES] [--runs N]

#include "documents/rtf.h"
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr double kReadTargetMs = 300;
constexpr double kWriteTargetMs = 200;

const char16_t* const kWords[] = {
    u"zawór",     u"kulowy",     u"kołnierz", u"uszczelka", u"dostawa", u"cena",     u"netto",
    u"brutto",    u"gwint",      u"żeliwo",   u"mosiądz",   u"stal",    u"śruba",    u"nakrętka",
    u"podkładka", u"ciśnienie",  u"średnica", u"przyłącze", u"termin",  u"płatność", u"gwarancja",
    u"oferta",    u"zamówienie", u"ilość",    u"sztuk",     u"łożysko", u"źródło",   u"jakość"};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

QString sentence(unsigned& seed, int words) {
    QString text;
    for (int w = 0; w < words; ++w) {
        seed = seed * 1103515245u + 12345u;
        if (w) text += u' ';
        text += QString::fromUtf16(kWords[(seed >> 16) % std::size(kWords)]);
    }
    return text;
}

void build(QTextDocument& doc, int sections) {
    doc.clear();
    QTextCursor c(&doc);
    unsigned seed = 1;
    QTextCharFormat body;
    body.setFontFamilies({QStringLiteral("Times New Roman")});
    body.setFontPointSize(11);
    QTextCharFormat bold = body;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat italic = body;
    italic.setFontItalic(true);
    QTextCharFormat code = body;
    code.setFontFamilies({QStringLiteral("Courier New")});
    code.setForeground(QColor(0, 0, 128));
    QTextCharFormat heading = bold;
    heading.setFontFamilies({QStringLiteral("Arial")});
    heading.setFontPointSize(16);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setTopMargin(12);
    centred.setBottomMargin(6);
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    justified.setTextIndent(18);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);

    for (int s = 0; s < sections; ++s) {
        if (s) c.insertBlock();
        c.setBlockFormat(centred);
        c.insertText(QStringLiteral("Rozdział %1. ").arg(s + 1) + sentence(seed, 4), heading);
        for (int p = 0; p < 6; ++p) {
            c.insertBlock(justified);
            for (int r = 0; r < 8; ++r) {
                const QTextCharFormat& f = r % 4 == 1 ? bold : r % 4 == 3 ? italic : body;
                c.insertText(sentence(seed, r % 4 == 0 ? 12 : 3) + u' ', r == 6 ? code : f);
            }
        }
        c.insertBlock(QTextBlockFormat());
        c.createList(bullets);
        for (int i = 0; i < 4; ++i) {
            if (i) c.insertBlock();
            c.insertText(sentence(seed, 6), body);
        }
        c.insertBlock(QTextBlockFormat());
        c.currentList() ? c.currentList()->remove(c.block()) : void();
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qsizetype targetSize = 1 << 20;
    int runs = 7;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--size")) targetSize = std::atoll(argv[i + 1]);
        if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
    }

    QTextDocument doc;
    int sections = 50;
    build(doc, sections);
    QByteArray rtf = documents::writeRtf(doc);
    sections = int(qint64(sections) * targetSize / std::max<qsizetype>(rtf.size(), 1)) + 1;
    build(doc, sections);
    rtf = documents::writeRtf(doc);

    std::vector<double> writeMs, readMs;
    QString readText;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray written = documents::writeRtf(doc);
        writeMs.push_back(timer.nsecsElapsed() / 1e6);
        if (written != rtf) {
            std::fprintf(stderr, "bench_rtf: the writer wrote different bytes on run %d\n", r);
            return 1;
        }

        QTextDocument read;
        timer.restart();
        QString note;
        const bool ok = documents::readRtf(rtf, read, &note);
        readMs.push_back(timer.nsecsElapsed() / 1e6);
        if (!ok || !note.isEmpty()) {
            std::fprintf(stderr, "bench_rtf: reading failed: %s\n", qPrintable(note));
            return 1;
        }
        if (r == 0) readText = read.toPlainText();
    }
    if (readText != doc.toPlainText()) {
        std::fprintf(stderr, "bench_rtf: the text read back differs from the text written\n");
        return 1;
    }

    // Pages as the offer would print on A4 with 2 cm margins.
    doc.setPageSize(QSizeF(595 - 2 * 57, 842 - 2 * 57));
    std::printf("document: %.2f MB of RTF, %d characters, %d paragraphs, %d pages of A4\n",
                rtf.size() / 1048576.0, doc.characterCount(), doc.blockCount(), doc.pageCount());
    std::printf("%-8s %9s %9s %9s %9s\n", "measure", "median", "min", "max", "target");
    const auto row = [](const char* name, const std::vector<double>& ms, double target) {
        std::printf("%-8s %9.1f %9.1f %9.1f %9.0f ms%s\n", name, median(ms),
                    *std::min_element(ms.begin(), ms.end()),
                    *std::max_element(ms.begin(), ms.end()), target,
                    median(ms) > target ? "  OVER" : "");
    };
    row("read", readMs, kReadTargetMs);
    row("write", writeMs, kWriteTargetMs);
    return median(readMs) > kReadTargetMs || median(writeMs) > kWriteTargetMs ? 1 : 0;
}
