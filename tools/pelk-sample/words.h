#pragma once
#include <QString>
#include <vector>

// Word lists the sample data is made of.
namespace sample::words {

struct City {
    const char* name;
    const char* dialling; // without the country code
    const char* postal;   // Polish cities: the first two digits; abroad: a whole code
    int country;          // index into countries()
};
struct Country {
    const char* name;
    const char* dialling;
};
struct Currency {
    const char* name;
    double rate; // złoty for one unit
};
struct Bank {
    const char* name;
    const char* code; // the bank's four digits of an account number
};

const std::vector<City>& cities(); // Polish cities first, then the foreign ones
int polishCityCount();
const std::vector<Country>& countries();   // Polska first
const std::vector<Currency>& currencies(); // PLN first, at rate 1
const std::vector<Bank>& banks();
const std::vector<const char*>& streets();
const std::vector<const char*>& maleNames();
const std::vector<const char*>& femaleNames();
const std::vector<const char*>& surnames(); // in the masculine form
const std::vector<const char*>& departments();
const std::vector<const char*>& companyStems();
const std::vector<const char*>& companySuffixes();
const std::vector<const char*>& companyForms();
const std::vector<const char*>& companyTrades(); // second name lines: what the company does
// Foreign companies by country index: name patterns with %1 standing for a surname or a stem.
const std::vector<const char*>& foreignPatterns(int country);
const std::vector<const char*>& foreignSurnames(int country);

// "Kowalski" -> "Kowalska"; other surnames stay as they are.
QString feminine(const QString& surname);

} // namespace sample::words
