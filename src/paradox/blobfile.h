#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

namespace paradox {

// A memo or picture field of a record ends with ten bytes that say where its data lies; the
// bytes before them (the leader) keep the data's beginning, and the whole of it when it fits.
struct BlobPointer {
    // The block in the .mb file; the low byte is the blob's entry in a block shared by small
    // blobs, 0xff for a block of its own.
    quint32 offset = 0;
    quint32 length = 0;
    quint16 modification = 0;
};

constexpr int kBlobPointerSize = 10;

// The pointer at the end of a blob field of `fieldLength` bytes (at least kBlobPointerSize).
BlobPointer blobPointer(const char* field, int fieldLength);

// The .mb file of a table, read directly: every block and entry a pointer leads to is checked
// against the file's size before it is read, so a damaged file gives a reason, never a crash.
class BlobFile {
public:
    // False with the reason (a Polish phrase) when the file cannot be a memo file.
    bool open(const QString& path, QString& problem);
    bool isOpen() const { return data_ != nullptr; }
    // The bytes of the blob `p` points to; false with the reason when the pointer leads outside
    // the file or to a block that does not hold that blob.
    bool read(const BlobPointer& p, QByteArray& out, QString& problem) const;

private:
    QFile file_;
    QByteArray whole_; // the file's bytes when it cannot be mapped
    const uchar* data_ = nullptr;
    qint64 size_ = 0;
};

} // namespace paradox
