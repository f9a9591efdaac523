#include "documents/rtfcodepage.h"

#include <QMutex>
#include <QStringDecoder>
#include <map>
#include <memory>
#include <vector>

namespace documents::rtf {

namespace {

// The upper halves of the two pages every file of ours uses; they do not depend on the system's
// converters being present. Bytes a page leaves undefined read as U+FFFD.
constexpr char16_t k1250[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

constexpr char16_t k1252[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// Double-byte pages (Japanese, Chinese, Korean) cannot be read byte by byte.
bool isMultiByte(int number) {
    return number == 932 || number == 936 || number == 949 || number == 950 || number == 65001;
}

QByteArray converterName(int number) {
    if (number == 65001) return QByteArrayLiteral("UTF-8");
    if (number >= 10000 && number < 10100) return QByteArrayLiteral("macintosh");
    if (number == 437 || number == 850 || number == 852 || number == 866 || isMultiByte(number))
        return "cp" + QByteArray::number(number);
    return "windows-" + QByteArray::number(number);
}

} // namespace

const CodePage* CodePage::forNumber(int number) {
    static QMutex mutex;
    static std::map<int, std::unique_ptr<CodePage>> pages;
    QMutexLocker lock(&mutex);
    auto found = pages.find(number);
    if (found != pages.end()) return found->second.get();

    auto page = std::unique_ptr<CodePage>(new CodePage);
    page->number_ = number;
    for (int b = 0; b < 128; ++b)
        page->table_[b] = char16_t(b);
    if (number == 1250) {
        for (int b = 0; b < 128; ++b)
            page->table_[128 + b] = k1250[b];
    } else {
        bool known = false;
        if (number != 1252) {
            QStringDecoder probe(converterName(number).constData());
            known = probe.isValid();
            if (known && isMultiByte(number)) {
                page->singleByte_ = false;
            } else if (known) {
                for (int b = 128; b < 256; ++b) {
                    QStringDecoder one(converterName(number).constData());
                    const char byte = char(b);
                    const QString text = one.decode(QByteArrayView(&byte, 1));
                    page->table_[b] = text.size() == 1 ? text.at(0).unicode() : char16_t(0xFFFD);
                }
            }
        }
        if (!known) {
            for (int b = 0; b < 32; ++b)
                page->table_[128 + b] = k1252[b];
            for (int b = 160; b < 256; ++b)
                page->table_[b] = char16_t(b);
        }
    }
    const CodePage* result = page.get();
    pages.emplace(number, std::move(page));
    return result;
}

int CodePage::forCharset(int charset) {
    switch (charset) {
    case 238:
        return 1250;
    case 204:
        return 1251;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 163:
        return 1258;
    case 222:
        return 874;
    case 128:
        return 932;
    case 134:
        return 936;
    case 129:
        return 949;
    case 136:
        return 950;
    case 77:
        return 10000;
    case 2:
        return 1252; // Symbol fonts: the bytes are glyph numbers, read as Western
    default:
        return 0;
    }
}

void CodePage::decode(const char* bytes, qsizetype size, QString& out) const {
    if (!singleByte_) {
        QStringDecoder decoder(converterName(number_).constData());
        out += decoder.decode(QByteArrayView(bytes, size));
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + size);
    QChar* dst = out.data() + start;
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = QChar(table_[uchar(bytes[i])]);
}

int encode1250(char16_t c) {
    if (c < 0x80) return c;
    // A flat table: the writer asks for every character of the document.
    static const std::vector<qint16> reverse = [] {
        std::vector<qint16> table(0x10000, -1);
        for (int b = 0; b < 128; ++b)
            if (k1250[b] != 0xFFFD) table[k1250[b]] = qint16(128 + b);
        return table;
    }();
    return reverse[c];
}

} // namespace documents::rtf
