#include "pxwriter.h"
#include "paradox/pxlib.h"
#include <QDate>
#include <QDir>
#include <QFile>
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
    if (blobs) {
        const QByteArray mb =
            QFile::encodeName(QDir(folder).filePath(name + QStringLiteral(".mb")));
        if (PX_set_blob_file(doc, mb.constData()) < 0) throw std::runtime_error("PX_set_blob_file");
    }
    QList<QByteArray> keep;
    for (const QVariantList& row : t.rows) {
        QList<pxval_t*> vals(n);
        for (int i = 0; i < n; ++i) {
            pxval_t* v;
            MAKE_PXVAL(doc, v);
            v->type = t.columns[i].type;
            const QVariant& x = i < row.size() ? row[i] : QVariant();
            v->isnull = !x.isValid();
            if (x.isValid()) {
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
