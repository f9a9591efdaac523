// pelkdb: the engine's command-line tool for administrators and scripted checks. Scripts rely on
// its output format and exit statuses: 0 success, 1 engine or data error, 2 usage error.
#include "args.h"
#include "commands.h"
#include "csv.h"
#include "engine/error.h"
#include <QCoreApplication>
#include <cstdio>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

using namespace pelkdb;

namespace {

struct Command {
    const char* name;
    int (*run)(const Context&);
};

// Only create, load, set, create-catalogue, import-paradox and copy (in its destination) may make
// a database file in a folder; the others open what is there or report that it is missing.
const Command kCommands[] = {
    {"tables", tablesCommand},
    {"create", createCommand},
    {"schema", schemaCommand},
    {"load", loadCommand},
    {"dump", dumpCommand},
    {"nearest", nearestCommand},
    {"sql", sqlCommand},
    {"drop", dropCommand},
    {"empty", emptyCommand},
    {"set", setCommand},
    {"create-catalogue", createCatalogueCommand},
    {"check", checkCommand},
    {"journal", journalCommand},
    {"import-paradox", importParadoxCommand},
    {"copy", copyCommand},
};

const char* const kUsage =
    "Użycie: pelkdb FOLDER POLECENIE [ARGUMENTY]\n"
    "Narzędzie do baz danych folderów katalogu. Wiersze są wypisywane w UTF-8, pola\n"
    "rozdzielone \";\", pierwszy wiersz to nazwy pól.\n"
    "\n"
    "Polecenia:\n"
    "  tables                          nazwy tabel folderu, po jednej w wierszu\n"
    "  create TABELA POLA [--primary P1;P2] [--index NAZWA=P1;P2]... [--replace]\n"
    "                                  tworzy tabelę; POLA to lista Nazwa:typ[:rozmiar]\n"
    "                                  rozdzielona przecinkami; typy: autoinc, alpha\n"
    "                                  (z rozmiarem), longint, number, date, timestamp,\n"
    "                                  logical, memo, graphic\n"
    "  schema TABELA                   pola i indeksy tabeli\n"
    "  load TABELA PLIK [--truncate]   dopisuje wiersze z pliku z nagłówkiem (jedna transakcja);\n"
    "                                  tekst dłuższy niż pole odrzuca wczytanie, a z --truncate\n"
    "                                  jest skracany do rozmiaru pola\n"
    "  dump TABELA [--order P1;P2 | --index NAZWA] [--filter WYRAŻENIE]\n"
    "                                  wypisuje wiersze tabeli\n"
    "  nearest TABELA --order P1[;P2] WARTOŚĆ [WARTOŚĆ2]\n"
    "                                  wiersz o najbliższym kluczu równym lub większym\n"
    "  sql TEKST [--timeout S]         wykonuje zapytanie SQL i wypisuje wynik; z --timeout\n"
    "                                  przerywa je po S sekundach\n"
    "  drop TABELA                     usuwa tabelę\n"
    "  empty TABELA                    usuwa wszystkie wiersze tabeli\n"
    "  set TABELA --filter WYRAŻENIE POLE=WARTOŚĆ...\n"
    "                                  zmienia pola wierszy spełniających warunek\n"
    "  create-catalogue                tworzy w folderze pełny komplet tabel katalogu\n"
    "  check                           sprawdza spójność bazy danych folderu lub katalogu\n"
    "                                  na serwerze (kod 1, gdy coś znaleziono)\n"
    "  journal [wal|delete]            dziennik bazy: wal oznacza folder do pracy tylko na\n"
    "                                  tym komputerze (czytanie nie wstrzymuje zapisu),\n"
    "                                  delete zdejmuje oznaczenie (folder do pracy w sieci);\n"
    "                                  bez argumentu pokazuje bieżący\n"
    "  import-paradox ŹRÓDŁO [--main-folder] [--dry-run] [--encoding CP] [--replace]\n"
    "                                  wczytuje katalog (lub folder główny) z tabel Paradox\n"
    "                                  folderu ŹRÓDŁO; --dry-run tylko pokazuje, co zapisze\n"
    "  copy CEL [--replace]            kopiuje wszystkie tabele folderu (układy, indeksy,\n"
    "                                  wiersze, obrazy, liczniki numeracji) do folderu lub\n"
    "                                  katalogu na serwerze CEL, w jednej transakcji; CEL\n"
    "                                  z tabelami zastępuje tylko z --replace\n"
    "\n"
    "\n"
    "FOLDER i CEL mogą być też katalogiem na serwerze PostgreSQL:\n"
    "  postgresql://[użytkownik@]serwer[:port]/baza/schemat\n"
    "Hasło nie jest częścią adresu: podaje się je w pliku ~/.pgpass.\n"
    "\n"
    "Kod wyjścia: 0 – powodzenie, 1 – błąd bazy lub danych, 2 – błędne wywołanie.\n";

void printError(const QString& message) {
    const QByteArray bytes = (message + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

int usageError(const QString& message) {
    printError(QStringLiteral("pelkdb: %1\nPomoc: pelkdb --help").arg(message));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_WIN
    // Lines end with "\n" on every system.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fputs(kUsage, stdout);
        return 2;
    }
    if (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h") ||
        (args.size() >= 2 &&
         (args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() < 2) return usageError(QStringLiteral("brak polecenia po nazwie folderu"));

    const Command* command = nullptr;
    for (const Command& cmd : kCommands)
        if (args[1] == QLatin1String(cmd.name)) command = &cmd;
    if (!command) return usageError(QStringLiteral("nieznane polecenie %1").arg(args[1]));

    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    CsvWriter out(stdout);
    int status;
    try {
        status = command->run(Context{args[0], args.mid(2), out});
    } catch (const UsageError& e) {
        out.finish();
        return usageError(e.message());
    } catch (const engine::EngineError& e) {
        out.finish();
        printError(e.message());
        return 1;
    } catch (const std::exception& e) {
        out.finish();
        printError(QString::fromLocal8Bit(e.what()));
        return 1;
    }
    if (!out.finish()) {
        printError(QStringLiteral("Błąd zapisu na standardowe wyjście."));
        return 1;
    }
    return status;
}
