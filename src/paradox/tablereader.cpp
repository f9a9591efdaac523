#include "paradox/tablereader.h"
#include "paradox/blobfile.h"
#include "paradox/pxlib.h"
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace paradox {

BrokenTable::BrokenTable(const QString& why) : std::runtime_error(why.toStdString()), why_(why) {}

namespace {

// The child's messages on the pipe: 'F' fields, 'R' a row, 'U' an unreadable row, 'V' a field
// of the row that follows could not be read and stays empty, 'X' the table could not be opened,
// 'Z' the end. Integers are little-endian as the machine writes them; both
// ends are the same program.
constexpr char kFields = 'F', kRow = 'R', kUnreadable = 'U', kBadField = 'V', kFailed = 'X',
               kEnd = 'Z';

// How long the parent waits for the next bytes before taking the library for stuck.
constexpr int kStallMs = 10000;

// --- child side -------------------------------------------------------------------------------

class PipeWriter {
public:
    explicit PipeWriter(int fd) : fd_(fd) {}
    void put(const void* data, size_t n) {
        const char* p = static_cast<const char*>(data);
        while (n > 0) {
            const size_t room = sizeof buf_ - used_;
            const size_t take = n < room ? n : room;
            std::memcpy(buf_ + used_, p, take);
            used_ += take;
            p += take;
            n -= take;
            if (used_ == sizeof buf_) flush();
        }
    }
    template <class T> void num(T v) { put(&v, sizeof v); }
    void bytes(const char* data, quint32 n) {
        num(n);
        put(data, n);
    }
    void flush() {
        size_t done = 0;
        while (done < used_) {
            const ssize_t w = ::write(fd_, buf_ + done, used_ - done);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) _exit(3); // the parent has gone
            done += size_t(w);
        }
        used_ = 0;
    }

private:
    int fd_;
    char buf_[1 << 16];
    size_t used_ = 0;
};

char g_lastError[512];

void noteError(pxdoc_t*, int, const char* msg, void*) {
    std::snprintf(g_lastError, sizeof g_lastError, "%s", msg ? msg : "");
}

void fail(PipeWriter& out, const char* why) {
    out.num(kFailed);
    out.bytes(why, quint32(std::strlen(why)));
    out.flush();
    _exit(0);
}

void childRead(const QByteArray& dbPath, const QByteArray& mbPath, int fd) {
    PipeWriter out(fd);
    pxdoc_t* doc = PX_new3(noteError, nullptr, nullptr, nullptr, nullptr);
    if (!doc || PX_open_file(doc, dbPath.constData()) < 0) fail(out, g_lastError);
    // The .mb file is read by our own reader: pxlib's gives up on the files its own writer makes.
    BlobFile blobs;
    QString blobProblem = QStringLiteral("brak pliku .mb z notatkami i obrazami");
    if (!mbPath.isEmpty()) blobs.open(QFile::decodeName(mbPath), blobProblem);
    const int n = PX_get_num_fields(doc);
    const pxfield_t* fields = PX_get_fields(doc);
    out.num(kFields);
    out.num(quint16(n));
    for (int i = 0; i < n; ++i) {
        out.num(quint8(fields[i].px_ftype));
        out.num(quint16(fields[i].px_flen));
        const char* name = fields[i].px_fname ? fields[i].px_fname : "";
        out.bytes(name, quint32(std::strlen(name)));
    }
    const int records = PX_get_num_records(doc);
    QByteArray record(PX_get_recordsize(doc), '\0');
    QByteArray rowBytes;
    for (int r = 0; r < records; ++r) {
        if (!PX_get_record(doc, r, record.data())) {
            out.num(kUnreadable);
            out.num(qint64(r));
            out.bytes(g_lastError, quint32(std::strlen(g_lastError)));
            continue;
        }
        // A row goes out whole or not at all: a field that cannot be read makes it unreadable.
        PipeWriter* w = &out;
        bool ok = true;
        rowBytes.clear();
        struct BadField {
            quint16 field;
            QByteArray why;
        };
        QList<BadField> badFields;
        auto put = [&](const void* p, size_t len) {
            rowBytes.append(static_cast<const char*>(p), qsizetype(len));
        };
        auto kind = [&](SourceValue::Kind k) {
            const quint8 b = quint8(k);
            put(&b, 1);
        };
        // pxlib's getters answer below 0 for a fault, 0 for an empty field.
        auto integer = [&](int got, qint64 x) {
            if (got < 0)
                ok = false;
            else if (got == 0)
                kind(SourceValue::Kind::Null);
            else {
                kind(SourceValue::Kind::Integer);
                put(&x, 8);
            }
        };
        char* at = record.data();
        pxval_t** whole = nullptr;
        for (int i = 0; i < n && ok; ++i) {
            const int len = fields[i].px_flen;
            switch (fields[i].px_ftype) {
            case pxfAlpha: {
                char* v = nullptr;
                const int got = PX_get_data_alpha(doc, at, len, &v);
                if (got < 0)
                    ok = false;
                else if (got == 0 || !v)
                    kind(SourceValue::Kind::Null);
                else {
                    kind(SourceValue::Kind::Bytes);
                    const quint32 l = quint32(std::strlen(v));
                    put(&l, 4);
                    put(v, l);
                }
                if (v) doc->free(doc, v);
                break;
            }
            case pxfDate:
            case pxfLong:
            case pxfAutoInc:
            case pxfTime: {
                // An empty field is four zero bytes. pxlib tests for that with a read of a
                // whole C long, which on 64-bit systems takes in the next field's bytes too and
                // makes an empty field before a filled one the smallest number.
                if (len == 4 && std::memcmp(at, "\0\0\0\0", 4) == 0) {
                    kind(SourceValue::Kind::Null);
                    break;
                }
                long v = 0;
                const int got = PX_get_data_long(doc, at, len, &v);
                integer(got, v);
                break;
            }
            case pxfShort: {
                short v = 0;
                const int got = PX_get_data_short(doc, at, len, &v);
                integer(got, v);
                break;
            }
            case pxfLogical: {
                char v = 0;
                const int got = PX_get_data_byte(doc, at, len, &v);
                integer(got, v ? 1 : 0);
                break;
            }
            case pxfCurrency:
            case pxfNumber:
            case pxfTimestamp: {
                double v = 0;
                const int got = PX_get_data_double(doc, at, len, &v);
                if (got < 0)
                    ok = false;
                else if (got == 0)
                    kind(SourceValue::Kind::Null);
                else {
                    kind(SourceValue::Kind::Real);
                    put(&v, 8);
                }
                break;
            }
            case pxfBCD:
            case pxfBytes: {
                char* v = nullptr;
                const int got =
                    fields[i].px_ftype == pxfBCD
                        ? PX_get_data_bcd(doc, reinterpret_cast<unsigned char*>(at), len, &v)
                        : PX_get_data_bytes(doc, at, len, &v);
                if (got < 0)
                    ok = false;
                else if (got == 0 || !v)
                    kind(SourceValue::Kind::Null);
                else {
                    kind(SourceValue::Kind::Bytes);
                    const quint32 l =
                        fields[i].px_ftype == pxfBCD ? quint32(std::strlen(v)) : quint32(len);
                    put(&l, 4);
                    put(v, l);
                }
                if (v) doc->free(doc, v);
                break;
            }
            case pxfMemoBLOb:
            case pxfBLOb:
            case pxfFmtMemoBLOb:
            case pxfOLE:
            case pxfGraphic: {
                const BlobPointer ptr =
                    len >= kBlobPointerSize ? blobPointer(at, len) : BlobPointer{};
                if (ptr.length == 0) {
                    kind(SourceValue::Kind::Null);
                } else if (ptr.length <= quint32(len - kBlobPointerSize)) {
                    // Whole in the record's leader. The record-wise reading: pxlib's field-wise
                    // blob reading overruns its stack on the blobs its own writer makes.
                    if (!whole) whole = PX_retrieve_record(doc, r);
                    if (!whole)
                        ok = false;
                    else if (whole[i]->isnull || whole[i]->value.str.len <= 0)
                        kind(SourceValue::Kind::Null);
                    else {
                        kind(SourceValue::Kind::Bytes);
                        const quint32 l = quint32(whole[i]->value.str.len);
                        put(&l, 4);
                        put(whole[i]->value.str.val, l);
                    }
                } else {
                    // In the .mb file: a blob that cannot be read leaves the field empty and is
                    // reported; the rest of the row is kept.
                    QByteArray data;
                    QString why = blobProblem;
                    if (blobs.isOpen() && blobs.read(ptr, data, why)) {
                        kind(SourceValue::Kind::Bytes);
                        const quint32 l = quint32(data.size());
                        put(&l, 4);
                        put(data.constData(), l);
                    } else {
                        kind(SourceValue::Kind::Null);
                        badFields << BadField{quint16(i), why.toUtf8()};
                    }
                }
                break;
            }
            default:
                kind(SourceValue::Kind::Null);
            }
            at += len;
        }
        if (whole) {
            for (int i = 0; i < n; ++i) {
                if (!whole[i]) continue;
                if (whole[i]->type != pxfShort && whole[i]->type != pxfLong &&
                    whole[i]->type != pxfDate && whole[i]->type != pxfTime &&
                    whole[i]->type != pxfLogical && whole[i]->type != pxfAutoInc &&
                    whole[i]->type != pxfTimestamp && whole[i]->type != pxfNumber &&
                    whole[i]->type != pxfCurrency && !whole[i]->isnull && whole[i]->value.str.val)
                    doc->free(doc, whole[i]->value.str.val);
                doc->free(doc, whole[i]);
            }
            doc->free(doc, whole);
        }
        if (!ok) {
            w->num(kUnreadable);
            w->num(qint64(r));
            w->bytes(g_lastError, quint32(std::strlen(g_lastError)));
            continue;
        }
        for (const BadField& b : badFields) {
            w->num(kBadField);
            w->num(qint64(r));
            w->num(b.field);
            w->bytes(b.why.constData(), quint32(b.why.size()));
        }
        w->num(kRow);
        w->num(qint64(r));
        w->put(rowBytes.constData(), size_t(rowBytes.size()));
    }
    out.num(kEnd);
    out.flush();
    // The library's own clean-up is skipped: the process ends here.
    _exit(0);
}

// --- parent side ------------------------------------------------------------------------------

class PipeReader {
public:
    explicit PipeReader(int fd) : fd_(fd) {}
    // False at the end of the pipe before `n` bytes came.
    bool get(void* data, size_t n) {
        char* p = static_cast<char*>(data);
        while (n > 0) {
            if (pos_ == len_ && !fill()) return false;
            const size_t take = std::min(n, len_ - pos_);
            std::memcpy(p, buf_ + pos_, take);
            pos_ += take;
            p += take;
            n -= take;
        }
        return true;
    }
    template <class T> bool num(T& v) { return get(&v, sizeof v); }
    bool bytes(QByteArray& b) {
        quint32 n = 0;
        if (!num(n)) return false;
        b.resize(qsizetype(n));
        return get(b.data(), n);
    }
    bool stalled() const { return stalled_; }

private:
    bool fill() {
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            const int ready = ::poll(&p, 1, kStallMs);
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0) {
                stalled_ = true;
                return false;
            }
            const ssize_t r = ::read(fd_, buf_, sizeof buf_);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) return false;
            pos_ = 0;
            len_ = size_t(r);
            return true;
        }
    }
    int fd_;
    char buf_[1 << 16];
    size_t pos_ = 0, len_ = 0;
    bool stalled_ = false;
};

