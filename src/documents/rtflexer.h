#pragma once
#include <QByteArrayView>
#include <string_view>

namespace documents::rtf {

struct Token {
    enum Type { End, GroupStart, GroupEnd, Word, Symbol, HexByte, Text, Binary };
    Type type = End;
    std::string_view word; // Word: the control word's letters
    bool hasParam = false;
    int param = 0;
    char symbol = 0;            // Symbol: the character after the backslash; HexByte: the byte
    const char* data = nullptr; // Text and Binary: the bytes, within the input
    qsizetype size = 0;
};

// Splits an RTF file into tokens. It only ever moves forward and never past the end, whatever
// the input: a control word or number that runs on is cut to a sane length, \bin data longer than
// the file ends at the file's end, and line breaks outside control words are dropped.
class Lexer {
public:
    explicit Lexer(QByteArrayView data) : p_(data.data()), end_(data.data() + data.size()) {}
    Token next();
    // Bytes not read yet.
    qsizetype remaining() const { return end_ - p_; }

private:
    Token controlWord();
    const char* p_;
    const char* end_;
};

} // namespace documents::rtf
