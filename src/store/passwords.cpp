#include "store/passwords.h"
#include "engine/error.h"
#include "engine/table.h"
#include <QByteArray>
#include <QList>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

namespace store {

namespace {

// "$1$": PBKDF2 with HMAC-SHA256 and kIterations rounds; then salt and key in Base64 without
// padding. 3 + 27 characters fill User_Haslo exactly.
const QString kMarker = QStringLiteral("$1$");
constexpr int kSaltBytes = 8;
constexpr int kKeyBytes = 12;
constexpr int kIterations = 60000;
constexpr int kStoredLength = 30;

const QString kName = QStringLiteral("User_Nazwa");
const QString kPassword = QStringLiteral("User_Haslo");

QByteArray pbkdf2(const QByteArray& password, const QByteArray& salt, int iterations, int length) {
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
    mac.addData(salt);
    mac.addData(QByteArray::fromRawData("\0\0\0\1", 4)); // block 1: the key fits in one
    QByteArray u = mac.result();
    QByteArray key = u;
    for (int i = 1; i < iterations; ++i) {
        mac.reset();
        mac.addData(u);
        u = mac.result();
        for (int b = 0; b < key.size(); ++b)
            key[b] = char(key[b] ^ u[b]);
    }
    return key.left(length);
}

// The letter case of a password never mattered, so the hash is of its capitals.
QByteArray secretOf(const QString& password) {
    return password.toUpper().toUtf8();
}

QByteArray decoded(const QString& stored) {
    if (stored.size() != kStoredLength || !stored.startsWith(kMarker)) return {};
    const auto r = QByteArray::fromBase64Encoding(stored.mid(kMarker.size()).toLatin1(),
                                                  QByteArray::AbortOnBase64DecodingErrors);
    if (!r || r.decoded.size() != kSaltBytes + kKeyBytes) return {};
    return r.decoded;
}

// Compares without stopping at the first difference, so the time taken tells nothing.
bool sameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

} // namespace

QString hashPassword(const QString& password) {
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    const QByteArray key = pbkdf2(secretOf(password), salt, kIterations, kKeyBytes);
    return kMarker +
           QString::fromLatin1(QByteArray(salt + key).toBase64(QByteArray::OmitTrailingEquals));
}

bool isPasswordHash(const QString& stored) {
    return !decoded(stored).isEmpty();
}

bool passwordMatches(const QString& typed, const QString& stored) {
    const QByteArray bytes = decoded(stored);
    if (bytes.isEmpty()) return typed.toUpper() == stored.toUpper();
    const QByteArray salt = bytes.left(kSaltBytes);
    return sameBytes(pbkdf2(secretOf(typed), salt, kIterations, kKeyBytes), bytes.mid(kSaltBytes));
}

LoginUser findLoginUser(engine::Table& users, const QString& name, const QString& password) {
    LoginUser user;
    const QString wanted = name.toUpper();
    QList<qint64> typedAsIs; // matching rows whose password is still stored as typed
    for (users.first(); !users.eof(); users.next()) {
        if (users.asString(kName).toUpper() != wanted) continue;
        const QString stored = users.asString(kPassword);
        if (!passwordMatches(password, stored)) continue;
        user.nr = users.asInteger(QStringLiteral("User_Nr"));
        user.name = users.asString(kName).trimmed();
        user.catalogue = users.asString(QStringLiteral("User_Baza_Sciezka"));
        user.rightsLevel = users.asInteger(QStringLiteral("User_Uprawnienia")) == 2 ? 2 : 1;
        user.priceRight = users.asBoolean(QStringLiteral("User_Ceny"));
        user.adminRight = users.asBoolean(QStringLiteral("User_Administrator"));
        if (!isPasswordHash(stored)) typedAsIs << users.rowId();
    }
    for (qint64 row : std::as_const(typedAsIs)) {
        try {
            if (!users.gotoRowId(row)) continue;
            users.edit();
            users.setValue(kPassword, hashPassword(password));
            users.post();
        } catch (const engine::EngineError&) {
            // The login itself succeeded; the password is hashed at a later one.
            if (users.state() != engine::Table::State::Browse) users.cancel();
        }
    }
    return user;
}

} // namespace store
