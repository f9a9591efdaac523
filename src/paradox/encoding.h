#pragma once
#include <QByteArray>
#include <QString>
#include <memory>

namespace paradox {

// Turns the text of a table (in a DOS or Windows code page) into Unicode.
class TextDecoder {
public:
    // `codePage` as written by users or table headers: "CP1250", "cp852", "1250". Throws
    // std::invalid_argument for a code page the system cannot convert.
    explicit TextDecoder(const QString& codePage);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    QString decode(const QByteArray& bytes);
    const QString& name() const { return name_; }

    // The canonical "CPnnnn" form of a code page as written by users; empty when it is no
    // code page the system can convert.
    static QString canonical(const QString& codePage);

private:
    QString name_;
    void* cd_;
};

} // namespace paradox
