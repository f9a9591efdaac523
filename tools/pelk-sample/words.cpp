#include "words.h"

namespace sample::words {

namespace {

enum CountryIndex { PL, DE, CZ, SK, IT, FR, GB, SE, CN, JP, US, UA, LT, AT, NL, ES, DK, HU };

} // namespace

const std::vector<Country>& countries() {
    static const std::vector<Country> v = {
        {"Polska", "+48"}, {"Niemcy", "+49"},  {"Czechy", "+420"},          {"Słowacja", "+421"},
        {"Włochy", "+39"}, {"Francja", "+33"}, {"Wielka Brytania", "+44"},  {"Szwecja", "+46"},
        {"Chiny", "+86"},  {"Japonia", "+81"}, {"Stany Zjednoczone", "+1"}, {"Ukraina", "+380"},
        {"Litwa", "+370"}, {"Austria", "+43"}, {"Holandia", "+31"},         {"Hiszpania", "+34"},
        {"Dania", "+45"},  {"Węgry", "+36"},
    };
    return v;
}

const std::vector<City>& cities() {
    static const std::vector<City> v = {
        {"Warszawa", "22", "02", PL},
        {"Kraków", "12", "31", PL},
        {"Łódź", "42", "90", PL},
        {"Wrocław", "71", "50", PL},
        {"Poznań", "61", "61", PL},
        {"Gdańsk", "58", "80", PL},
        {"Szczecin", "91", "7", PL},
        {"Bydgoszcz", "52", "85", PL},
        {"Lublin", "81", "20", PL},
        {"Białystok", "85", "15", PL},
        {"Katowice", "32", "40", PL},
        {"Gdynia", "58", "81", PL},
        {"Częstochowa", "34", "42", PL},
        {"Radom", "48", "26", PL},
        {"Toruń", "56", "87", PL},
        {"Sosnowiec", "32", "41", PL},
        {"Kielce", "41", "25", PL},
        {"Rzeszów", "17", "35", PL},
        {"Gliwice", "32", "44", PL},
        {"Zabrze", "32", "41", PL},
        {"Olsztyn", "89", "10", PL},
        {"Bielsko-Biała", "33", "43", PL},
        {"Bytom", "32", "41", PL},
        {"Zielona Góra", "68", "65", PL},
        {"Rybnik", "32", "44", PL},
        {"Ruda Śląska", "32", "41", PL},
        {"Opole", "77", "45", PL},
        {"Tychy", "32", "43", PL},
        {"Gorzów Wielkopolski", "95", "66", PL},
        {"Elbląg", "55", "82", PL},
        {"Płock", "24", "09", PL},
        {"Wałbrzych", "74", "58", PL},
        {"Włocławek", "54", "87", PL},
        {"Tarnów", "14", "33", PL},
        {"Chorzów", "32", "41", PL},
        {"Koszalin", "94", "75", PL},
        {"Kalisz", "62", "62", PL},
        {"Legnica", "76", "59", PL},
        {"Grudziądz", "56", "86", PL},
        {"Jaworzno", "32", "43", PL},
        {"Słupsk", "59", "76", PL},
        {"Jastrzębie-Zdrój", "32", "44", PL},
        {"Nowy Sącz", "18", "33", PL},
        {"Jelenia Góra", "75", "58", PL},
        {"Siedlce", "25", "08", PL},
        {"Mysłowice", "32", "41", PL},
        {"Konin", "63", "62", PL},
        {"Piła", "67", "64", PL},
        {"Piotrków Trybunalski", "44", "97", PL},
        {"Inowrocław", "52", "88", PL},
        {"Lubin", "76", "59", PL},
        {"Ostrów Wielkopolski", "62", "63", PL},
        {"Suwałki", "87", "16", PL},
        {"Stargard", "91", "73", PL},
        {"Gniezno", "61", "62", PL},
        {"Łomża", "86", "18", PL},
        {"Zamość", "84", "22", PL},
        {"Przemyśl", "16", "37", PL},
        {"Ełk", "87", "19", PL},
        {"Krosno", "13", "38", PL},
        {"Mielec", "17", "39", PL},
        {"Nowy Targ", "18", "34", PL},
        {"Zakopane", "18", "34", PL},
        {"Żywiec", "33", "34", PL},
        {"Świdnica", "74", "58", PL},
        {"Ostrołęka", "29", "07", PL},
        {"Ciechanów", "23", "06", PL},
        {"Skierniewice", "46", "96", PL},
        {"Sieradz", "43", "98", PL},
        {"Chełm", "82", "22", PL},
        {"Biała Podlaska", "83", "21", PL},
        {"Tczew", "58", "83", PL},
        {"Pruszków", "22", "05", PL},
        {"Świętochłowice", "32", "41", PL},
        {"Żory", "32", "44", PL},
        {"Oświęcim", "33", "32", PL},
        // abroad
        {"Berlin", "30", "10115", DE},
        {"München", "89", "80331", DE},
        {"Stuttgart", "711", "70173", DE},
        {"Hamburg", "40", "20095", DE},
        {"Dresden", "351", "01067", DE},
        {"Praha", "2", "110 00", CZ},
        {"Brno", "5", "602 00", CZ},
        {"Ostrava", "59", "702 00", CZ},
        {"Bratislava", "2", "811 01", SK},
        {"Milano", "02", "20121", IT},
        {"Torino", "011", "10121", IT},
        {"Lyon", "4", "69001", FR},
        {"Birmingham", "121", "B1 1AA", GB},
        {"Göteborg", "31", "411 01", SE},
        {"Ningbo", "574", "315000", CN},
        {"Shanghai", "21", "200000", CN},
        {"Osaka", "6", "530-0001", JP},
        {"Chicago", "312", "60601", US},
        {"Lwów", "32", "79000", UA},
        {"Wilno", "5", "01100", LT},
        {"Wien", "1", "1010", AT},
        {"Eindhoven", "40", "5611", NL},
        {"Bilbao", "94", "48001", ES},
        {"Odense", "66", "5000", DK},
        {"Győr", "96", "9021", HU},
    };
    return v;
}

int polishCityCount() {
    static const int n = [] {
        int k = 0;
        for (const auto& c : cities())
            k += c.country == PL;
        return k;
    }();
    return n;
}

const std::vector<Currency>& currencies() {
    static const std::vector<Currency> v = {
        {"PLN", 1.0},    {"EUR", 4.2735},  {"USD", 3.9412},  {"GBP", 5.0718},
        {"CHF", 4.5186}, {"CZK", 0.1712},  {"SEK", 0.3796},  {"NOK", 0.3667},
        {"DKK", 0.5729}, {"JPY", 0.02634}, {"HUF", 0.01093}, {"CNY", 0.5437},
    };
    return v;
}

const std::vector<Bank>& banks() {
    static const std::vector<Bank> v = {
        {"PKO Bank Polski S.A.", "1020"},
        {"Bank Pekao S.A.", "1240"},
        {"mBank S.A.", "1140"},
        {"ING Bank Śląski S.A.", "1050"},
        {"Santander Bank Polska S.A.", "1090"},
        {"BNP Paribas Bank Polska S.A.", "1600"},
        {"Bank Millennium S.A.", "1160"},
        {"Alior Bank S.A.", "2490"},
        {"Credit Agricole Bank Polska S.A.", "1940"},
        {"Bank Spółdzielczy w Żywcu", "8128"},
    };
    return v;
}

const std::vector<const char*>& streets() {
    static const std::vector<const char*> v = {
        "ul. Przemysłowa",  "ul. Fabryczna",     "ul. Składowa",      "ul. Magazynowa",
        "ul. Hutnicza",     "ul. Kolejowa",      "ul. Warszawska",    "ul. Krakowska",
        "ul. Wrocławska",   "ul. Poznańska",     "ul. Długa",         "ul. Polna",
        "ul. Lipowa",       "ul. Ogrodowa",      "ul. Szkolna",       "ul. Kościuszki",
        "ul. Mickiewicza",  "ul. Słowackiego",   "ul. Żeromskiego",   "ul. Reymonta",
        "ul. 3 Maja",       "ul. Zwycięstwa",    "ul. Łąkowa",        "ul. Źródlana",
        "ul. Spółdzielcza", "al. Jana Pawła II", "al. Solidarności",  "ul. Rzemieślnicza",
        "ul. Techniczna",   "ul. Energetyków",   "ul. Górnicza",      "ul. Metalowców",
        "ul. Sienkiewicza", "ul. Piłsudskiego",  "ul. Świętokrzyska",
    };
    return v;
}

const std::vector<const char*>& maleNames() {
    static const std::vector<const char*> v = {
        "Jan",       "Piotr",    "Krzysztof", "Andrzej",    "Tomasz",  "Paweł",    "Marcin",
        "Michał",    "Grzegorz", "Józef",     "Marek",      "Łukasz",  "Adam",     "Zbigniew",
        "Jerzy",     "Tadeusz",  "Mateusz",   "Dariusz",    "Mariusz", "Wojciech", "Ryszard",
        "Kazimierz", "Henryk",   "Stanisław", "Jakub",      "Rafał",   "Sławomir", "Zdzisław",
        "Bogdan",    "Leszek",   "Wiesław",   "Przemysław",
    };
    return v;
}

const std::vector<const char*>& femaleNames() {
    static const std::vector<const char*> v = {
        "Anna",   "Maria",    "Katarzyna", "Małgorzata", "Agnieszka", "Barbara",
        "Ewa",    "Krystyna", "Elżbieta",  "Zofia",      "Joanna",    "Magdalena",
        "Monika", "Teresa",   "Danuta",    "Beata",      "Jadwiga",   "Aleksandra",
        "Żaneta", "Halina",   "Grażyna",   "Urszula",    "Dorota",    "Iwona",
    };
    return v;
}

const std::vector<const char*>& surnames() {
    static const std::vector<const char*> v = {
        "Nowak",       "Kowalski",    "Wiśniewski",  "Wójcik",      "Kowalczyk",    "Kamiński",
        "Lewandowski", "Zieliński",   "Szymański",   "Woźniak",     "Dąbrowski",    "Kozłowski",
        "Jankowski",   "Mazur",       "Kwiatkowski", "Krawczyk",    "Piotrowski",   "Grabowski",
        "Nowakowski",  "Pawłowski",   "Michalski",   "Nowicki",     "Adamczyk",     "Dudek",
        "Zając",       "Wieczorek",   "Jabłoński",   "Król",        "Majewski",     "Olszewski",
        "Jaworski",    "Wróbel",      "Malinowski",  "Pawlak",      "Witkowski",    "Walczak",
        "Stępień",     "Górski",      "Rutkowski",   "Michalak",    "Sikora",       "Ostrowski",
        "Baran",       "Duda",        "Szewczyk",    "Tomaszewski", "Pietrzak",     "Marciniak",
        "Wróblewski",  "Zalewski",    "Jakubowski",  "Jasiński",    "Zawadzki",     "Sadowski",
        "Bąk",         "Chmielewski", "Włodarczyk",  "Borkowski",   "Czarnecki",    "Sawicki",
        "Sokołowski",  "Urbański",    "Kubiak",      "Maciejewski", "Szczepański",  "Kucharski",
        "Wilk",        "Kalinowski",  "Lis",         "Mazurek",     "Wysocki",      "Adamski",
        "Kaźmierczak", "Wasilewski",  "Sobczak",     "Czerwiński",  "Andrzejewski", "Cieślak",
        "Głowacki",    "Zakrzewski",  "Kołodziej",   "Sikorski",    "Krajewski",    "Gajewski",
        "Szymczak",    "Szulc",       "Baranowski",  "Laskowski",   "Brzeziński",   "Makowski",
        "Ziółkowski",  "Przybylski",  "Żak",         "Łuczak",      "Ćwikła",       "Śliwiński",
        "Źrałek",      "Żurawski",
    };
    return v;
}

const std::vector<const char*>& departments() {
    static const std::vector<const char*> v = {
        "Sekretariat",      "Dział handlowy", "Dział zaopatrzenia",    "Magazyn",
        "Księgowość",       "Serwis",         "Biuro obsługi klienta", "Fax",
        "Dział techniczny", "Recepcja",
    };
    return v;
}

const std::vector<const char*>& companyStems() {
    static const std::vector<const char*> v = {
        "Metal",  "Stal",  "Hydro",   "Elektro", "Tech",  "Pneu",   "Mech",  "Narzęd",
        "Łoży",   "Śrub",  "Uszczel", "Kabel",   "Termo", "Energo", "Agro",  "Budo",
        "Instal", "Serw",  "Auto",    "Inter",   "Mega",  "Pol",    "Trans", "Żelaz",
        "Armat",  "Napęd", "Złącz",   "Prof",    "Euro",  "Sigma",
    };
    return v;
}

const std::vector<const char*>& companySuffixes() {
    static const std::vector<const char*> v = {"ex",     "pol", "mont",  "tech", "bud",
                                               "serwis", "met", "trans", "hurt", "kom",
                                               "mar",    "san", "tor",   "lux"};
    return v;
}

const std::vector<const char*>& companyForms() {
    static const std::vector<const char*> v = {"Sp. z o.o.", "Sp. z o.o.", "Sp. z o.o.", "S.A.",
                                               "Sp. j.",     "s.c.",       "Sp. k."};
    return v;
}

const std::vector<const char*>& companyTrades() {
    static const std::vector<const char*> v = {
        "Hurtownia Techniczna",
        "Zakład Produkcji Elementów Złącznych",
        "Przedsiębiorstwo Handlowo-Usługowe",
        "Dystrybucja Łożysk i Napędów",
        "Armatura Przemysłowa",
        "Hurtownia Elektryczna",
        "Narzędzia i Elektronarzędzia",
        "Hydraulika Siłowa",
        "Zaopatrzenie Przemysłu",
        "Produkcja i Handel",
        "Zakład Remontowo-Budowlany",
        "Serwis Maszyn i Urządzeń",
        "Artykuły BHP",
        "Chemia Techniczna",
    };
    return v;
}

const std::vector<const char*>& foreignPatterns(int country) {
    static const std::vector<const char*> de = {"%1 Schraubenwerk GmbH", "Kugellager %1 AG",
                                                "%1 Antriebstechnik GmbH", "%1 & Söhne KG"};
    static const std::vector<const char*> cz = {"Strojírny %1 s.r.o.", "%1 Ložiska a.s.",
                                                "%1 Technik s.r.o."};
    static const std::vector<const char*> it = {"Valvole %1 S.p.A.", "%1 Raccorderie S.r.l.",
                                                "Officine %1 S.r.l."};
    static const std::vector<const char*> cn = {
        "Ningbo %1 Bearing Co., Ltd.", "%1 Fasteners Co., Ltd.", "%1 Hardware Tools Co., Ltd."};
    static const std::vector<const char*> other = {"%1 Industrial Ltd.", "%1 Components Inc.",
                                                   "%1 Trading"};
    switch (country) {
    case DE:
    case AT:
        return de;
    case CZ:
    case SK:
        return cz;
    case IT:
        return it;
    case CN:
        return cn;
    default:
        return other;
    }
}

const std::vector<const char*>& foreignSurnames(int country) {
    static const std::vector<const char*> de = {"Müller", "Schmidt", "Schneider", "Fischer",
                                                "Weber",  "Becker",  "Wagner"};
    static const std::vector<const char*> cz = {"Novák", "Svoboda",   "Dvořák",
                                                "Černý", "Procházka", "Kučera"};
    static const std::vector<const char*> it = {"Rossi",   "Bianchi", "Ferrari",
                                                "Colombo", "Ricci",   "Marino"};
    static const std::vector<const char*> cn = {"Hengda", "Zhongtai", "Jinli",
                                                "Huaxin", "Dongfang", "Yongli"};
    static const std::vector<const char*> other = {"Nordic", "Atlas",  "Delta",
                                                   "Vector", "Summit", "Orion"};
    switch (country) {
    case DE:
    case AT:
        return de;
    case CZ:
    case SK:
        return cz;
    case IT:
        return it;
    case CN:
        return cn;
    default:
        return other;
    }
}

QString feminine(const QString& surname) {
    if (surname.endsWith(QLatin1String("ski")) || surname.endsWith(QLatin1String("cki")) ||
        surname.endsWith(QLatin1String("dzki")))
        return surname.chopped(1) + u'a';
    return surname;
}

} // namespace sample::words
