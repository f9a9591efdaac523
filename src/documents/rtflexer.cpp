#include "documents/rtflexer.h"

#include <algorithm>
#include <climits>

namespace documents::rtf {

namespace {

constexpr qsizetype kMaxWordLength = 32;
constexpr int kMaxParamDigits = 10;

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

Token Lexer::next() {
    while (p_ < end_) {
        const char c = *p_;
        if (c == '\r' || c == '\n') {
            ++p_;
            continue;
        }
        Token token;
        if (c == '{') {
            ++p_;
            token.type = Token::GroupStart;
            return token;
        }
        if (c == '}') {
            ++p_;
            token.type = Token::GroupEnd;
            return token;
        }
        if (c != '\\') {
            const char* start = p_;
            while (p_ < end_ && *p_ != '\\' && *p_ != '{' && *p_ != '}' && *p_ != '\r' &&
                   *p_ != '\n')
                ++p_;
            token.type = Token::Text;
            token.data = start;
            token.size = p_ - start;
            return token;
        }
        ++p_;
        if (p_ == end_) break;
        if (isLetter(*p_)) return controlWord();
        const char symbol = *p_++;
        if (symbol == '\'') {
            const int high = p_ < end_ ? hexValue(*p_) : -1;
            const int low = p_ + 1 < end_ ? hexValue(p_[1]) : -1;
            if (high < 0) continue;
            if (low < 0) {
                ++p_;
                continue;
            }
            p_ += 2;
            token.type = Token::HexByte;
            token.symbol = char(high * 16 + low);
            return token;
        }
        if (symbol == '\r' || symbol == '\n') {
            // A backslash before a line break is an old spelling of \par.
            token.type = Token::Word;
            token.word = "par";
            return token;
        }
        token.type = Token::Symbol;
        token.symbol = symbol;
        return token;
    }
    return Token{};
}

Token Lexer::controlWord() {
    Token token;
    token.type = Token::Word;
    const char* start = p_;
    while (p_ < end_ && isLetter(*p_))
        ++p_;
    token.word = std::string_view(start, size_t(std::min<qsizetype>(p_ - start, kMaxWordLength)));

    const char* numberStart = p_;
    bool negative = false;
    if (p_ + 1 < end_ && *p_ == '-' && isDigit(p_[1])) {
        negative = true;
        ++p_;
    }
    if (p_ < end_ && isDigit(*p_)) {
        long long value = 0;
        int digits = 0;
        while (p_ < end_ && isDigit(*p_)) {
            if (digits++ < kMaxParamDigits) value = value * 10 + (*p_ - '0');
            ++p_;
        }
        if (negative) value = -value;
        token.hasParam = true;
        token.param = int(std::clamp<long long>(value, INT_MIN, INT_MAX));
    } else {
        p_ = numberStart;
    }
    if (p_ < end_ && *p_ == ' ') ++p_;

    if (token.word == "bin" && token.hasParam) {
        const qsizetype length = std::clamp<qsizetype>(token.param, 0, end_ - p_);
        token.type = Token::Binary;
        token.data = p_;
        token.size = length;
        p_ += length;
    }
    return token;
}

} // namespace documents::rtf
