// paradox-export-catalogue: writes the tables of a catalogue folder as Paradox tables (with .mb
// files for memos and pictures) through pxlib's writer, so that a catalogue of the program can
// be taken through the Paradox import as a firm's own tables would.
#include "engine/error.h"
#include "engine/table.h"
#include "paradox/pxlib.h"
#include "pxwriter.h"
#include "store/catalogue_schema.h"
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <stdexcept>

namespace {

pxtest::Column column(const engine::FieldDef& f) {
    using T = engine::FieldType;
    switch (f.type) {
    case T::AutoInc:
        return pxtest::autoinc(f.name);
    case T::Alpha:
        return pxtest::alpha(f.name, std::clamp(f.size, 1, 255));
    case T::LongInt:
        return pxtest::longint(f.name);
    case T::Number:
        return pxtest::number(f.name);
    case T::Date:
        return pxtest::date(f.name);
    case T::Timestamp:
        return {f.name, pxfTimestamp, 8};
    case T::Logical:
        return pxtest::logical(f.name);
    case T::Memo:
        return {f.name, pxfMemoBLOb, std::clamp(f.size, 1, 240) + 10};
    case T::Graphic:
        return {f.name, pxfGraphic, std::clamp(f.size, 0, 240) + 10};
    }
    return pxtest::alpha(f.name, 1);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "Użycie: paradox-export-catalogue KATALOG FOLDER [STRONA_KODOWA]\n");
        return 2;
    }
    const QString from = args[1], to = args[2];
    const int codePage = args.size() == 4 ? args[3].toInt() : 1250;
    QDir().mkpath(to);
    try {
        for (const auto& def : store::catalogueTables()) {
            pxtest::Table out;
            out.codePage = codePage;
            for (const auto& f : def.fields)
                out.columns << column(f);
            engine::Table t(from, def.name);
            t.open();
            for (t.first(); !t.eof(); t.next()) {
                QVariantList row;
                for (qsizetype i = 0; i < def.fields.size(); ++i) {
                    QVariant v = t.value(def.fields[i].name);
                    if (def.fields[i].type == engine::FieldType::Alpha && !v.isNull())
                        v = v.toString().left(out.columns[i].length);
                    row << v;
                }
                out.rows << row;
            }
            pxtest::write(to, def.name, out);
            std::printf("%s: %lld\n", qPrintable(def.name),
                        static_cast<long long>(out.rows.size()));
        }
    } catch (const engine::EngineError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pxlib: %s\n", e.what());
        return 1;
    }
    return 0;
}
