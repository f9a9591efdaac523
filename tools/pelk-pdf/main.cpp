// pelk-pdf: writes the program's printouts as PDF files, for scripts. Needs no display.
//
//   pelk-pdf MAINDIR order NUMBER --kind 1|2 --out FILE.pdf [--lang PL|ANG]
//   pelk-pdf MAINDIR offer NR --out FILE.pdf
//
// Exit codes: 0 the file is written; 1 the document could not be written (no file is left);
// 2 the arguments were wrong.
#include "documents/painter.h"
#include "engine/error.h"
#include "offers/offerpdf.h"
#include "orders/orderlayout.h"
#include "orders/orderprintdata.h"

#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

constexpr int kWritten = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// A command's arguments after the main folder and the command's name: the positional ones in
// order and the options by name (without the dashes).
struct Arguments {
    QString mainFolder;
    QStringList positional;
    QHash<QString, QString> options;
};

struct Command {
    const char* name;
    const char* usage;   // the line after "pelk-pdf MAINDIR "
    QStringList options; // the options it takes, each with a value
    int positionalCount;
    std::function<int(const Arguments&)> run;
};

void say(const QString& line) {
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

int failed(const QString& why) {
    say(QStringLiteral("pelk-pdf: ") + why);
    return kFailed;
}

int orderCommand(const Arguments& args) {
    bool ok = false;
    const qint64 number = args.positional.at(0).toLongLong(&ok);
    const QString kindText = args.options.value(QStringLiteral("kind"));
    const int kind = kindText.toInt();
    const QString out = args.options.value(QStringLiteral("out"));
    const QString lang = args.options.value(QStringLiteral("lang"));
    if (!ok || (kindText != QStringLiteral("1") && kindText != QStringLiteral("2")) ||
        out.isEmpty() ||
        (args.options.contains(QStringLiteral("lang")) && lang != QStringLiteral("PL") &&
         lang != QStringLiteral("ANG")))
        return kUsage;

    const QString catalogue = orders::defaultCatalogueOf(args.mainFolder);
    const auto orderNr = orders::findOrderByNumber(catalogue, kind, number);
    if (!orderNr)
        return failed(QStringLiteral("nie ma zamówienia %1 rodzaju %2 w katalogu %3")
                          .arg(number)
                          .arg(kind)
                          .arg(QDir::toNativeSeparators(catalogue)));
    // A tool has nobody logged in, so no signature is printed.
    auto order = orders::loadOrderPrintData(args.mainFolder, catalogue, *orderNr, 0);
    if (!order) return failed(QStringLiteral("nie ma zamówienia %1").arg(number));
    if (!lang.isEmpty()) order->language = lang;
    const auto pages = orders::orderReport(*order).layout();
    if (pages.isEmpty())
        return failed(QStringLiteral("zamówienie %1 nie ma pozycji; nic nie zapisano").arg(number));
    QString error;
    if (!documents::writePdf(out, documents::PageSource::of(pages),
                             QStringLiteral("Zamówienie %1").arg(order->number), &error))
        return failed(error);
    return kWritten;
}

// The document of offer NR (Oferty_Nr); a damaged document is written as far as it can be read.
int offerCommand(const Arguments& args) {
    bool ok = false;
    const int nr = args.positional.at(0).toInt(&ok);
    const QString out = args.options.value(QStringLiteral("out"));
    if (!ok || out.isEmpty()) return kUsage;
    QString error;
    if (!offers::writeOfferPdf(args.mainFolder, nr, out, &error)) return failed(error);
    return kWritten;
}

// One entry per printout the tool writes.
const QList<Command>& commands() {
    static const QList<Command> list{
        {"order",
         "order NUMBER --kind 1|2 --out FILE.pdf [--lang PL|ANG]",
         {QStringLiteral("kind"), QStringLiteral("out"), QStringLiteral("lang")},
         1,
         orderCommand},
        {"offer", "offer NR --out FILE.pdf", {QStringLiteral("out")}, 1, offerCommand},
    };
    return list;
}

// Asked for, the usage goes to standard output and is no failure; after a mistake it is one.
int usage(bool asked = false) {
    FILE* out = asked ? stdout : stderr;
    std::fprintf(out, "%s\n", QStringLiteral("Użycie:").toLocal8Bit().constData());
    for (const Command& c : commands())
        std::fprintf(out, "  pelk-pdf MAINDIR %s\n", c.usage);
    return asked ? 0 : kUsage;
}

std::optional<Arguments> parse(const Command& command, const QStringList& words) {
    Arguments args;
    args.mainFolder = words.at(0);
    for (int i = 2; i < words.size(); ++i) {
        const QString& w = words.at(i);
        if (w.startsWith(QStringLiteral("--"))) {
            const QString name = w.mid(2);
            if (!command.options.contains(name) || i + 1 >= words.size() ||
                args.options.contains(name))
                return std::nullopt;
            args.options.insert(name, words.at(++i));
        } else {
            args.positional << w;
        }
    }
    if (args.positional.size() != command.positionalCount) return std::nullopt;
    return args;
}

} // namespace

int main(int argc, char** argv) {
    // Fonts and PDF output need a GUI application, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Scripts read one line of ours on failure, not Qt's remarks about the environment.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) say(text);
    });
    QGuiApplication app(argc, argv);
    const QStringList words = app.arguments().mid(1);
    if (words.contains(QStringLiteral("--help")) || words.contains(QStringLiteral("-h")))
        return usage(true);
    if (words.size() < 2) return usage();
    const Command* command = nullptr;
    for (const Command& c : commands())
        if (words.at(1) == QString::fromLatin1(c.name)) command = &c;
    if (!command) return usage();
    const auto args = parse(*command, words);
    if (!args) return usage();
    if (!QDir(args->mainFolder).exists())
        return failed(QStringLiteral("nie ma folderu głównego %1")
                          .arg(QDir::toNativeSeparators(args->mainFolder)));
    try {
        const int result = command->run(*args);
        return result == kUsage ? usage() : result;
    } catch (const engine::EngineError& e) {
        return failed(e.message());
    }
}
