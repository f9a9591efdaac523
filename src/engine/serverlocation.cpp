#include "engine/serverlocation.h"
#include "engine/error.h"
#include <QDir>
#include <QUrl>

namespace engine {

namespace {

const QString scheme = QStringLiteral("postgresql://");

// The server cuts identifiers at 63 bytes; a longer name would silently name another schema.
constexpr int maxSchemaLength = 63;

[[noreturn]] void malformed(const QString& location, const QString& cause) {
    throw EngineError(EngineError::Kind::NoDatabase,
                      QStringLiteral("Niepoprawny adres katalogu na serwerze %1: %2. Poprawna "
                                     "postać to postgresql://[użytkownik@]serwer[:port]/baza/"
                                     "schemat.")
                          .arg(location, cause));
}

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Percent-decoding that refuses what would change the meaning of the connection string: a
// broken escape or a NUL byte.
QString decoded(const QString& location, const QString& part, const QString& what) {
    for (qsizetype i = part.indexOf(u'%'); i >= 0; i = part.indexOf(u'%', i + 1)) {
        const QString hex = part.mid(i + 1, 2);
        bool ok = hex.size() == 2 && isHexDigit(hex[0]) && isHexDigit(hex[1]);
        const int byte = ok ? hex.toInt(&ok, 16) : -1;
        if (!ok) malformed(location, QStringLiteral("błędny znak % w polu „") + what + u'”');
        if (byte == 0) malformed(location, QStringLiteral("znak %00 w polu „") + what + u'”');
    }
    return QUrl::fromPercentEncoding(part.toUtf8());
}

void append(QByteArray& out, const char* key, const QString& value) {
    if (!out.isEmpty()) out += ' ';
    QByteArray quoted = value.toUtf8();
    quoted.replace("\\", "\\\\").replace("'", "\\'");
    out += key;
    out += "='" + quoted + '\'';
}

} // namespace

QByteArray ServerLocation::connectionString() const {
    QByteArray out;
    if (!host.isEmpty()) append(out, "host", host);
    if (port != 0) append(out, "port", QString::number(port));
    if (!user.isEmpty()) append(out, "user", user);
    append(out, "dbname", database);
    return out;
}

bool isServerLocation(const QString& location) {
    return location.trimmed().startsWith(scheme, Qt::CaseInsensitive);
}

QString inLocation(const QString& location) {
    if (isServerLocation(location))
        return QStringLiteral("w katalogu na serwerze %1").arg(location.trimmed());
    return QStringLiteral("w folderze %1").arg(QDir::toNativeSeparators(location));
}

bool isValidSchemaName(const QString& name) {
    if (name.isEmpty() || name.size() > maxSchemaLength) return false;
    if (!isAsciiLetter(name[0]) && name[0] != u'_') return false;
    for (QChar c : name)
        if (!isAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'_') return false;
    const QString lower = name.toLower();
    return !lower.startsWith(QStringLiteral("pg_")) &&
           lower != QStringLiteral("information_schema");
}

ServerLocation parseServerLocation(const QString& text) {
    const QString location = text.trimmed();
    if (!isServerLocation(location))
        malformed(text, QStringLiteral("adres musi zaczynać się od %1").arg(scheme));
    const QString rest = location.mid(scheme.size());
    if (rest.contains(u'?') || rest.contains(u'#'))
        malformed(location, QStringLiteral("adres nie może zawierać znaków ? ani #"));

    const qsizetype slash = rest.indexOf(u'/');
    if (slash < 0) malformed(location, QStringLiteral("brak nazwy bazy danych i schematu"));
    const QString authority = rest.left(slash);
    const QStringList path = rest.mid(slash + 1).split(u'/');

    ServerLocation result;
    QString hostPort = authority;
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QString user = authority.left(at);
        if (user.contains(u':'))
            malformed(location, QStringLiteral("adres nie może zawierać hasła; hasło podaje się "
                                               "w pliku .pgpass"));
        result.user = decoded(location, user, QStringLiteral("użytkownik"));
        if (result.user.isEmpty()) malformed(location, QStringLiteral("pusta nazwa użytkownika"));
        hostPort = authority.mid(at + 1);
    }

    QString portText;
    if (hostPort.startsWith(u'[')) {
        const qsizetype close = hostPort.indexOf(u']');
        if (close < 0) malformed(location, QStringLiteral("brak znaku ] po adresie IPv6"));
        result.host = hostPort.mid(1, close - 1);
        const QString after = hostPort.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(u':'))
            malformed(location, QStringLiteral("niepoprawny adres IPv6"));
        portText = after.mid(1);
        if (after.startsWith(u':') && portText.isEmpty())
            malformed(location, QStringLiteral("pusty numer portu"));
    } else {
        const qsizetype colon = hostPort.lastIndexOf(u':');
        if (colon >= 0) {
            portText = hostPort.mid(colon + 1);
            if (portText.isEmpty()) malformed(location, QStringLiteral("pusty numer portu"));
            hostPort = hostPort.left(colon);
        }
        result.host = decoded(location, hostPort, QStringLiteral("serwer"));
    }
    if (!portText.isEmpty()) {
        bool ok = false;
        result.port = portText.toInt(&ok);
        for (QChar c : portText)
            if (c < u'0' || c > u'9') ok = false;
        if (!ok || result.port < 1 || result.port > 65535)
            malformed(location,
                      QStringLiteral("numer portu %1 nie jest liczbą od 1 do 65535").arg(portText));
    }

    if (path.size() < 2 || path[0].isEmpty())
        malformed(location, QStringLiteral("brak nazwy bazy danych i schematu"));
    if (path.size() > 2 || path[1].isEmpty())
        malformed(location,
                  QStringLiteral("po nazwie bazy danych musi wystąpić dokładnie jedna nazwa "
                                 "schematu"));
    result.database = decoded(location, path[0], QStringLiteral("baza"));
    result.schema = path[1];
    if (!isValidSchemaName(result.schema))
        malformed(location,
                  QStringLiteral("nazwa schematu %1 jest niedozwolona: może zawierać tylko litery "
                                 "łacińskie bez polskich znaków, cyfry i znak podkreślenia, nie "
                                 "może zaczynać się od cyfry ani od pg_, być dłuższa niż %2 "
                                 "znaki ani być schematem serwera (information_schema)")
                      .arg(result.schema)
                      .arg(maxSchemaLength));
    return result;
}

} // namespace engine
