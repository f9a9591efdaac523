#include "paradox/encoding.h"
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <stdexcept>

namespace paradox {

namespace {

iconv_t openConverter(const QString& name) {
    return iconv_open("UTF-16LE", name.toLatin1().constData());
}

} // namespace

QString TextDecoder::canonical(const QString& codePage) {
    QString n = codePage.trimmed().toUpper();
    if (n.startsWith(QLatin1String("CP"))) n = n.mid(2);
    bool ok = false;
    const int number = n.toInt(&ok);
    if (!ok || number <= 0) return {};
    const QString name = QStringLiteral("CP%1").arg(number);
    const iconv_t cd = openConverter(name);
    if (cd == iconv_t(-1)) return {};
    iconv_close(cd);
    return name;
}

TextDecoder::TextDecoder(const QString& codePage) : name_(canonical(codePage)) {
    if (name_.isEmpty()) throw std::invalid_argument("code page");
    cd_ = openConverter(name_);
}

TextDecoder::~TextDecoder() {
    iconv_close(iconv_t(cd_));
}

QString TextDecoder::decode(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    QString out(bytes.size(), Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* to = reinterpret_cast<char*>(out.data());
    size_t toLeft = size_t(out.size()) * 2;
    iconv(iconv_t(cd_), nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        if (iconv(iconv_t(cd_), &in, &inLeft, &to, &toLeft) != size_t(-1)) break;
        if (errno == E2BIG) break; // single-byte code pages give one character per byte
        // A byte the code page leaves undefined becomes the replacement character.
        ++in;
        --inLeft;
        if (toLeft < 2) break;
        const char16_t replacement = 0xFFFD;
        std::memcpy(to, &replacement, 2);
        to += 2;
        toLeft -= 2;
    }
    out.resize(qsizetype((reinterpret_cast<QChar*>(to) - out.data())));
    return out;
}

} // namespace paradox
