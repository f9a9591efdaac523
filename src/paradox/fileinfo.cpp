#include "paradox/fileinfo.h"
#include <QFile>
#include <QSet>

namespace paradox {

namespace {

// Offsets in the table header.
constexpr int kRecordSize = 0x00, kHeaderSize = 0x02, kFileType = 0x04, kMaxTableSize = 0x05,
              kNumRecords = 0x06, kFileBlocks = 0x0C, kFirstBlock = 0x0E, kNumFields = 0x21,
              kFileVersion = 0x39, kAutoInc = 0x49, kCodePage = 0x6A;
constexpr int kBaseHeader = 0x58;     // the part every version has
constexpr int kExtendedHeader = 0x78; // version 4 and later data tables
constexpr int kBlockHead = 6;

int u8(const QByteArray& b, int at) {
    return static_cast<unsigned char>(b[at]);
}
int u16(const QByteArray& b, int at) {
    return u8(b, at) | (u8(b, at + 1) << 8);
}
qint64 u32(const QByteArray& b, int at) {
    return qint64(u16(b, at)) | (qint64(u16(b, at + 2)) << 16);
}

bool isBlobType(int type) {
    return type == 0x0C || type == 0x0D || type == 0x0E || type == 0x0F || type == 0x10;
}

bool knownType(int type) {
    switch (type) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
    case 0x09:
    case 0x0C:
    case 0x0D:
    case 0x0E:
    case 0x0F:
    case 0x10:
    case 0x14:
    case 0x15:
    case 0x16:
    case 0x17:
    case 0x18:
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<FileInfo> checkTableFile(const QString& path, QString& problem) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("nie można otworzyć pliku");
        return std::nullopt;
    }
    const qint64 size = file.size();
    const QByteArray head = file.read(kExtendedHeader);
    if (head.size() < kBaseHeader) {
        problem = QStringLiteral("plik jest krótszy niż nagłówek tabeli");
        return std::nullopt;
    }
    FileInfo info;
    info.recordSize = u16(head, kRecordSize);
    info.headerSize = u16(head, kHeaderSize);
    info.records = u32(head, kNumRecords);
    info.fields = u16(head, kNumFields);
    const int fileType = u8(head, kFileType);
    const int version = u8(head, kFileVersion);
    const int maxTableSize = u8(head, kMaxTableSize);
    info.blockSize = maxTableSize * 0x400;
    const qint64 fileBlocks = u16(head, kFileBlocks);
    const int firstBlock = u16(head, kFirstBlock);
    if (fileType != 0 && fileType != 2) {
        problem = QStringLiteral("plik nie jest tabelą danych");
        return std::nullopt;
    }
    const bool extended = version >= 5;
    const int fieldInfoAt = extended ? kExtendedHeader : kBaseHeader;
    if (extended && head.size() < kExtendedHeader) {
        problem = QStringLiteral("plik jest krótszy niż nagłówek tabeli");
        return std::nullopt;
    }
    if (info.recordSize <= 0 || info.fields <= 0 || info.fields > 255 ||
        !(maxTableSize == 1 || maxTableSize == 2 || maxTableSize == 3 || maxTableSize == 4 ||
          maxTableSize == 8 || maxTableSize == 16 || maxTableSize == 32) ||
        info.headerSize < fieldInfoAt + 2 * info.fields || info.headerSize > size ||
        info.blockSize < info.recordSize + kBlockHead) {
        problem = QStringLiteral("nagłówek tabeli ma niemożliwe rozmiary");
        return std::nullopt;
    }
    if (extended) info.codePage = u16(head, kCodePage);
    info.autoInc = u32(head, kAutoInc);

    file.seek(fieldInfoAt);
    const QByteArray fieldInfo = file.read(2 * info.fields);
    int sum = 0;
    for (int i = 0; i < info.fields; ++i) {
        const int type = u8(fieldInfo, 2 * i), length = u8(fieldInfo, 2 * i + 1);
        if (!knownType(type) || length == 0) {
            problem = QStringLiteral("pole nr %1 ma nieznany typ lub zerową długość").arg(i + 1);
            return std::nullopt;
        }
        if (isBlobType(type)) info.hasBlobs = true;
        sum += length;
    }
    if (sum != info.recordSize) {
        problem = QStringLiteral("długość wiersza nie zgadza się z polami");
        return std::nullopt;
    }
    if (info.headerSize + fileBlocks * info.blockSize > size) {
        problem = QStringLiteral("plik jest krótszy niż jego bloki danych (%1 z %2 bajtów)")
                      .arg(size)
                      .arg(info.headerSize + fileBlocks * info.blockSize);
        return std::nullopt;
    }

    // The chain of data blocks: each within the file, none twice, together the counted rows.
    qint64 rows = 0;
    QSet<int> seen;
    const int maxRecordsBytes = info.blockSize - kBlockHead;
    for (int block = info.records > 0 ? firstBlock : 0; block != 0;) {
        if (block > fileBlocks || seen.contains(block)) {
            problem = QStringLiteral("łańcuch bloków danych jest przerwany (blok %1)").arg(block);
            return std::nullopt;
        }
        seen.insert(block);
        file.seek(info.headerSize + qint64(block - 1) * info.blockSize);
        const QByteArray bh = file.read(kBlockHead);
        if (bh.size() != kBlockHead) {
            problem = QStringLiteral("blok danych %1 jest poza plikiem").arg(block);
            return std::nullopt;
        }
        const int next = u16(bh, 0);
        const int addDataSize = static_cast<qint16>(u16(bh, 4));
        if (addDataSize < -info.recordSize || addDataSize + info.recordSize > maxRecordsBytes ||
            (addDataSize + info.recordSize) % info.recordSize != 0) {
            problem = QStringLiteral("blok danych %1 podaje niemożliwą liczbę wierszy").arg(block);
            return std::nullopt;
        }
        rows += (addDataSize + info.recordSize) / info.recordSize;
        block = next;
    }
    if (rows != info.records) {
        problem = QStringLiteral("bloki danych mają %1 wierszy, a nagłówek podaje %2")
                      .arg(rows)
                      .arg(info.records);
        return std::nullopt;
    }
    return info;
}

bool checkBlobFile(const QString& path, QString& problem) {
    QFile file(path);
    const qint64 size = file.size();
    char type = 1;
    if (size < 4096 || size % 4096 != 0 || !file.open(QIODevice::ReadOnly) ||
        !file.getChar(&type) || type != 0) {
        problem = QStringLiteral("plik %1 nie jest całym plikiem notatek i obrazów")
                      .arg(path.section(u'/', -1));
        return false;
    }
    return true;
}

} // namespace paradox
