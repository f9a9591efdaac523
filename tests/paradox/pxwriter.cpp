#include "pxwriter.h"
#include "paradox/pxlib.h"
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <iconv.h>
#include <stdexcept>

namespace pxtest {

namespace {

QByteArray encode(const QString& text, int codePage) {
    const QByteArray utf8 = text.toUtf8();
    iconv_t cd = iconv_open(QStringLiteral("CP%1").arg(codePage).toLatin1().constData(), "UTF-8");
    if (cd == iconv_t(-1)) throw std::runtime_error("code page");
    QByteArray out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* to = out.data();
    size_t toLeft = size_t(out.size());
    iconv(cd, &in, &inLeft, &to, &toLeft);
    iconv_close(cd);
    out.truncate(out.size() - qsizetype(toLeft));
    return out;
}

bool isBlob(int type) {
    return type == pxfMemoBLOb || type == pxfBLOb || type == pxfGraphic || type == pxfFmtMemoBLOb;
}

void put16(char* p, quint32 v) {
    p[0] = char(v & 0xff);
    p[1] = char((v >> 8) & 0xff);
}
void put32(char* p, quint32 v) {
    put16(p, v & 0xffff);
    put16(p + 2, v >> 16);
}
quint32 get16(const QByteArray& b, qsizetype at) {
    return quint32(uchar(b[at])) | (quint32(uchar(b[at + 1])) << 8);
}

// The .mb file as Paradox lays it out: a header block, blobs of up to 2 KB sharing blocks of 64
// entries, larger ones in blocks of their own. pxlib's writer loses binary blobs and leaves the
// last block short, so the tests write this file themselves.
class MbWriter {
public:
    MbWriter() {
        bytes_ = QByteArray(kBlock, '\0');
        char* h = bytes_.data();
        put16(h + 1, 1);
        put16(h + 11, kBlock);
        put16(h + 13, kBlock);
        h[16] = 0x10;
        put16(h + 17, 64);
        put16(h + 19, 0x800);
    }
    // Returns the pointer's offset field for `data`.
    quint32 add(const QByteArray& data, quint16 modification) {
        const qsizetype n = data.size();
        if (n <= 0x800) {
            const qsizetype chunks = (n + 15) / 16;
            if (shared_ < 0 || entries_ == 64 || used_ + chunks * 16 > kBlock) {
                shared_ = bytes_.size();
                bytes_.append(QByteArray(kBlock, '\0'));
                bytes_[shared_] = 3;
                put16(bytes_.data() + shared_ + 1, 1);
                entries_ = 0;
                used_ = 12 + 64 * 5 + 4; // data starts on a 16-byte boundary
            }
            char* e = bytes_.data() + shared_ + 12 + entries_ * 5;
            e[0] = char(used_ / 16);
            e[1] = char(chunks);
            put16(e + 2, modification);
            e[4] = char(n % 16);
            std::memcpy(bytes_.data() + shared_ + used_, data.constData(), size_t(n));
            used_ += chunks * 16;
            return quint32(shared_) | quint32(entries_++);
        }
        const qsizetype at = bytes_.size(), blocks = (9 + n + kBlock - 1) / kBlock;
        bytes_.append(QByteArray(blocks * kBlock, '\0'));
        char* b = bytes_.data() + at;
        b[0] = 2;
        put16(b + 1, quint32(blocks));
        put32(b + 3, quint32(n));
        put16(b + 7, modification);
        std::memcpy(b + 9, data.constData(), size_t(n));
        return quint32(at) | 0xff;
    }
    const QByteArray& bytes() const { return bytes_; }

private:
    static constexpr qsizetype kBlock = 4096;
    QByteArray bytes_;
    qsizetype shared_ = -1, used_ = 0;
    int entries_ = 0;
};

// Puts the blobs into the records pxlib wrote with those fields empty: the leader keeps the first
// bytes, the pointer after it says where the whole blob lies (nowhere when the leader holds it).
void writeBlobs(const QString& dbPath, const QString& mbPath, const Table& t,
                const QList<QList<QByteArray>>& cells) {
    QFile db(dbPath);
    if (!db.open(QIODevice::ReadWrite)) throw std::runtime_error("reopen");
    QByteArray file = db.readAll();
    const qsizetype recordSize = get16(file, 0), headerSize = get16(file, 2),
                    blockSize = qsizetype(uchar(file[5])) * 0x400;
    QList<qsizetype> records;
    for (quint32 block = get16(file, 0x0E); block != 0 && records.size() < cells.size();) {
        const qsizetype at = headerSize + qsizetype(block - 1) * blockSize;
        const int count = qint16(get16(file, at + 4)) / int(recordSize) + 1;
        for (int k = 0; k < count; ++k)
            records << at + 6 + k * recordSize;
        block = get16(file, at);
    }
    if (records.size() != cells.size()) throw std::runtime_error("records");
    MbWriter mb;
    quint16 modification = 0;
    for (qsizetype r = 0; r < cells.size(); ++r) {
        qsizetype field = records[r];
        for (qsizetype i = 0; i < t.columns.size(); ++i) {
            const int length = t.columns[i].length;
            const QByteArray& data = cells[r][i];
            if (!data.isEmpty()) {
                const qsizetype leader = length - 10;
                std::memcpy(file.data() + field, data.constData(),
                            size_t(std::min(leader, data.size())));
                char* ptr = file.data() + field + leader;
                const bool inLeader = data.size() <= leader;
                ++modification;
                put32(ptr, inLeader ? 0 : mb.add(data, modification));
                put32(ptr + 4, quint32(data.size()));
                put16(ptr + 8, inLeader ? 0 : modification);
            }
            field += length;
        }
    }
    db.seek(0);
    db.write(file);
    QFile out(mbPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(mb.bytes()) != mb.bytes().size())
        throw std::runtime_error("mb");
}

} // namespace

Column alpha(const QString& n, int l) {
    return {n, pxfAlpha, l};
}
Column autoinc(const QString& n) {
    return {n, pxfAutoInc, 4};
}
Column longint(const QString& n) {
    return {n, pxfLong, 4};
}
Column number(const QString& n) {
    return {n, pxfNumber, 8};
}
Column money(const QString& n) {
    return {n, pxfCurrency, 8};
}
Column date(const QString& n) {
    return {n, pxfDate, 4};
}
Column logical(const QString& n) {
    return {n, pxfLogical, 1};
}
Column memo(const QString& n) {
    return {n, pxfMemoBLOb, 20};
}
Column blob(const QString& n) {
    return {n, pxfBLOb, 20};
}
Column graphic(const QString& n) {
    return {n, pxfGraphic, 10};
}

void write(const QString& folder, const QString& name, const Table& t) {
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(name + QStringLiteral(".db")));
    pxdoc_t* doc = PX_new();
    const int n = int(t.columns.size());
    // The library keeps and frees the field list itself.
    auto* fields =
        static_cast<pxfield_t*>(doc->malloc(doc, sizeof(pxfield_t) * size_t(n), "fields"));
    bool blobs = false;
    for (int i = 0; i < n; ++i) {
        fields[i].px_fname = PX_strdup(doc, t.columns[i].name.toLatin1().constData());
        fields[i].px_ftype = char(t.columns[i].type);
        fields[i].px_flen = t.columns[i].length;
        fields[i].px_fdc = 0;
        blobs = blobs || isBlob(t.columns[i].type);
    }
    if (PX_create_file(doc, fields, n, path.constData(), pxfFileTypNonIndexDB) < 0)
        throw std::runtime_error("PX_create_file");
    PX_set_value(doc, "codepage", float(t.codePage));
    QList<QByteArray> keep;
    QList<QList<QByteArray>> blobCells;
    for (const QVariantList& row : t.rows) {
        QList<pxval_t*> vals(n);
        blobCells << QList<QByteArray>(n);
        for (int i = 0; i < n; ++i) {
            pxval_t* v;
            MAKE_PXVAL(doc, v);
            v->type = t.columns[i].type;
            const QVariant& x = i < row.size() ? row[i] : QVariant();
            v->isnull = !x.isValid();
            if (x.isValid() && isBlob(t.columns[i].type)) {
                blobCells.last()[i] = x.typeId() == QMetaType::QByteArray
                                          ? x.toByteArray()
                                          : encode(x.toString(), t.codePage);
                v->isnull = true; // written by writeBlobs
            } else if (x.isValid()) {
                switch (t.columns[i].type) {
                case pxfDate:
                    v->value.lval = long(x.toDate().toJulianDay() - 1721425);
                    break;
                case pxfLogical:
                    v->value.lval = x.toBool() ? 1 : 0;
                    break;
                case pxfLong:
                case pxfAutoInc:
                case pxfShort:
                    v->value.lval = long(x.toLongLong());
                    break;
                case pxfNumber:
                case pxfCurrency:
                    v->value.dval = x.toDouble();
                    break;
                case pxfTimestamp: {
                    const QDateTime at = x.toDateTime();
                    v->value.dval = double((at.date().toJulianDay() - 1721425) * 86400000LL +
                                           at.time().msecsSinceStartOfDay());
                    break;
                }
                default: {
                    keep << (x.typeId() == QMetaType::QByteArray
                                 ? x.toByteArray()
                                 : encode(x.toString(), t.codePage));
                    v->value.str.val = keep.last().data();
                    v->value.str.len = int(keep.last().size());
                }
                }
            }
            vals[i] = v;
        }
        if (PX_insert_record(doc, vals.data()) < 0) throw std::runtime_error("PX_insert_record");
        for (pxval_t* v : vals)
            FREE_PXVAL(doc, v);
    }
    PX_close(doc);
    PX_delete(doc);
    if (blobs)
        writeBlobs(QString::fromLocal8Bit(path),
                   QDir(folder).filePath(name + QStringLiteral(".mb")), t, blobCells);
    if (t.headerAutoInc) {
        QFile f(QString::fromLocal8Bit(path));
        if (!f.open(QIODevice::ReadWrite)) throw std::runtime_error("reopen");
        f.seek(0x49);
        const quint32 v = quint32(t.headerAutoInc);
        const char bytes[4] = {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff),
                               char((v >> 24) & 0xff)};
        f.write(bytes, 4);
    }
}

} // namespace pxtest
