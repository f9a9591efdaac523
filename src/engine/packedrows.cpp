#include "engine/packedrows.h"
#include "engine/database.h"
#include <algorithm>
#include <cstring>
#include <sqlite3.h>

namespace engine {

namespace {

constexpr size_t kBlockSize = size_t(1) << 20;

enum Tag : char { Null, Integer, Real, Text, Blob };

template <class T> void put(std::string& out, T v) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <class T> T get(const char*& p) {
    T v;
    std::memcpy(&v, p, sizeof(T));
    p += sizeof(T);
    return v;
}

// Steps over one value; returns where the next begins.
const char* skip(const char* p) {
    switch (*p++) {
    case Integer:
    case Real:
        return p + 8;
    case Text:
    case Blob: {
        const auto n = get<std::uint32_t>(p);
        return p + n;
    }
    default:
        return p;
    }
}

QVariant read(const char* p) {
    switch (*p++) {
    case Integer:
        return QVariant(qint64(get<std::int64_t>(p)));
    case Real:
        return QVariant(get<double>(p));
    case Text: {
        const auto n = get<std::uint32_t>(p);
        return QVariant(QString::fromUtf8(p, qsizetype(n)));
    }
    case Blob: {
        const auto n = get<std::uint32_t>(p);
        return QVariant(n > 0 ? QByteArray(p, qsizetype(n)) : QByteArray());
    }
    default:
        return {};
    }
}

} // namespace

namespace {

// Appends the packed columns to `r`: their sizes first, then one growth of `r` and plain copies.
void packInto(std::string& r, sqlite3_stmt* stmt, int first, int columns) {
    struct Column {
        sqlite3_value* v;
        int type;
        std::uint32_t bytes;
        const void* data;
    };
    constexpr int kAtOnce = 32;
    // A wider row goes in parts.
    for (; columns > kAtOnce; first += kAtOnce, columns -= kAtOnce)
        packInto(r, stmt, first, kAtOnce);
    Column cols[kAtOnce];
    size_t total = 0;
    // The column's value read directly: each sqlite3_column_*() call looks the column up again.
    // Cursors live on one thread, so the value needs no protection.
    for (int i = 0; i < columns; ++i) {
        Column& c = cols[i];
        c.v = sqlite3_column_value(stmt, first + i);
        c.type = sqlite3_value_type(c.v);
        switch (c.type) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            total += 1 + 8;
            break;
        case SQLITE_TEXT:
            c.data = sqlite3_value_text(c.v); // before its size: the size is of this form
            c.bytes = std::uint32_t(sqlite3_value_bytes(c.v));
            total += 1 + 4 + c.bytes;
            break;
        case SQLITE_BLOB:
            c.data = sqlite3_value_blob(c.v);
            c.bytes = std::uint32_t(sqlite3_value_bytes(c.v));
            total += 1 + 4 + c.bytes;
            break;
        default:
            total += 1;
            break;
        }
    }
    const size_t at = r.size();
    r.resize(at + total);
    char* p = r.data() + at;
    auto put8 = [&p](auto v) {
        std::memcpy(p, &v, 8);
        p += 8;
    };
    for (int i = 0; i < columns; ++i) {
        const Column& c = cols[i];
        switch (c.type) {
        case SQLITE_INTEGER:
            *p++ = Integer;
            put8(std::int64_t(sqlite3_value_int64(c.v)));
            break;
        case SQLITE_FLOAT:
            *p++ = Real;
            put8(sqlite3_value_double(c.v));
            break;
        case SQLITE_TEXT:
        case SQLITE_BLOB:
            *p++ = c.type == SQLITE_TEXT ? Text : Blob;
            std::memcpy(p, &c.bytes, 4);
            p += 4;
            if (c.bytes > 0) std::memcpy(p, c.data, c.bytes);
            p += c.bytes;
            break;
        default:
            *p++ = Null;
            break;
        }
    }
}

// Appends the packed columns of a statement that is not SQLite's, from its values.
void packValues(std::string& r, const Statement& stmt, int first, int columns) {
    for (int i = first; i < first + columns; ++i) {
        const QVariant v = stmt.column(i);
        switch (v.typeId()) {
        case QMetaType::LongLong:
            r.push_back(Integer);
            put<std::int64_t>(r, v.toLongLong());
            break;
        case QMetaType::Double:
            r.push_back(Real);
            put<double>(r, v.toDouble());
            break;
        case QMetaType::QString: {
            const QByteArray u = v.toString().toUtf8();
            r.push_back(Text);
            put<std::uint32_t>(r, std::uint32_t(u.size()));
            r.append(u.constData(), size_t(u.size()));
            break;
        }
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            r.push_back(Blob);
            put<std::uint32_t>(r, std::uint32_t(b.size()));
            r.append(b.constData(), size_t(b.size()));
            break;
        }
        default:
            r.push_back(Null);
            break;
        }
    }
}

} // namespace

