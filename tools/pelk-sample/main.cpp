// pelk-sample: a complete main folder with a default catalogue full of sample data, for trying
// the program out and for measuring it on large catalogues.
#include "engine/database.h"
#include "engine/error.h"
#include "sample.h"
#include "store/catalogue_schema.h"
#include "store/mainfolder_schema.h"
#include "store/settings.h"
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

namespace {

const char* const kUsage =
    "Użycie: pelk-sample FOLDER_GŁÓWNY [--items N] [--seed S] [--orders N] [--replace]\n"
    "\n"
    "Tworzy folder główny programu (logowanie wyłączone) z katalogiem domyślnym Dane/Glowna\n"
    "wypełnionym przykładowymi danymi we wszystkich tabelach.\n"
    "\n"
    "  --items N   liczba towarów (domyślnie 2000)\n"
    "  --seed S    ziarno losowania; to samo ziarno daje tego samego dnia te same dane\n"
    "              (domyślnie 1)\n"
    "  --orders N  liczba zamówień każdego rodzaju, po 1 do 20 pozycji (domyślnie zależna\n"
    "              od liczby towarów)\n"
    "  --replace   zastępuje istniejący folder główny i katalog\n";

void print(FILE* to, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), to);
    std::fflush(to);
}

// The work could not be done: the message, exit code 1.
int fail(const QString& message) {
    print(stderr, message + u'\n');
    return 1;
}

// Wrong arguments: the message and the usage, exit code 2.
int usageError(const QString& message) {
    print(stderr, message + QStringLiteral("\n\n") + QString::fromUtf8(kUsage));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QString mainDir;
    sample::Options options;
    bool replace = false;
    const QStringList args = [&] {
        QStringList l;
        for (int i = 1; i < argc; ++i)
            l << QString::fromLocal8Bit(argv[i]);
        return l;
    }();
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            print(stdout, QString::fromUtf8(kUsage));
            return 0;
        }
        if (a == QLatin1String("--replace")) {
            replace = true;
        } else if (a == QLatin1String("--orders")) {
            bool ok = false;
            options.orders = i + 1 < args.size() ? args[++i].toInt(&ok) : 0;
            if (!ok || options.orders < 1)
                return usageError(
                    QStringLiteral("Liczba zamówień musi być dodatnią liczbą całkowitą."));
        } else if (a == QLatin1String("--items") || a == QLatin1String("--seed")) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("Brak wartości po %1.").arg(a));
            const QString v = args[++i];
            bool ok = false;
            if (a == QLatin1String("--items")) {
                options.items = v.toInt(&ok);
                if (!ok || options.items < 1)
                    return usageError(
                        QStringLiteral(
                            "Liczba towarów musi być dodatnią liczbą całkowitą, a nie \"%1\".")
                            .arg(v));
            } else {
                options.seed = v.toULongLong(&ok);
                if (!ok)
                    return usageError(
                        QStringLiteral("Ziarno musi być nieujemną liczbą całkowitą, a nie \"%1\".")
                            .arg(v));
            }
        } else if (a.startsWith(u'-') || !mainDir.isEmpty()) {
            return usageError(QStringLiteral("Nieznany argument \"%1\".").arg(a));
        } else {
            mainDir = a;
        }
    }
    if (mainDir.isEmpty()) return usageError(QStringLiteral("Nie podano folderu głównego."));

    const QString main = QDir(mainDir).absolutePath();
    if (store::isMainFolder(main) && !replace)
        return fail(
            QStringLiteral("Folder %1 jest już folderem głównym programu (zawiera tabelę Pelk). "
                           "Dodaj --replace, aby zastąpić jego tabele i katalog domyślny.")
                .arg(QDir::toNativeSeparators(main)));

    QElapsedTimer total;
    total.start();
    try {
        const QString catalogue = QDir(main).filePath(store::kDefaultCatalogueFolder);
        store::MainFolderSetup setup;
        setup.catalogueShown = QDir::toNativeSeparators(catalogue);
        setup.catalogueExpanded = QDir::toNativeSeparators(catalogue);
        setup.makeDefaultCatalogueFolder = true;
        setup.passwordProtection = false;
        setup.adminName = QStringLiteral("Administrator");
        setup.adminPassword = QStringLiteral("admin");
        store::createMainFolder(main, setup);
        store::createCatalogue(catalogue);
        print(stdout,
              QStringLiteral("Folder główny: %1\nKatalog domyślny: %2\n")
                  .arg(QDir::toNativeSeparators(main), QDir::toNativeSeparators(catalogue)));

        const int ownerContact = sample::fillCatalogue(
            catalogue, options, [](const QString& line) { print(stdout, line + u'\n'); });

        store::Settings settings(main);
        settings.setValue(QStringLiteral("Pelk_Kontakt_Nr"), ownerContact);
        settings.save();
        sample::makeOffers(main, QDate::currentDate());
    } catch (const engine::EngineError& e) {
        return fail(e.message());
    }
    print(stdout, QStringLiteral("Gotowe: %1 towarów w %2 s.\n")
                      .arg(options.items)
                      .arg(double(total.elapsed()) / 1000.0, 0, 'f', 1));
    return 0;
}
