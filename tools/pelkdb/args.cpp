#include "args.h"

namespace pelkdb {

UsageError::UsageError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

Arguments::Arguments(const QStringList& words, const QList<OptionDef>& defs) {
    bool optionsEnded = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& w = words[i];
        if (optionsEnded || !w.startsWith(QLatin1String("--"))) {
            positional_ << w;
            continue;
        }
        if (w == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const qsizetype eq = w.indexOf(u'=');
        const QString name = eq < 0 ? w : w.left(eq);
        const OptionDef* option = nullptr;
        for (const auto& s : defs)
            if (s.name == name) option = &s;
        if (!option) throw UsageError(QStringLiteral("nieznana opcja %1").arg(name));
        if (options_.contains(name) && !option->repeatable)
            throw UsageError(QStringLiteral("opcja %1 podana więcej niż raz").arg(name));
        QString value;
        if (option->takesValue) {
            if (eq >= 0) {
                value = w.mid(eq + 1);
            } else {
                if (i + 1 >= words.size())
                    throw UsageError(QStringLiteral("opcja %1 wymaga wartości").arg(name));
                value = words[++i];
            }
        } else if (eq >= 0) {
            throw UsageError(QStringLiteral("opcja %1 nie przyjmuje wartości").arg(name));
        }
        options_[name] << value;
    }
}

QString Arguments::value(const QString& option) const {
    const QStringList v = options_.value(option);
    return v.isEmpty() ? QString() : v.last();
}

QStringList Arguments::values(const QString& option) const {
    return options_.value(option);
}

void Arguments::expectPositional(int min, int max, const QStringList& names) const {
    if (positional_.size() < min)
        throw UsageError(QStringLiteral("brak argumentu %1").arg(names.value(positional_.size())));
    if (max >= 0 && positional_.size() > max)
        throw UsageError(QStringLiteral("nadmiarowy argument: %1").arg(positional_.at(max)));
}

} // namespace pelkdb