void PackedRow::assign(const Block& block, const Statement& stmt, int first, int columns) {
    if (stmt.handle()) {
        assign(block, stmt.handle(), first, columns);
        return;
    }
    const size_t at = block->size();
    packValues(*block, stmt, first, columns);
    block_ = block;
    offset_ = std::uint32_t(at);
    size_ = std::uint32_t(block->size() - at);
}

void PackedRow::assign(const Block& block, sqlite3_stmt* stmt, int first, int columns) {
    const size_t at = block->size();
    packInto(*block, stmt, first, columns);
    block_ = block;
    offset_ = std::uint32_t(at);
    size_ = std::uint32_t(block->size() - at);
}

QVariant PackedRow::value(int column) const {
    if (!block_) return {};
    const char* p = data();
    for (int i = 0; i < column; ++i)
        p = skip(p);
    return read(p);
}

std::vector<QVariant> PackedRow::values(int columns) const {
    std::vector<QVariant> out;
    out.reserve(size_t(columns));
    if (!block_) {
        out.resize(size_t(columns));
        return out;
    }
    const char* p = data();
    for (int i = 0; i < columns; ++i) {
        out.push_back(read(p));
        p = skip(p);
    }
    return out;
}

void PackedRows::append(sqlite3_stmt* stmt, int columns) {
    std::string& r = scratch_;
    r.clear();
    packInto(r, stmt, 0, columns);
    place();
}

void PackedRows::append(const Statement& stmt, int columns) {
    if (stmt.handle()) {
        append(stmt.handle(), columns);
        return;
    }
    scratch_.clear();
    packValues(scratch_, stmt, 0, columns);
    place();
}

void PackedRows::place() {
    const std::string& r = scratch_;
    // A row never spans two blocks; one larger than a block (a big picture) gets its own.
    if (blocks_.empty() || blocks_.back().size() + r.size() > blocks_.back().capacity()) {
        if (!blocks_.empty() && blocks_.back().empty()) blocks_.pop_back();
        blocks_.emplace_back();
        blocks_.back().reserve(std::max(kBlockSize, r.size()));
    }
    std::string& block = blocks_.back();
    at_.push_back({std::uint32_t(blocks_.size() - 1), std::uint32_t(block.size())});
    block.append(r);
}

void PackedRows::appendEmpty(int columns) {
    scratch_.assign(size_t(columns), char(Null));
    place();
}

void PackedRows::clear() {
    at_.clear();
    if (blocks_.size() > 1) blocks_.resize(1);
    if (!blocks_.empty()) blocks_.front().clear();
}

void PackedRows::release() {
    at_.clear();
    at_.shrink_to_fit();
    blocks_.clear();
    blocks_.shrink_to_fit();
    scratch_.clear();
    scratch_.shrink_to_fit();
}

const char* PackedRows::start(size_t row) const {
    const Where w = at_[row];
    return blocks_[w.block].data() + w.offset;
}

QVariant PackedRows::value(size_t row, int column) const {
    const char* p = start(row);
    for (int i = 0; i < column; ++i)
        p = skip(p);
    return read(p);
}

std::vector<QVariant> PackedRows::row(size_t row, int columns) const {
    std::vector<QVariant> out;
    out.reserve(size_t(columns));
    const char* p = start(row);
    for (int i = 0; i < columns; ++i) {
        out.push_back(read(p));
        p = skip(p);
    }
    return out;
}

} // namespace engine