// Stops and reaps the child on every way out of the parent's loop.
struct Child {
    pid_t pid = -1;
    int fd = -1;
    int status = 0;
    bool reaped = false;
    void wait() {
        if (reaped || pid <= 0) return;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        reaped = true;
    }
    ~Child() {
        if (fd >= 0) ::close(fd);
        if (!reaped && pid > 0) {
            ::kill(pid, SIGKILL);
            wait();
        }
    }
};

QString describeEnd(const Child& c, bool stalled) {
    if (stalled) return QStringLiteral("odczyt tabeli zatrzymał się");
    if (WIFSIGNALED(c.status))
        return QStringLiteral("odczyt tabeli przerwał błąd biblioteki (sygnał %1)")
            .arg(WTERMSIG(c.status));
    return QStringLiteral("odczyt tabeli urwał się");
}

} // namespace

void readTable(const QString& dbPath, const QString& mbPath, RowSink& sink) {
    const QByteArray db = QFile::encodeName(dbPath), mb = QFile::encodeName(mbPath);
    int fds[2];
    if (::pipe(fds) != 0) throw BrokenTable(QStringLiteral("nie można uruchomić odczytu tabeli"));
    Child child;
    child.pid = ::fork();
    if (child.pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw BrokenTable(QStringLiteral("nie można uruchomić odczytu tabeli"));
    }
    if (child.pid == 0) {
        ::close(fds[0]);
        std::signal(SIGPIPE, SIG_IGN);
        childRead(db, mb, fds[1]);
        _exit(0);
    }
    ::close(fds[1]);
    child.fd = fds[0];

    PipeReader in(child.fd);
    QList<SourceField> fields;
    QList<SourceValue> values;
    QByteArray text;
    auto cutShort = [&]() -> BrokenTable {
        const bool stalled = in.stalled();
        if (stalled) ::kill(child.pid, SIGKILL);
        child.wait();
        return BrokenTable(describeEnd(child, stalled));
    };
    for (;;) {
        char tag = 0;
        if (!in.num(tag)) throw cutShort();
        if (tag == kEnd) break;
        if (tag == kFailed) {
            if (!in.bytes(text)) throw cutShort();
            child.wait();
            throw BrokenTable(QStringLiteral("biblioteka nie otwiera tabeli: %1")
                                  .arg(QString::fromLocal8Bit(text)));
        }
        if (tag == kFields) {
            quint16 n = 0;
            if (!in.num(n)) throw cutShort();
            for (int i = 0; i < n; ++i) {
                quint8 type = 0;
                quint16 length = 0;
                if (!in.num(type) || !in.num(length) || !in.bytes(text)) throw cutShort();
                fields << SourceField{QString::fromLatin1(text), type, length};
            }
            values.resize(fields.size());
            sink.fields(fields);
            continue;
        }
        qint64 recno = 0;
        if (!in.num(recno)) throw cutShort();
        if (tag == kBadField) {
            quint16 field = 0;
            if (!in.num(field) || !in.bytes(text) || field >= fields.size()) throw cutShort();
            sink.unreadableField(recno, fields[field].name, QString::fromUtf8(text));
            continue;
        }
        if (tag == kUnreadable) {
            if (!in.bytes(text)) throw cutShort();
            sink.unreadableRow(recno, QString::fromLocal8Bit(text));
            continue;
        }
        if (tag != kRow) throw cutShort();
        for (SourceValue& v : values) {
            quint8 kind = 0;
            if (!in.num(kind)) throw cutShort();
            v.kind = SourceValue::Kind(kind);
            bool ok = true;
            switch (v.kind) {
            case SourceValue::Kind::Null:
                break;
            case SourceValue::Kind::Integer:
                ok = in.num(v.integer);
                break;
            case SourceValue::Kind::Real:
                ok = in.num(v.real);
                break;
            case SourceValue::Kind::Bytes:
                ok = in.bytes(v.bytes);
                break;
            default:
                ok = false;
            }
            if (!ok) throw cutShort();
        }
        sink.row(recno, values);
    }
    child.wait();
}

} // namespace paradox
