#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace pelkdb {

// A command line the tool cannot understand: reported with exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message);
    const QString& message() const { return message_; }

private:
    QString message_;
};

struct OptionDef {
    QString name; // with the leading "--"
    bool takesValue = false;
    bool repeatable = false;
};

// The words after a command, split into options and the rest. Options may stand anywhere, as
// "--name value" or "--name=value"; only words beginning with "--" are options, so values such
// as "-3" stay positional, and after a bare "--" every word is.
class Arguments {
public:
    Arguments(const QStringList& words, const QList<OptionDef>& defs);

    const QStringList& positional() const { return positional_; }
    bool has(const QString& option) const { return options_.contains(option); }
    QString value(const QString& option) const; // the last given, empty when absent
    QStringList values(const QString& option) const;

    // Usage errors for too few or too many positional words; `names` names them in order
    // (at least `min` of them), max < 0 allows any number.
    void expectPositional(int min, int max, const QStringList& names) const;

private:
    QStringList positional_;
    QHash<QString, QStringList> options_;
};

} // namespace pelkdb
