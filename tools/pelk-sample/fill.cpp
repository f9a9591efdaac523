#include "engine/database.h"
#include "engine/table.h"
#include "rowwriter.h"
#include "sample.h"
#include <QElapsedTimer>

namespace sample {

void reportRows(const Context& c, const RowWriter& w) {
    if (c.report) c.report(QStringLiteral("  %1: %2 wierszy").arg(w.table(), -10).arg(w.count()));
}

void nameDisplayColumns(Context& c) {
    engine::Table t(c.folder, QStringLiteral("Konfig_i"));
    t.open();
    if (t.isEmpty())
        t.append();
    else
        t.edit();
    t.setValue(QStringLiteral("Konfig_I_nagl_Nazwa1"), QStringLiteral("Nazwa"));
    t.setValue(QStringLiteral("Konfig_I_nagl_Nazwa2"), QStringLiteral("Nazwa angielska"));
    t.setValue(QStringLiteral("Konfig_I_nagl_Symbol"), QStringLiteral("Symbol"));
    t.setValue(QStringLiteral("Konfig_I_nagl_Producent"), QStringLiteral("Producent"));
    t.setValue(QStringLiteral("Konfig_I_nagl_Kod_Prod"), QStringLiteral("Kod producenta"));
    t.post();
}

int fillCatalogue(const QString& folder, const Options& options,
                  const std::function<void(const QString&)>& report) {
    auto db = engine::Database::open(folder);
    Context c;
    c.options = options;
    c.folder = folder;
    c.documentsFolder = folder + QStringLiteral("/Dokumenty");
    c.db = db.get();
    c.report = report;
    BulkSession session(*db);
    c.session = &session;

    const std::pair<const char*, void (*)(Context&)> families[] = {
        {"słowniki", makeDictionaries},
        {"firmy", makeCompanies},
        {"cechy i grupy", makeAttributes},
        {"rysunki", makeDrawings},
        {"towary", makeItems},
        {"powiązania", makeRelations},
        {"zamówienia", makeOrders},
        {"wypożyczenia", makeLending},
        {"konfiguracja", nameDisplayColumns},
    };
    for (const auto& [name, make] : families) {
        QElapsedTimer timer;
        timer.start();
        make(c);
        session.commit();
        if (report)
            report(QStringLiteral("%1: %2 s")
                       .arg(QString::fromUtf8(name))
                       .arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1));
    }
    session.finish();
    // So that a filter on a group walks the name index instead of sorting the whole group.
    db->analyze();
    return c.ownerContactNr;
}

} // namespace sample
