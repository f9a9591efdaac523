#pragma once
#include <QString>

namespace engine {
class Table;
}

namespace store {

// Passwords in Users (User_Haslo, 30 characters) are kept as a salted, slow hash of the password
// turned to capitals, so that reading the main folder does not give them away and the comparison
// still ignores letter case. A stored value that is not in the hash form is a password as typed
// (an older main folder or an imported row): it is compared as text and replaced by its hash at
// the next successful login.

// The form stored in User_Haslo: "$1$" followed by salt and hash, 30 characters. Every call
// draws a new salt.
QString hashPassword(const QString& password);

// Whether a User_Haslo value holds the hash form (and not a password as typed).
bool isPasswordHash(const QString& stored);

// Whether the typed password is the one stored, whatever the letter case of either.
bool passwordMatches(const QString& typed, const QString& stored);

// A user found by the login.
struct LoginUser {
    int nr = 0;          // User_Nr; 0 when no row matched
    QString name;        // User_Nazwa as stored
    QString catalogue;   // User_Baza_Sciezka as stored
    int rightsLevel = 1; // 2 full rights, 1 read-only
    bool priceRight = false;
    bool adminRight = false;
    bool found() const { return nr != 0; }
};

// Walks every row of the open Users table and returns the last one (in table order) whose name
// and password match the typed ones, both without regard to letter case. Matching rows that still
// hold the password as typed get its hash; a row that cannot be rewritten (locked by another
// installation, a read-only folder) keeps it until the next login. Throws engine::EngineError
// when the table cannot be read.
LoginUser findLoginUser(engine::Table& users, const QString& name, const QString& password);

} // namespace store
