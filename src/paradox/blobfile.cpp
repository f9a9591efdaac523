#include "paradox/blobfile.h"

namespace paradox {

namespace {

constexpr qint64 kBlock = 4096;
// A block of its own: type, size in blocks, length, modification number, then the data.
constexpr int kSingleType = 2, kSingleHead = 9;
// A block shared by small blobs: type, size in blocks, then 64 five-byte entries from byte 12
// (offset / 16, length / 16 rounded up, modification number, length % 16).
constexpr int kSharedType = 3, kSharedIndex = 12, kSharedEntries = 64, kEntrySize = 5;
constexpr quint32 kOwnBlock = 0xff;

quint32 le16(const uchar* p) {
    return quint32(p[0]) | (quint32(p[1]) << 8);
}
quint32 le32(const uchar* p) {
    return le16(p) | (le16(p + 2) << 16);
}

} // namespace

BlobPointer blobPointer(const char* field, int fieldLength) {
    const auto* p = reinterpret_cast<const uchar*>(field) + fieldLength - kBlobPointerSize;
    return {le32(p), le32(p + 4), quint16(le16(p + 8))};
}

bool BlobFile::open(const QString& path, QString& problem) {
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("nie można otworzyć pliku notatek");
        return false;
    }
    size_ = file_.size();
    data_ = size_ > 0 ? file_.map(0, size_) : nullptr;
    if (!data_ && size_ > 0) {
        whole_ = file_.readAll();
        size_ = whole_.size();
        data_ = reinterpret_cast<const uchar*>(whole_.constData());
    }
    if (size_ < kBlock || data_[0] != 0) {
        data_ = nullptr;
        problem = QStringLiteral("plik notatek nie zaczyna się nagłówkiem");
        return false;
    }
    return true;
}

bool BlobFile::read(const BlobPointer& p, QByteArray& out, QString& problem) const {
    const qint64 block = p.offset & ~quint32(0xff);
    const quint32 index = p.offset & 0xff;
    auto damaged = [&](const QString& why) {
        problem = QStringLiteral("notatka lub obraz pod adresem %1 w pliku .mb: %2")
                      .arg(p.offset)
                      .arg(why);
        return false;
    };
    if (block < kBlock || block % kBlock != 0 || block + kBlock > size_)
        return damaged(QStringLiteral("blok poza plikiem"));
    const uchar* b = data_ + block;
    if (index == kOwnBlock) {
        if (b[0] != kSingleType) return damaged(QStringLiteral("blok innego rodzaju"));
        const qint64 blocks = le16(b + 1);
        if (blocks < 1 || block + blocks * kBlock > size_)
            return damaged(QStringLiteral("blok sięga poza plik"));
        if (le32(b + 3) != p.length || kSingleHead + qint64(p.length) > blocks * kBlock)
            return damaged(QStringLiteral("długość nie zgadza się z blokiem"));
        out = QByteArray(reinterpret_cast<const char*>(b + kSingleHead), qsizetype(p.length));
        return true;
    }
    if (index >= kSharedEntries) return damaged(QStringLiteral("niemożliwy numer wpisu"));
    if (b[0] != kSharedType) return damaged(QStringLiteral("blok innego rodzaju"));
    const uchar* e = b + kSharedIndex + index * kEntrySize;
    const qint64 start = qint64(e[0]) * 16, chunks = e[1], rest = e[4];
    if (start == 0) return damaged(QStringLiteral("pusty wpis"));
    if (start < kSharedIndex + kSharedEntries * kEntrySize || p.length == 0 ||
        qint64(p.length) > chunks * 16 || qint64(p.length) <= (chunks - 1) * 16 ||
        qint64(p.length % 16) != rest)
        return damaged(QStringLiteral("długość nie zgadza się z wpisem"));
    if (start + qint64(p.length) > kBlock) return damaged(QStringLiteral("dane sięgają poza blok"));
    out = QByteArray(reinterpret_cast<const char*>(b + start), qsizetype(p.length));
    return true;
}

} // namespace paradox
