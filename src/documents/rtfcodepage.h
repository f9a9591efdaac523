#pragma once
#include <QByteArray>
#include <QString>

namespace documents::rtf {

// A Windows code page that bytes of an RTF file (plain text and \'xx escapes) are decoded
// through. The program's own files are in 1250; other single-byte pages come from the system's
// converters, and a page the system does not know falls back to 1252 rather than losing text.
class CodePage {
public:
    // Never null: unknown numbers give the 1252 page.
    static const CodePage* forNumber(int number);
    // The code page of a font's \fcharset, or 0 when the charset names none (ANSI, default).
    static int forCharset(int charset);

    int number() const { return number_; }
    // Double-byte pages: a character may take two bytes, given as two \'xx escapes.
    bool multiByte() const { return !singleByte_; }
    // Appends the text of `bytes` to `out`.
    void decode(const char* bytes, qsizetype size, QString& out) const;

private:
    CodePage() = default;
    int number_ = 0;
    bool singleByte_ = true;
    char16_t table_[256] = {};
};

// The byte of `c` in code page 1250, or -1 when the page has no such character.
int encode1250(char16_t c);

} // namespace documents::rtf
