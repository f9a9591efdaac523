#include "store/schema_text.h"
#include <QRegularExpression>
#include <stdexcept>

namespace store::detail {

namespace {

[[noreturn]] void badLayout(const QString& table, const QString& what) {
    // A mistake in the layouts written in this program, never in user data.
    throw std::logic_error(
        QStringLiteral("Błędny układ tabeli %1: %2").arg(table, what).toStdString());
}

} // namespace

engine::TableDef tableFromText(const QString& name, const QString& fields, const QString& indexes) {
    engine::TableDef def;
    def.name = name;
    for (const QString& item : fields.split(u',', Qt::SkipEmptyParts)) {
        const QStringList words = item.simplified().split(u' ');
        if (words.size() < 2 || words.size() > 3) badLayout(name, item);
        const auto type = engine::parseTypeWord(words[1]);
        if (!type) badLayout(name, item);
        engine::FieldDef f;
        f.name = words[0];
        f.type = *type;
        if (words.size() == 3) {
            bool ok = false;
            f.size = words[2].toInt(&ok);
            if (!ok) badLayout(name, item);
        }
        def.fields << f;
    }
    static const QRegularExpression indexRe(QStringLiteral(R"((\w+)\(([^)]*)\))"));
    for (auto it = indexRe.globalMatch(indexes); it.hasNext();) {
        const auto m = it.next();
        engine::IndexDef ix;
        ix.name = m.captured(1);
        ix.primary = ix.name == QLatin1String("PrimaryIndex");
        for (const QString& f : m.captured(2).split(u';', Qt::SkipEmptyParts)) {
            if (!def.field(f.trimmed())) badLayout(name, f);
            ix.fields << f.trimmed();
        }
        def.indexes << ix;
    }
    return def;
}

} // namespace store::detail
