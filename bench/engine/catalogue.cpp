#include "catalogue.h"
#include "engine/database.h"
#include "engine/table.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <vector>

namespace engine::bench {

namespace {

FieldDef field(const char* name, FieldType type, int size = 0) {
    return FieldDef{QString::fromUtf8(name), type, size, false};
}

IndexDef index(const char* name, QStringList fields, bool primary = false) {
    return IndexDef{QString::fromUtf8(name), std::move(fields), primary};
}

// How the size part of a name is written for a kind of goods.
enum class Size {
    None,
    Metric,  // M8x40
    Thread,  // M8
    Wood,    // 4,5x50
    Anchor,  // 10x80
    Rivet,   // 4,8x12
    Bearing, // 6204 2RS
    Oring,   // 25x3,5
    Inch,    // ½″, DN20
    Pipe,    // Ø22x1,5
    Cable,   // 3x1,5 mm²
    Watt,    // 9 W
    Drill,   // Ø8 mm
    Disc,    // 125x1,0 mm
    Spanner, // 13 mm
    Mass,    // 500 g
    Length,  // 250 mm
    Volume,  // 310 ml
    Litre,   // 2,5 l
    Glove,   // rozm. 9
    Tape,    // 48 mm x 50 m
    Chain,   // 6 mm
    Tie,     // 200x4,8 mm
};

struct Category {
    const char* noun;
    const char* symbol;
    std::vector<const char*> kinds; // agree with the noun
    Size size;
    std::vector<const char*> finishes;
    std::vector<int> groups;
    int weight;                         // how common in the catalogue
    std::vector<const char*> materials; // feature 1; empty: the general list
};

const std::vector<Category>& categories() {
    static const std::vector<Category> c = {
        {"Śruba",
         "SRB",
         {"sześciokątna", "imbusowa", "zamkowa", "z łbem stożkowym", "z łbem walcowym",
          "z łbem grzybkowym", "dwustronna", "rzymska"},
         Size::Metric,
         {"ocynk", "ocynk ogniowy", "nierdzewna A2", "nierdzewna A4", "czarna kl. 8.8", "kl. 10.9",
          "mosiężna", ""},
         {4, 4, 4, 4, 5, 3},
         10,
         {"stal ocynkowana", "stal nierdzewna A2", "stal nierdzewna A4", "stal 8.8", "mosiądz"}},
        {"Wkręt",
         "WKR",
         {"do drewna", "samowiercący", "do płyt GK", "ciesielski", "farmerski", "do betonu",
          "do blachy", "meblowy"},
         Size::Wood,
         {"ocynk żółty", "czarny fosforanowany", "nierdzewny A2", "ocynk biały", ""},
         {5, 5, 6, 4},
         7,
         {"stal ocynkowana", "stal hartowana", "stal nierdzewna A2"}},
        {"Nakrętka",
         "NAK",
         {"sześciokątna", "samokontrująca", "kołpakowa", "motylkowa", "koronowa", "kwadratowa",
          "z kołnierzem"},
         Size::Thread,
         {"ocynk", "nierdzewna A2", "mosiężna", "kl. 8", ""},
         {7, 7, 4},
         5,
         {"stal ocynkowana", "stal nierdzewna A2", "mosiądz"}},
        {"Podkładka",
         "PDK",
         {"płaska", "sprężysta", "powiększona", "zębata", "klinowa", "okrągła"},
         Size::Thread,
         {"ocynk", "nierdzewna A2", "miedziana", "fibrowa", ""},
         {7},
         4,
         {"stal ocynkowana", "stal nierdzewna A2", "miedź", "fibra"}},
        {"Pręt",
         "PRG",
         {"gwintowany", "gwintowany DIN 975"},
         Size::Thread,
         {"1 m ocynk", "2 m ocynk", "1 m A2"},
         {9},
         2,
         {}},
        {"Kołek",
         "KOL",
         {"rozporowy", "szybkiego montażu", "do płyt GK", "stalowy", "chemiczny", "ramowy"},
         Size::Anchor,
         {"nylonowy", "z wkrętem", "z kołnierzem", ""},
         {8},
         4,
         {"poliamid", "stal ocynkowana"}},
        {"Nit",
         "NIT",
         {"zrywalny", "aluminiowy", "stalowy", "nierdzewny", "wielozaciskowy"},
         Size::Rivet,
         {"łeb płaski", "łeb szeroki", ""},
         {8},
         2,
         {"aluminium", "stal"}},
        {"Łożysko",
         "LOZ",
         {"kulkowe", "stożkowe", "baryłkowe", "igiełkowe", "wahliwe", "oporowe", "walcowe"},
         Size::Bearing,
         {"SKF", "FAG", "NSK", "ZVL", "Kinex", "NTN", ""},
         {10, 10, 11},
         5,
         {"stal łożyskowa", "stal nierdzewna"}},
        {"Pierścień",
         "PIE",
         {"Segera zewnętrzny", "Segera wewnętrzny", "uszczelniający", "o-ring NBR", "o-ring FKM"},
         Size::Oring,
         {""},
         {12},
         3,
         {"stal sprężynowa", "guma NBR", "viton"}},
        {"Uszczelka",
         "USZ",
         {"gumowa", "klingerytowa", "teflonowa", "miedziana", "fibrowa"},
         Size::Inch,
         {""},
         {13},
         3,
         {"guma EPDM", "klingeryt", "PTFE", "miedź"}},
        {"Zawór",
         "ZAW",
         {"kulowy", "zwrotny", "grzybkowy", "bezpieczeństwa", "termostatyczny", "odcinający",
          "antyskażeniowy"},
         Size::Inch,
         {"mosiądz", "stal nierdzewna", "żeliwny PN16", "z motylkiem", "z rączką", ""},
         {14, 14, 15},
         5,
         {"mosiądz", "stal nierdzewna", "żeliwo szare"}},
        {"Kolano",
         "KOL",
         {"mosiężne 90°", "ocynkowane 90°", "PP 45°", "miedziane 90°", "redukcyjne", "nyplowe"},
         Size::Inch,
         {"GW/GZ", "GW/GW", "do wlutowania", ""},
         {16},
         3,
         {"mosiądz", "stal ocynkowana", "polipropylen", "miedź"}},
        {"Złączka",
         "ZLA",
         {"zaciskowa", "skręcana", "gwintowana", "redukcyjna", "PEX", "do węża"},
         Size::Inch,
         {"mosiądz", "niklowana", ""},
         {16},
         3,
         {"mosiądz", "polipropylen"}},
        {"Trójnik",
         "TRO",
         {"równoprzelotowy", "redukcyjny", "mosiężny", "ocynkowany"},
         Size::Inch,
         {"GW", "GZ", ""},
         {16},
         2,
         {"mosiądz", "stal ocynkowana"}},
        {"Rura",
         "RUR",
         {"miedziana", "stalowa ocynkowana", "PP-R", "PEX-AL-PEX", "kanalizacyjna PVC",
          "osłonowa karbowana"},
         Size::Pipe,
         {"odcinek 3 m", "odcinek 4 m", "zwój 25 m", ""},
         {17, 17, 18, 19},
         4,
         {"miedź", "stal ocynkowana", "polipropylen", "PVC"}},
        {"Przewód",
         "PRZ",
         {"YDY", "YDYp", "OWY", "LgY", "H07RN-F", "OMY"},
         Size::Cable,
         {"450/750V", "300/500V", "krążek 100 m", ""},
         {20},
         4,
         {"miedź", "PVC"}},
        {"Kabel",
         "KAB",
         {"ziemny YKY", "sieciowy UTP kat. 6", "koncentryczny", "głośnikowy", "alarmowy YTDY"},
         Size::Cable,
         {"szpula 305 m", "krążek 100 m", ""},
         {20},
         3,
         {"miedź", "PE"}},
        {"Gniazdo",
         "GNI",
         {"podtynkowe", "natynkowe", "hermetyczne IP44", "siłowe 16A", "z uziemieniem", "podwójne",
          "RJ45"},
         Size::None,
         {"białe", "czarne", "kremowe", "antracytowe", "srebrne"},
         {21},
         3,
         {"tworzywo", "porcelana"}},
        {"Łącznik",
         "LAC",
         {"jednobiegunowy", "schodowy", "świecznikowy", "krzyżowy", "dwubiegunowy", "dzwonkowy"},
         Size::None,
         {"biały", "czarny", "kremowy", "hermetyczny IP44"},
         {21},
         3,
         {"tworzywo"}},
        {"Wyłącznik",
         "WYL",
         {"nadprądowy B16", "nadprądowy C20", "różnicowoprądowy 40A/30mA", "silnikowy", "krańcowy",
          "zmierzchowy"},
         Size::None,
         {"1P", "3P", "4P", ""},
         {22},
         3,
         {"tworzywo"}},
        {"Żarówka",
         "ZAR",
         {"LED E27", "LED GU10", "halogenowa G9", "LED E14 świeczka", "LED filament E27"},
         Size::Watt,
         {"ciepła 2700K", "neutralna 4000K", "zimna 6500K"},
         {23},
         4,
         {"szkło", "tworzywo"}},
        {"Świetlówka",
         "SWI",
         {"liniowa T8", "kompaktowa", "LED T8", "liniowa T5"},
         Size::Watt,
         {"840", "865", "830"},
         {23},
         2,
         {"szkło"}},
        {"Oprawa",
         "OPR",
         {"hermetyczna", "sufitowa", "schodowa", "awaryjna", "LED panel 60x60", "ogrodowa"},
         Size::Watt,
         {"IP65", "IP44", "IP20", ""},
         {23, 38},
         3,
         {"aluminium", "poliwęglan"}},
        {"Wiertło",
         "WIE",
         {"do metalu HSS", "do betonu SDS-plus", "do drewna", "stopniowe", "koronowe",
          "do szkła i płytek"},
         Size::Drill,
         {"kobaltowe", "tytanowe", ""},
         {25},
         4,
         {"stal HSS", "węglik spiekany"}},
        {"Tarcza",
         "TAR",
         {"do cięcia metalu", "diamentowa", "szlifierska", "listkowa P60", "listkowa P120"},
         Size::Disc,
         {"inox", ""},
         {25},
         3,
         {"elektrokorund", "diament"}},
        {"Klucz",
         "KLU",
         {"płasko-oczkowy", "nasadowy", "imbusowy", "dynamometryczny", "francuski", "oczkowy"},
         Size::Spanner,
         {"CrV", ""},
         {26},
         3,
         {"stal CrV"}},
        {"Wkrętak",
         "WKT",
         {"płaski", "krzyżakowy PH2", "Torx T20", "izolowany 1000V", "precyzyjny"},
         Size::Length,
         {""},
         {26},
         2,
         {"stal CrV"}},
        {"Młotek",
         "MLO",
         {"ślusarski", "ciesielski", "gumowy", "murarski", "blacharski"},
         Size::Mass,
         {"trzonek drewniany", "trzonek z włókna szklanego", ""},
         {26},
         2,
         {"stal kuta"}},
        {"Szczypce",
         "SZC",
         {"uniwersalne", "boczne", "okrągłe", "do zdejmowania izolacji", "nastawne"},
         Size::Length,
         {"izolowane 1000V", ""},
         {26},
         2,
         {"stal CrV"}},
        {"Piła",
         "PIL",
         {"ręczna do drewna", "do metalu", "otwornica", "płatnica"},
         Size::Length,
         {""},
         {27},
         2,
         {"stal"}},
        {"Taśma",
         "TAS",
         {"izolacyjna", "pakowa", "dwustronna", "miernicza", "aluminiowa", "malarska"},
         Size::Tape,
         {"czarna", "biała", "przezroczysta", "czerwona", "żółto-zielona"},
         {28},
         3,
         {"PVC", "papier", "aluminium"}},
        {"Klej",
         "KLE",
         {"montażowy", "do glazury", "epoksydowy", "cyjanoakrylowy", "poliuretanowy",
          "do styropianu"},
         Size::Volume,
         {""},
         {29},
         3,
         {"polimer"}},
        {"Silikon",
         "SIL",
         {"sanitarny", "dekarski", "wysokotemperaturowy", "akwariowy", "neutralny"},
         Size::Volume,
         {"biały", "bezbarwny", "szary", "brązowy", "czarny"},
         {29},
         2,
         {"silikon"}},
        {"Pianka",
         "PIA",
         {"montażowa niskoprężna", "pistoletowa zimowa", "ognioodporna"},
         Size::Volume,
         {""},
         {29},
         2,
         {"poliuretan"}},
        {"Farba",
         "FAR",
         {"emulsyjna", "akrylowa", "lateksowa", "olejna", "do metalu", "podkładowa", "elewacyjna"},
         Size::Litre,
         {"biała", "czarna", "szara", "żółta", "zielona", "czerwona", "grafitowa", "écru"},
         {30},
         4,
         {"akryl", "lateks"}},
        {"Lakier",
         "LAK",
         {"bezbarwny", "do parkietu", "jachtowy", "akrylowy"},
         Size::Litre,
         {"mat", "półmat", "połysk"},
         {30},
         2,
         {"poliuretan"}},
        {"Pędzel",
         "PED",
         {"płaski", "kątowy", "okrągły", "ławkowiec"},
         Size::Length,
         {""},
         {31},
         2,
         {"włosie naturalne", "włosie syntetyczne"}},
        {"Wałek",
         "WAL",
         {"malarski", "z welurem", "z mikrofazy", "gąbkowy", "sznurkowy"},
         Size::Length,
         {""},
         {31},
         2,
         {"poliamid"}},
        {"Rękawice",
         "REK",
         {"robocze", "nitrylowe", "skórzane", "antyprzecięciowe", "spawalnicze"},
         Size::Glove,
         {""},
         {32},
         3,
         {"skóra", "nitryl", "bawełna"}},
        {"Okulary",
         "OKU",
         {"ochronne", "spawalnicze", "przeciwodpryskowe"},
         Size::None,
         {"bezbarwne", "przyciemniane", "żółte"},
         {32},
         1,
         {"poliwęglan"}},
        {"Zawias",
         "ZWS",
         {"meblowy puszkowy", "drzwiowy", "bramowy", "czopowy", "piórowy"},
         Size::Length,
         {"ocynk", "mosiądzowany", "nierdzewny", ""},
         {33},
         3,
         {"stal ocynkowana", "mosiądz"}},
        {"Zamek",
         "ZAM",
         {"wpuszczany", "nawierzchniowy", "meblowy", "kłódkowy"},
         Size::None,
         {"na klucz", "na wkładkę", "łazienkowy", ""},
         {33},
         2,
         {"stal"}},
        {"Kłódka",
         "KLO",
         {"mosiężna", "stalowa", "szyfrowa", "wodoodporna"},
         Size::Length,
         {"3 klucze", ""},
         {33},
         2,
         {"mosiądz", "stal hartowana"}},
        {"Łańcuch",
         "LAN",
         {"ogniwowy", "techniczny", "ocynkowany", "nierdzewny"},
         Size::Chain,
         {"krótkoogniwowy", "długoogniwowy", ""},
         {34},
         2,
         {"stal ocynkowana", "stal nierdzewna"}},
        {"Linka",
         "LIN",
         {"stalowa", "poliamidowa", "w otulinie PVC"},
         Size::Drill,
         {""},
         {34},
         2,
         {"stal ocynkowana", "poliamid"}},
        {"Sprężyna",
         "SPR",
         {"naciskowa", "naciągowa", "skrętna", "talerzowa"},
         Size::Oring,
         {""},
         {35},
         1,
         {"stal sprężynowa"}},
        {"Pasek",
         "PAS",
         {"klinowy A", "klinowy B", "zębaty HTD", "wielorowkowy PJ"},
         Size::Length,
         {""},
         {36},
         2,
         {"guma"}},
        {"Opaska",
         "OPA",
         {"zaciskowa", "kablowa czarna", "ślimakowa", "z uchwytem"},
         Size::Tie,
         {""},
         {37},
         3,
         {"poliamid", "stal nierdzewna"}},
    };
    return c;
}

const std::vector<const char*> kMaterials = {
    "stal ocynkowana", "stal nierdzewna A2", "mosiądz", "aluminium",
    "poliamid",        "żeliwo szare",       "miedź",   "PCV",
    "guma EPDM",       "drewno bukowe"};
const std::vector<const char*> kColours = {"biały",   "czarny",    "szary",    "srebrny",
                                           "żółty",   "niebieski", "czerwony", "zielony",
                                           "brązowy", "grafitowy", "kremowy",  "ocynk"};
const std::vector<const char*> kNorms = {"DIN 933",       "DIN 912",     "PN-EN ISO 4017",
                                         "PN-EN 60898-1", "DIN 471",     "ISO 7089",
                                         "PN-EN 1057",    "PN-EN 13963", "brak"};
const std::vector<const char*> kPacks = {"1",  "2",   "5",   "10",  "25",
                                         "50", "100", "200", "500", "1000"};
const std::vector<const char*> kCountries = {"Polska", "Niemcy",  "Chiny",   "Włochy", "Czechy",
                                             "Tajwan", "Szwecja", "Japonia", "Turcja", "Hiszpania"};
const std::vector<const char*> kMakers = {
    "Koelner",   "Wkręt-Met", "Rawlplug",      "SKF",       "FAG",        "Ferro",
    "Kan-therm", "Legrand",   "Kontakt-Simon", "Schneider", "Philips",    "Osram",
    "Yato",      "Stanley",   "Bosch",         "Tytan",     "Den Braven", "Śnieżka",
    "Dekoral",   "Mako",      "Hörmann",       "Gerda",     "Żelmet",     "Łuczniczka"};
const std::vector<const char*> kNotes = {"Produkt wycofany z oferty producenta.",
                                         "Cena promocyjna do wyczerpania zapasów.",
                                         "Na zamówienie, czas realizacji 7 dni.",
                                         "Sprzedaż wyłącznie w pełnych opakowaniach.",
                                         "Zamiennik: patrz pozycja o podobnej nazwie.",
                                         "Towar sezonowy – dostępny od marca do października.",
                                         "Atest higieniczny PZH w dokumentacji.",
                                         "Uwaga: inna średnica gwintu niż w starszej partii."};

const int kMetricD[] = {3, 4, 5, 6, 8, 10, 12, 14, 16, 20, 24};
const int kMetricL[] = {6,  8,  10, 12, 16, 20,  25,  30,  35,  40,  45,
                        50, 60, 70, 80, 90, 100, 120, 140, 160, 180, 200};
const char* const kInch[] = {"⅜″", "½″",   "¾″",   "1″",   "1¼″",  "1½″",
                             "2″", "DN15", "DN20", "DN25", "DN32", "DN50"};

} // namespace

TableDef itemTableDef() {
    return TableDef{
        QStringLiteral("Towar"),
        {field("Tow_nr", FieldType::AutoInc), field("Tow_Grupa_nr", FieldType::LongInt),
         field("Tow_Nazwa", FieldType::Alpha, 50), field("Tow_Kod_Prod", FieldType::Alpha, 25),
         field("Tow_Nr_Producent", FieldType::LongInt), field("Tow_SRP", FieldType::Number),
         field("Tow_Symbol", FieldType::Alpha, 25), field("Tow_Uwagi", FieldType::Memo, 240),
         field("Tow_Nazwa2", FieldType::Alpha, 50)},
        {index("PrimaryIndex", {"Tow_Nr"}, true), index("wg_Tow_Grupa_Nr", {"Tow_Grupa_Nr"}),
         index("wg_Tow_Nazwa", {"Tow_Nazwa"}), index("wg_Tow_Symbol", {"Tow_Symbol"}),
         index("wg_Tow_Nazwa2", {"Tow_Nazwa2"}), index("wg_Tow_kod_prod", {"Tow_Kod_Prod"}),
         index("wg_Nr_Producenta", {"Tow_Nr_Producent"})}};
}

TableDef valueTableDef() {
    return TableDef{
        QStringLiteral("Opis"),
        {field("Opis_Tow_Nr", FieldType::LongInt), field("Opis_Cecha_Nr", FieldType::LongInt),
         field("Opis_Nr", FieldType::AutoInc), field("Opis_Opis", FieldType::Alpha, 100)},
        {index("PrimaryIndex", {"Opis_Tow_Nr", "Opis_Cecha_Nr", "Opis_Nr"}, true),
         index("gw_opis_cecha_nr", {"Opis_Cecha_Nr"})}};
}

TableDef groupTableDef() {
    return TableDef{
        QStringLiteral("Grupa"),
        {field("Grupa_Nr", FieldType::AutoInc), field("Grupa_Nazwa", FieldType::Alpha, 30)},
        {index("PrimaryIndex", {"Grupa_Nr"}, true)}};
}

TableDef featureTableDef() {
    return TableDef{QStringLiteral("Cecha"),
                    {field("Cecha_Nr", FieldType::AutoInc),
                     field("Cecha_Opis", FieldType::Alpha, 30),
                     field("Cecha_Typ", FieldType::Alpha, 1)},
                    {index("PrimaryIndex", {"Cecha_Nr"}, true)}};
}

QStringList ItemGenerator::groupNames() {
    // Numbered from 1 in this order; kScrewGroup is "Śruby metryczne".
    return {"Nowości",
            "Wyprzedaż",
            "Elementy złączne – różne",
            "Śruby metryczne",
            "Śruby i wkręty do drewna",
            "Wkręty specjalne",
            "Nakrętki i podkładki",
            "Kołki i nity",
            "Pręty gwintowane",
            "Łożyska toczne",
            "Łożyska specjalne",
            "Pierścienie i o-ringi",
            "Uszczelnienia",
            "Armatura odcinająca",
            "Armatura regulacyjna",
            "Kształtki instalacyjne",
            "Rury",
            "Kanalizacja",
            "Ogrzewanie",
            "Przewody i kable",
            "Osprzęt elektroinstalacyjny",
            "Aparatura modułowa",
            "Oświetlenie",
            "Akumulatory i baterie",
            "Wiertła i tarcze",
            "Narzędzia ręczne",
            "Piły i brzeszczoty",
            "Taśmy",
            "Chemia budowlana",
            "Farby i lakiery",
            "Akcesoria malarskie",
            "BHP",
            "Okucia budowlane",
            "Łańcuchy i liny",
            "Sprężyny",
            "Napędy i pasy",
            "Opaski i obejmy",
            "Ogród",
            "Magazyn",
            "Usługi"};
}

const std::array<ItemGenerator::Feature, kValuesPerItem>& ItemGenerator::features() {
    static const std::array<Feature, kValuesPerItem> f = {{{"Materiał", "T"},
                                                           {"Kolor", "T"},
                                                           {"Średnica [mm]", "N"},
                                                           {"Długość [mm]", "N"},
                                                           {"Masa [kg]", "N"},
                                                           {"Data wprowadzenia", "D"},
                                                           {"Norma", "T"},
                                                           {"Opakowanie [szt.]", "N"},
                                                           {"Ważność atestu", "D"},
                                                           {"Kraj pochodzenia", "T"}}};
    return f;
}

ItemGenerator::ItemGenerator(std::uint64_t seed) : rng_(seed) {
    std::vector<int> weights;
    for (const auto& c : categories())
        weights.push_back(c.weight);
    categoryDist_ = std::discrete_distribution<int>(weights.begin(), weights.end());
}

GeneratedItem ItemGenerator::next() {
    auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); };
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; };
    auto pick = [&](const auto& list) -> QString {
        return QString::fromUtf8(list[size_t(uni(0, int(std::size(list)) - 1))]);
    };
    // Decimal numbers as people type them into a catalogue: mostly a dot, sometimes a comma.
    auto decimal = [&](double v, int decimals) {
        QString s = QString::number(v, 'f', decimals);
        if (s.contains(u'.')) {
            while (s.endsWith(u'0'))
                s.chop(1);
            if (s.endsWith(u'.')) s.chop(1);
        }
        if (chance(0.2)) s.replace(u'.', u',');
        return s;
    };
    auto comma = [](double v) { return QString::number(v, 'f', 1).replace(u'.', u','); };
    auto date = [&](int fromYear, int toYear) {
        return QStringLiteral("%1.%2.%3")
            .arg(uni(1, 28), 2, 10, QChar(u'0'))
            .arg(uni(1, 12), 2, 10, QChar(u'0'))
            .arg(uni(fromYear, toYear));
    };

    const Category& cat = categories()[size_t(categoryDist_(rng_))];

    GeneratedItem it;
    double diameter = 0, length = 0;
    QString size;
    switch (cat.size) {
    case Size::None:
        break;
    case Size::Metric: {
        const int d = kMetricD[uni(0, std::size(kMetricD) - 1)];
        const int l = kMetricL[uni(0, std::size(kMetricL) - 1)];
        size = QStringLiteral("M%1x%2").arg(d).arg(l);
        diameter = d;
        length = l;
        break;
    }
    case Size::Thread: {
        const int d = kMetricD[uni(0, std::size(kMetricD) - 1)];
        size = QStringLiteral("M%1").arg(d);
        diameter = d;
        break;
    }
    case Size::Wood: {
        const double d = 3.0 + 0.5 * uni(0, 6);
        const int l = kMetricL[uni(3, 19)];
        size = comma(d).remove(QStringLiteral(",0")) + u'x' + QString::number(l);
        diameter = d;
        length = l;
        break;
    }
    case Size::Anchor: {
        const int d = 2 * uni(3, 7);
        const int l = 10 * uni(3, 16);
        size = QStringLiteral("%1x%2").arg(d).arg(l);
        diameter = d;
        length = l;
        break;
    }
    case Size::Rivet: {
        static const double ds[] = {3.2, 4.0, 4.8, 6.4};
        diameter = ds[uni(0, 3)];
        length = 2 * uni(3, 15);
        size = comma(diameter) + u'x' + QString::number(int(length));
        break;
    }
    case Size::Bearing: {
        static const char* const series[] = {"60", "62", "63", "160", "NU22", "322"};
        static const char* const seals[] = {" 2RS", " ZZ", "", " C3"};
        const int bore = uni(0, 12);
        size = QString::fromUtf8(series[uni(0, 5)]) +
               QStringLiteral("%1").arg(bore, 2, 10, QChar(u'0')) +
               QString::fromUtf8(seals[uni(0, 3)]);
        diameter = bore < 4 ? 10 + 2 * bore : 5 * bore;
        break;
    }
    case Size::Oring: {
        diameter = uni(5, 120);
        size = QStringLiteral("%1x%2").arg(int(diameter)).arg(comma(1.5 + 0.5 * uni(0, 4)));
        break;
    }
    case Size::Inch: {
        const int i = uni(0, std::size(kInch) - 1);
        size = QString::fromUtf8(kInch[i]);
        static const double mm[] = {17, 21, 27, 33, 42, 48, 60, 21, 27, 33, 42, 60};
        diameter = mm[i];
        break;
    }
    case Size::Pipe: {
        static const int ds[] = {12, 15, 16, 18, 20, 22, 25, 28, 32, 40, 50, 63, 75, 110};
        diameter = ds[uni(0, 13)];
        size = QStringLiteral("Ø%1x%2").arg(int(diameter)).arg(comma(1.0 + 0.5 * uni(0, 5)));
        break;
    }
    case Size::Cable: {
        static const char* const cs[] = {"0,75", "1", "1,5", "2,5", "4", "6", "10"};
        size = QStringLiteral("%1x%2 mm²").arg(uni(2, 5)).arg(QString::fromUtf8(cs[uni(0, 6)]));
        break;
    }
    case Size::Watt:
        size = QStringLiteral("%1 W").arg(uni(3, 36));
        break;
    case Size::Drill:
        diameter = 0.5 * uni(2, 40);
        size = u'Ø' + decimal(diameter, 1).replace(u'.', u',') + QStringLiteral(" mm");
        break;
    case Size::Disc: {
        static const int ds[] = {115, 125, 150, 180, 230};
        diameter = ds[uni(0, 4)];
        size = QStringLiteral("%1x%2 mm").arg(int(diameter)).arg(comma(1.0 + 0.5 * uni(0, 4)));
        break;
    }
    case Size::Spanner:
        size = QStringLiteral("%1 mm").arg(uni(6, 32));
        break;
    case Size::Mass:
        size = QStringLiteral("%1 g").arg(100 * uni(1, 20));
        break;
    case Size::Length:
        length = 25 * uni(2, 30);
        size = QStringLiteral("%1 mm").arg(int(length));
        break;
    case Size::Volume: {
        static const int ml[] = {50, 75, 280, 300, 310, 500, 750};
        size = QStringLiteral("%1 ml").arg(ml[uni(0, 6)]);
        break;
    }
    case Size::Litre: {
        static const char* const l[] = {"0,75 l", "1 l", "2,5 l", "5 l", "10 l"};
        size = QString::fromUtf8(l[uni(0, 4)]);
        break;
    }
    case Size::Glove:
        size = QStringLiteral("rozm. %1").arg(uni(7, 11));
        break;
    case Size::Tape:
        size = QStringLiteral("%1 mm x %2 m").arg(uni(12, 50)).arg(5 * uni(2, 10));
        break;
    case Size::Chain:
        diameter = uni(2, 13);
        size = QStringLiteral("%1 mm").arg(int(diameter));
        break;
    case Size::Tie:
        length = 50 * uni(2, 10);
        size = QStringLiteral("%1x%2 mm").arg(int(length)).arg(comma(2.5 + 0.1 * uni(0, 60)));
        break;
    }

    const QString noun = QString::fromUtf8(cat.noun);
    const QString kind = pick(cat.kinds);
    const QString finish = pick(cat.finishes);
    QString name = noun + u' ' + kind;
    if (!size.isEmpty()) name += u' ' + size;
    if (!finish.isEmpty() && name.size() + 1 + finish.size() <= 50) name += u' ' + finish;
    // A maker's name or a catalogue number tells apart goods that are otherwise the same.
    const QString maker = pick(kMakers);
    if (cat.size != Size::Bearing && name.size() + 1 + maker.size() <= 50 && chance(0.6))
        name += u' ' + maker;
    if (name.size() <= 40 && chance(0.7))
        name += QStringLiteral(" nr kat. %1").arg(uni(100, 99999));
    // Catalogues fed from several sources mix the spelling of names.
    if (chance(0.10))
        name = name.toUpper();
    else if (chance(0.04))
        name[0] = name[0].toLower();
    it.name = name;

    it.group = cat.groups[size_t(uni(0, int(cat.groups.size()) - 1))];
    if (chance(0.03)) it.group = uni(1, 2); // new goods and clearance
    it.maker = uni(1, 400);
    it.price =
        std::round(std::exp(std::uniform_real_distribution<double>(-3, 7.5)(rng_)) * 100) / 100;
    it.symbol = QString::fromUtf8(cat.symbol) + u'-' +
                QStringLiteral("%1").arg(uni(0, 999999), 6, 10, QChar(u'0'));
    it.makerCode = QStringLiteral("%1%2-%3")
                       .arg(QString::fromUtf8(cat.symbol).left(2))
                       .arg(uni(1000, 99999))
                       .arg(QChar(u'A' + uni(0, 25)));
    if (chance(0.15)) it.notes = pick(kNotes);
    if (chance(0.3))
        it.name2 = kind + (size.isEmpty() ? QString() : u' ' + size) + QStringLiteral(" – ") +
                   pick(kMakers);

    it.values[0] = cat.materials.empty() ? pick(kMaterials) : pick(cat.materials);
    it.values[1] = pick(kColours);
    if (diameter <= 0) diameter = 0.5 * uni(2, 120);
    // Some values are not numbers at all; a query casting them simply does not match them.
    it.values[2] = chance(0.03) ? QStringLiteral("ok. ") + QString::number(int(diameter))
                                : decimal(diameter, 1);
    if (length <= 0) length = uni(5, 3000);
    it.values[3] = decimal(length, 0);
    it.values[4] = decimal(std::uniform_real_distribution<double>(0.001, 25)(rng_), 3);
    it.values[5] = date(2005, 2024);
    it.values[6] = pick(kNorms);
    it.values[7] = pick(kPacks);
    it.values[8] = chance(0.1) ? QStringLiteral("bezterminowo") : date(2024, 2030);
    it.values[9] = pick(kCountries);
    return it;
}

