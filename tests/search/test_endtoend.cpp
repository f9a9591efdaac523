// The filter and the query builder on a generated sample catalogue, driven through the main
// window's commands: every built query and filter lists exactly the items that a direct reading
// of the tables says it should.
#include "engine/query.h"
#include "engine/sqlfunctions.h"
#include "search/E_Query.h"
#include "search/Filtr.h"
#include "search/filterbuilder.h"
#include "search/querybuilder.h"
#include "shell/fixture.h"
#include "support/sample.h"
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <map>
#include <set>

using namespace shelltest;

using testsupport::samplePath;

namespace {

// One sample for the whole program: it is only read.
const QString& sampleMain() {
    static QTemporaryDir* dir = [] {
        auto* d = new QTemporaryDir;
        QProcess p;
        p.start(samplePath(), {d->path(), QStringLiteral("--items"), QStringLiteral("600")});
        EXPECT_TRUE(p.waitForFinished(300000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return d;
    }();
    static const QString path = dir->path();
    return path;
}

struct Item {
    int nr = 0, group = 0, producer = 0;
    QString name;
    double price = 0;
};

// The tables as they are, read row by row.
struct Catalogue {
    std::map<int, Item> items;
    std::map<int, std::map<int, QString>> values; // item -> attribute -> Opis_Opis
    std::map<int, QString> attributeTypes;

    explicit Catalogue(const QString& folder) {
        engine::Table t(folder, QStringLiteral("Towar"));
        for (t.open(); !t.eof(); t.next()) {
            Item i;
            i.nr = t.asInteger(QStringLiteral("Tow_Nr"));
            i.group = t.asInteger(QStringLiteral("Tow_Grupa_Nr"));
            i.producer = t.asInteger(QStringLiteral("Tow_Nr_Producent"));
            i.name = t.asString(QStringLiteral("Tow_Nazwa"));
            i.price = t.asFloat(QStringLiteral("Tow_SRP"));
            items[i.nr] = i;
        }
        engine::Table o(folder, QStringLiteral("Opis"));
        for (o.open(); !o.eof(); o.next())
            values[o.asInteger(QStringLiteral("Opis_Tow_Nr"))]
                  [o.asInteger(QStringLiteral("Opis_Cecha_Nr"))] =
                      o.asString(QStringLiteral("Opis_Opis"));
        engine::Table c(folder, QStringLiteral("Cecha"));
        for (c.open(); !c.eof(); c.next())
            attributeTypes[c.asInteger(QStringLiteral("Cecha_Nr"))] =
                c.asString(QStringLiteral("Cecha_Typ"));
    }

    template <class Pred> std::set<int> where(Pred pred) const {
        std::set<int> out;
        for (const auto& [nr, item] : items)
            if (pred(item)) out.insert(nr);
        return out;
    }
    // The attribute of `type` that most items carry, and its values.
    int attributeOfType(const char* type) const {
        std::map<int, int> uses;
        for (const auto& [item, attrs] : values)
            for (const auto& [a, v] : attrs)
                if (attributeTypes.at(a) == QLatin1String(type) && !v.isEmpty()) ++uses[a];
        int best = 0;
        for (const auto& [a, n] : uses)
            if (!best || n > uses[best]) best = a;
        return best;
    }
    std::vector<QString> valuesOf(int attribute) const {
        std::vector<QString> out;
        for (const auto& [item, attrs] : values)
            if (auto it = attrs.find(attribute); it != attrs.end() && !it->second.isEmpty())
                out.push_back(it->second);
        return out;
    }
};

QDate storedDate(const QString& s) {
    return QDate::fromString(s, QStringLiteral("dd.MM.yyyy"));
}

template <class W> W* child(QWidget& d, const char* name) {
    W* w = d.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

class SearchEndToEnd : public ShellTest {
protected:
    SearchEndToEnd() {
        main = sampleMain();
        catalogue = main + QStringLiteral("/Dane/Glowna");
    }

    std::set<int> listed(engine::DataSet& ds) {
        std::set<int> out;
        for (ds.first(); !ds.eof(); ds.next())
            out.insert(ds.asInteger(QStringLiteral("Tow_Nr")));
        return out;
    }

    // The query builder opened from the main window, filled by `fill`, and built.
    std::set<int> query(shell::TForm_Pelk& w, std::function<void(QDialog&)> fill) {
        runner.on(QStringLiteral("TEkr_Query"), [&](QDialog& d) {
            fill(d);
            child<QPushButton>(d, "BB_Zastosuj")->click();
        });
        trigger(w, "Zapytanie1");
        EXPECT_EQ(messages.count(), 0) << messages.texts().join(u'/').toStdString();
        EXPECT_TRUE(w.state().Query.queryActive);
        EXPECT_EQ(w.form().Label_Status->text(), QStringLiteral("ustawiono zapytanie"));
        return listed(w.state().QTowar);
    }

    static void row(QDialog& d, const char* name, int op, const QString& text) {
        const QByteArray n(name);
        child<QComboBox>(d, QByteArray("CB_" + n).constData())->setCurrentIndex(op);
        child<QLineEdit>(d, QByteArray("Edit_" + n).constData())->setText(text);
    }

    void pickAttribute(int nr, const QString& type) {
        runner.on(QStringLiteral("TEkr_Wlasnosci"), [this, nr, type](QDialog&) {
            st().AttributeNr = nr;
            st().AttributeName = QStringLiteral("cecha");
            st().AttributeTypeText = type;
        });
    }

    store::MainState& st() { return window_->state(); }
    shell::TForm_Pelk* window_ = nullptr;
};

} // namespace

TEST_F(SearchEndToEnd, GroupAndNameContainsListExactlyTheItemsOfTheTables) {
    auto w = startWindow();
    window_ = w.get();
    const Catalogue c(catalogue);
    ASSERT_GT(c.items.size(), 500u);
    const Item& some = c.items.begin()->second;
    const QString word = some.name.section(u' ', 0, 0).left(4).toLower();
    runner.on(QStringLiteral("TEkr_Aktualizacja_Grupa"), [&](QDialog&) {
        st().PickedGroupNr = some.group;
        st().PickedGroupName = QStringLiteral("wybrana");
    });
    const std::set<int> got = query(*w, [&](QDialog& d) {
        child<QPushButton>(d, "BB_Grupa")->click();
        row(d, "Nazwa1", search::ItemContains, word);
    });
    const std::set<int> want = c.where([&](const Item& i) {
        return i.group == some.group &&
               engine::upperPolish(i.name).contains(engine::upperPolish(word));
    });
    EXPECT_FALSE(want.empty());
    EXPECT_EQ(got, want);
    EXPECT_EQ(w->form().Label_Licznik->text(), QString::number(want.size()));
    EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("SpeedButton17")));
}

TEST_F(SearchEndToEnd, NumericAttributeFromAndDateRange) {
    auto w = startWindow();
    window_ = w.get();
    const Catalogue c(catalogue);
    const int number = c.attributeOfType("N");
    ASSERT_NE(number, 0);
    std::vector<double> numbers;
    for (const QString& v : c.valuesOf(number))
        numbers.push_back(v.toDouble());
    std::sort(numbers.begin(), numbers.end());
    const double from = numbers[numbers.size() / 2];
    pickAttribute(number, QStringLiteral("N"));
    std::set<int> got = query(*w, [&](QDialog& d) {
        child<QPushButton>(d, "BB_Wlasnosc")->click();
        child<QComboBox>(d, "CB_Wartosc")->setCurrentIndex(3); // ">="
        child<QLineEdit>(d, "Edit_Wartosc1")
            ->setText(QString::number(from, 'f', 3).replace(u'.', u','));
    });
    std::set<int> want = c.where([&](const Item& i) {
        auto it = c.values.find(i.nr);
        if (it == c.values.end()) return false;
        auto v = it->second.find(number);
        return v != it->second.end() && !v->second.isEmpty() && v->second.toDouble() >= from;
    });
    EXPECT_FALSE(want.empty());
    EXPECT_EQ(got, want);

    const int date = c.attributeOfType("D");
    ASSERT_NE(date, 0);
    std::vector<QDate> dates;
    for (const QString& v : c.valuesOf(date))
        dates.push_back(storedDate(v));
    std::sort(dates.begin(), dates.end());
    const QDate low = dates[dates.size() / 4], high = dates[dates.size() * 3 / 4];
    pickAttribute(date, QStringLiteral("D"));
    got = query(*w, [&](QDialog& d) {
        child<QPushButton>(d, "BB_Wyczysc")->click();
        child<QPushButton>(d, "BB_Wlasnosc")->click();
        auto* op = child<QComboBox>(d, "CB_Wartosc");
        op->setCurrentIndex(5);
        Q_EMIT op->activated(5); // "w przedziale" opens the second box
        EXPECT_TRUE(child<QLineEdit>(d, "Edit_Wartosc2")->isVisible());
        child<QLineEdit>(d, "Edit_Wartosc1")->setText(low.toString(QStringLiteral("dd-MM-yyyy")));
        child<QLineEdit>(d, "Edit_Wartosc2")->setText(high.toString(QStringLiteral("dd-MM-yyyy")));
    });
    want = c.where([&](const Item& i) {
        auto it = c.values.find(i.nr);
        if (it == c.values.end()) return false;
        auto v = it->second.find(date);
        if (v == it->second.end()) return false;
        const QDate d = storedDate(v->second);
        return d.isValid() && d >= low && d <= high;
    });
    EXPECT_FALSE(want.empty());
    EXPECT_EQ(got, want);
}

TEST_F(SearchEndToEnd, ProducerAndPriceAndTheFilterAgreeWithTheTables) {
    auto w = startWindow();
    window_ = w.get();
    const Catalogue c(catalogue);
    const Item& some = std::next(c.items.begin(), 7)->second;
    ASSERT_NE(some.producer, 0);
    engine::Table firms(catalogue, QStringLiteral("Firmy"));
    firms.open();
    ASSERT_TRUE(firms.findKey({some.producer}));
    const QString shortName = firms.asString(QStringLiteral("Firma_Skrot"));
    runner.on(QStringLiteral("TEkr_Aktualizacja_Firma"), [&](QDialog&) {
        st().PickedCompanyNr = some.producer;
        st().PickedCompanyName = shortName;
    });
    const std::set<int> got = query(*w, [&](QDialog& d) {
        child<QPushButton>(d, "BB_Producent")->click();
        row(d, "Cena", 1, QStringLiteral("10,5")); // ">"
    });
    // Compared by short name: every producer of that name.
    std::set<int> sameName;
    for (firms.first(); !firms.eof(); firms.next())
        if (engine::upperPolish(firms.asString(QStringLiteral("Firma_Skrot"))) ==
            engine::upperPolish(shortName))
            sameName.insert(firms.asInteger(QStringLiteral("Firma_Nr")));
    const std::set<int> want =
        c.where([&](const Item& i) { return sameName.count(i.producer) && i.price > 10.5; });
    EXPECT_FALSE(want.empty());
    EXPECT_EQ(got, want);

    // The query cancelled, the filter on the same group, name start and producer.
    runner.on(QStringLiteral("TEkr_Query"),
              [](QDialog& d) { child<QPushButton>(d, "BitBtn2")->click(); });
    trigger(*w, "Zapytanie1");
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("SpeedButton17")));
    const QString start = some.name.left(3);
    runner.on(QStringLiteral("TEkr_Aktualizacja_Grupa"), [&](QDialog&) {
        st().PickedGroupNr = some.group;
        st().PickedGroupName = QStringLiteral("g");
    });
    runner.on(QStringLiteral("TEkr_Aktualizacja_Firma"), [&](QDialog&) {
        st().PickedCompanyNr = some.producer;
        st().PickedCompanyName = shortName;
    });
    runner.on(QStringLiteral("TEkr_Filtr"), [&](QDialog& d) {
        child<QPushButton>(d, "BB_Grupa")->click();
        child<QPushButton>(d, "BB_Producent")->click();
        child<QComboBox>(d, "CB_Nazwa1")->setCurrentIndex(search::FilterStartsWith);
        child<QLineEdit>(d, "Edit_Nazwa1")->setText(start);
        child<QPushButton>(d, "BB_Filtruj")->click();
    });
    trigger(*w, "Filtr1");
    EXPECT_EQ(messages.count(), 0);
    const std::set<int> filtered = listed(w->state().TFTowar);
    const std::set<int> wantFiltered = c.where([&](const Item& i) {
        return i.group == some.group && i.producer == some.producer &&
               engine::upperPolish(i.name).startsWith(engine::upperPolish(start));
    });
    EXPECT_TRUE(wantFiltered.count(some.nr));
    EXPECT_EQ(filtered, wantFiltered);
    EXPECT_EQ(w->form().Label_Status->text(), QStringLiteral("ustawiono filtr"));
    EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("SpeedButton18")));
    EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("Zapytanie1")));
}