namespace {

qint64 countRows(Database& db, const QString& table) {
    Statement st = db.prepare(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table));
    return st.step() ? st.columnInt(0) : -1;
}

bool holdsCatalogue(Database& db, qint64 items) {
    for (const auto& def : {itemTableDef(), valueTableDef(), groupTableDef(), featureTableDef()})
        if (!db.hasTable(def.name)) return false;
    return countRows(db, QStringLiteral("Towar")) == items &&
           countRows(db, QStringLiteral("Opis")) == items * kValuesPerItem &&
           countRows(db, QStringLiteral("Grupa")) == ItemGenerator::groupNames().size();
}

} // namespace

CatalogueInfo prepareCatalogue(const QString& folder, qint64 items, bool reuse) {
    CatalogueInfo info;
    info.items = items;
    info.values = items * kValuesPerItem;
    const QString file = QDir(folder).filePath(Database::fileName());
    if (reuse && Database::exists(folder)) {
        auto db = Database::open(folder);
        if (holdsCatalogue(*db, items)) {
            info.reused = true;
            info.fileBytes = QFileInfo(file).size();
            return info;
        }
        std::fprintf(stderr, "The folder holds another catalogue; building it anew.\n");
    }

    auto db = Database::open(folder, Database::Mode::Create);
    for (const auto& def : {groupTableDef(), featureTableDef(), itemTableDef(), valueTableDef()})
        db->createTable(def);

    QElapsedTimer clock;
    clock.start();
    Table groups(folder, QStringLiteral("Grupa")), features(folder, QStringLiteral("Cecha")),
        towar(folder, QStringLiteral("Towar")), opis(folder, QStringLiteral("Opis"));
    for (Table* t : {&groups, &features, &towar, &opis})
        t->open();

    const QString fName = QStringLiteral("Tow_Nazwa"), fGroup = QStringLiteral("Tow_Grupa_nr"),
                  fCode = QStringLiteral("Tow_Kod_Prod"),
                  fMaker = QStringLiteral("Tow_Nr_Producent"), fPrice = QStringLiteral("Tow_SRP"),
                  fSymbol = QStringLiteral("Tow_Symbol"), fNotes = QStringLiteral("Tow_Uwagi"),
                  fName2 = QStringLiteral("Tow_Nazwa2"), fNr = QStringLiteral("Tow_nr"),
                  fItem = QStringLiteral("Opis_Tow_Nr"), fFeature = QStringLiteral("Opis_Cecha_Nr"),
                  fText = QStringLiteral("Opis_Opis");
    db->transaction([&] {
        for (const QString& g : ItemGenerator::groupNames()) {
            groups.append();
            groups.setValue(QStringLiteral("Grupa_Nazwa"), g);
            groups.post();
        }
        for (const auto& f : ItemGenerator::features()) {
            features.append();
            features.setValue(QStringLiteral("Cecha_Opis"), QString::fromUtf8(f.name));
            features.setValue(QStringLiteral("Cecha_Typ"), QString::fromUtf8(f.type));
            features.post();
        }
        ItemGenerator gen;
        const qint64 step = std::max<qint64>(items / 10, 10000);
        for (qint64 i = 0; i < items; ++i) {
            const GeneratedItem it = gen.next();
            towar.append();
            towar.setValue(fGroup, it.group);
            towar.setValue(fName, it.name);
            towar.setValue(fCode, it.makerCode);
            towar.setValue(fMaker, it.maker);
            towar.setValue(fPrice, it.price);
            towar.setValue(fSymbol, it.symbol);
            towar.setValue(fNotes, it.notes);
            towar.setValue(fName2, it.name2);
            towar.post();
            const qint64 nr = towar.value(fNr).toLongLong();
            for (int f = 0; f < kValuesPerItem; ++f) {
                opis.append();
                opis.setValue(fItem, nr);
                opis.setValue(fFeature, f + 1);
                opis.setValue(fText, it.values[size_t(f)]);
                opis.post();
            }
            if ((i + 1) % step == 0)
                std::fprintf(stderr, "  built %lld of %lld items (%.0f s)\n",
                             static_cast<long long>(i + 1), static_cast<long long>(items),
                             double(clock.elapsed()) / 1000);
        }
    });
    info.buildSeconds = double(clock.nsecsElapsed()) / 1e9;
    for (Table* t : {&groups, &features, &towar, &opis})
        t->close();
    info.fileBytes = QFileInfo(file).size();
    return info;
}

} // namespace engine::bench
