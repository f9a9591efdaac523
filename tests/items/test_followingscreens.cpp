// The item's own screens (attribute values, drawings) write to the item they were opened for,
// whatever row the item list can stand on: under a filter the item does not pass, in query mode,
// and on an empty filtered list. Opened from the item editor (a new item, an item changed so that
// it leaves the list), from a relation editor's "Nowy obiekt ..." and from the detail tabs.
#include "search/filterbuilder.h"
#include "search/querybuilder.h"
#include "shell/fixture.h"
#include "support/pictures.h"
#include "support/rows.h"
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <set>

using namespace shelltest;

namespace {

enum class ListState { Filtered, Query, EmptyFilter };
enum class Entry { NewItem, ChangedItem, RelationNewItem, DetailTab };
enum class Screen { Values, Drawings };

struct Case {
    ListState list;
    Entry entry;
    Screen screen;
};

std::string describe(const Case& c) {
    static const char* const lists[] = {"Filtered", "Query", "EmptyFilter"};
    static const char* const entries[] = {"NewItem", "ChangedItem", "RelationNewItem", "DetailTab"};
    static const char* const screens[] = {"Values", "Drawings"};
    return std::string(lists[int(c.list)]) + entries[int(c.entry)] + screens[int(c.screen)];
}

void PrintTo(const Case& c, std::ostream* os) {
    *os << describe(c);
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return describe(info.param);
}

template <class W> W* child(QWidget& d, const char* name) {
    W* w = d.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Typed as the keyboard sends it, Polish letters included, replacing what the field held.
void retype(QLineEdit* e, const QString& text) {
    e->selectAll();
    for (QChar c : text) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(e, &down);
    }
}

using Rows = std::set<std::pair<int, QString>>;

class FollowingScreensTest : public ShellTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        makeMainFolder();
        using testsupport::addRow;
        addRow(catalogue, "Grupa", {{"Grupa_Nazwa", QStringLiteral("Śruby")}});
        addRow(catalogue, "Cecha", {{"Cecha_Opis", "Kolor"}, {"Cecha_Typ", "A"}});
        group = lastNr("Grupa", "Grupa_Nr");
        const int colour = lastNr("Cecha", "Cecha_Nr");
        addRow(
            catalogue, "Szablon",
            {{"Szablon_Grupa_Nr", group}, {"Szablon_Cecha_Nr", colour}, {"Szablon_Znaczenie", 1}});
        for (const char* name : {"Inny 1", "Inny 2"})
            addRow(catalogue, "Towar", {{"Tow_Nazwa", name}, {"Tow_Grupa_nr", group}});
        addRow(catalogue, "Rysunek",
               {{"Rys_Opis", "Schemat"}, {"Rys_Blob", testsupport::pngPicture()}});
        drawing = lastNr("Rysunek", "Rys_Nr");
        w = startWindow();
        ASSERT_EQ(outcome, shell::MainController::StartOutcome::Running);
    }

    int lastNr(const char* table, const char* field) {
        engine::Table t(catalogue, QLatin1String(table));
        t.open();
        t.last();
        return t.asInteger(QLatin1String(field));
    }
    int itemNamed(const QString& name) {
        engine::Table t(catalogue, QStringLiteral("Towar"));
        t.open();
        for (t.first(); !t.eof(); t.next())
            if (t.asString(QStringLiteral("Tow_Nazwa")) == name)
                return t.asInteger(QStringLiteral("Tow_nr"));
        return 0;
    }
    // The stored rows the screen writes: the item and the value or the drawing.
    Rows storedRows(Screen screen) {
        const bool values = screen == Screen::Values;
        engine::Table t(catalogue, QLatin1String(values ? "Opis" : "Grafika"));
        t.open();
        Rows out;
        for (t.first(); !t.eof() && !t.isEmpty(); t.next())
            out.insert({t.asInteger(QLatin1String(values ? "Opis_Tow_Nr" : "Grafika_Tow_Nr")),
                        t.asString(QLatin1String(values ? "Opis_Opis" : "Grafika_Rys_Nr"))});
        return out;
    }

    void setList(ListState list) {
        if (list == ListState::Query) {
            runner.on(QStringLiteral("TEkr_Query"), [](QDialog& d) {
                child<QComboBox>(d, "CB_Nazwa1")->setCurrentIndex(search::ItemStartsWith);
                child<QLineEdit>(d, "Edit_Nazwa1")->setText(QStringLiteral("Inny"));
                child<QPushButton>(d, "BB_Zastosuj")->click();
            });
            w->BB_ZapytanieClick();
            ASSERT_TRUE(w->state().Query.queryActive);
            return;
        }
        const QString start =
            list == ListState::Filtered ? QStringLiteral("Inny") : QStringLiteral("Nic takiego");
        runner.on(QStringLiteral("TEkr_Filtr"), [start](QDialog& d) {
            child<QComboBox>(d, "CB_Nazwa1")->setCurrentIndex(search::FilterStartsWith);
            child<QLineEdit>(d, "Edit_Nazwa1")->setText(start);
            child<QPushButton>(d, "BB_Filtruj")->click();
        });
        w->BB_FiltrClick();
        ASSERT_EQ(w->state().TFTowar.isEmpty(), list == ListState::EmptyFilter);
    }

    // The screen's own work: a value typed, or a drawing attached, and saved.
    void scriptScreen(Screen screen, const QString& expectedName) {
        const bool values = screen == Screen::Values;
        runner.on(QLatin1String(values ? "TEkr_Tow_Wlasnosci" : "TEkr_Kartoteki_Rysunki"),
                  [values, expectedName](QDialog& d) {
                      EXPECT_EQ(child<QLabel>(d, "Label_Obiekt")->text(), expectedName);
                      if (values) {
                          auto* grid = child<QAbstractItemView>(d, "DBGrid_Wlasnosci");
                          ASSERT_EQ(grid->model()->rowCount(), 1);
                          grid->model()->setData(grid->model()->index(0, 2),
                                                 QStringLiteral("czarny"));
                      } else {
                          child<QPushButton>(d, "BB_Dodaj")->click();
                      }
                      child<QPushButton>(d, "BB_Zapisz")->click();
                  });
    }

    // In the item editor: a new item named `name` in the group, saved on the way to the screen.
    void scriptNewItem(Screen screen, const QString& name) {
        runner.on(QStringLiteral("TEkr_Aktualizacja_Towar"), [this, screen, name](QDialog& d) {
            auto* grupa = child<QLineEdit>(d, "Edit_Grupa");
            grupa->setText(QStringLiteral("Śruby"));
            QTest::keyClick(grupa, Qt::Key_Return);
            retype(child<QLineEdit>(d, "Edit_Towar"), name);
            messages.answerYes(); // saved before the screen
            child<QPushButton>(d, followingButton(screen))->click();
        });
    }
    static const char* followingButton(Screen screen) {
        return screen == Screen::Values ? "BB_Wlasnosci" : "BB_Rysunki";
    }
    QString expectedValue(Screen screen) const {
        return screen == Screen::Values ? QStringLiteral("czarny") : QString::number(drawing);
    }

    std::unique_ptr<shell::TForm_Pelk> w;
    int group = 0, drawing = 0;
};

TEST_P(FollowingScreensTest, WriteToTheItemTheyAreForOrToNothing) {
    const Case c = GetParam();
    ASSERT_NO_FATAL_FAILURE(setList(c.list));
    const bool emptyList = c.list == ListState::EmptyFilter;
    auto& items = w->state().TFTowar;
    const int listed = emptyList ? 0 : items.asInteger(QStringLiteral("Tow_nr"));
    const QString listedName = emptyList ? QString() : items.asString(QStringLiteral("Tow_Nazwa"));
    const QString newName = QStringLiteral("Śruba nowa");
    int target = 0; // 0: nothing may be written

    switch (c.entry) {
    case Entry::NewItem:
        scriptNewItem(c.screen, newName);
        scriptScreen(c.screen, newName);
        w->BB_NowyClick();
        target = itemNamed(newName);
        ASSERT_NE(target, 0);
        break;
    case Entry::ChangedItem: {
        // Renamed so that the list can no longer stand on it.
        const QString renamed = QStringLiteral("Zmieniony");
        runner.on(QStringLiteral("TEkr_Aktualizacja_Towar"), [&](QDialog& d) {
            retype(child<QLineEdit>(d, "Edit_Towar"), renamed);
            messages.answerYes();
            child<QPushButton>(d, followingButton(c.screen))->click();
        });
        scriptScreen(c.screen, renamed);
        w->BB_EdycjaClick();
        target = listed;
        EXPECT_EQ(itemNamed(renamed), listed);
        break;
    }
    case Entry::RelationNewItem:
        runner.on(QStringLiteral("TEkr_Sklada_sie"),
                  [](QDialog& d) { child<QPushButton>(d, "BB_Nowy")->click(); });
        scriptNewItem(c.screen, newName);
        scriptScreen(c.screen, newName);
        w->findChild<QAction*>(QStringLiteral("Modyfikuj3"))->trigger();
        target = itemNamed(newName);
        ASSERT_NE(target, 0);
        break;
    case Entry::DetailTab:
        // The detail tabs act on the row the list shows; an empty list opens nothing.
        if (!emptyList) scriptScreen(c.screen, listedName);
        w->findChild<QAction*>(
             QLatin1String(c.screen == Screen::Values ? "Modyfikuj1" : "Modyfikuj5"))
            ->trigger();
        target = listed;
        break;
    }

    const Rows expected = target ? Rows{{target, expectedValue(c.screen)}} : Rows{};
    EXPECT_EQ(storedRows(c.screen), expected) << "the item is " << target << ", the list on "
                                              << listed << " (first of pairs: the item written to)";
    EXPECT_EQ(runner.pendingScripts(), 0);
    EXPECT_TRUE(errorTexts().isEmpty()) << errorTexts().join(u'/').toStdString();
}

std::vector<Case> allCases() {
    std::vector<Case> out;
    for (ListState l : {ListState::Filtered, ListState::Query, ListState::EmptyFilter})
        for (Entry e :
             {Entry::NewItem, Entry::ChangedItem, Entry::RelationNewItem, Entry::DetailTab})
            for (Screen s : {Screen::Values, Screen::Drawings})
                // An empty list has no item to change or to open a relation editor for.
                if (l != ListState::EmptyFilter || e == Entry::NewItem || e == Entry::DetailTab)
                    out.push_back({l, e, s});
    return out;
}

INSTANTIATE_TEST_SUITE_P(ListStates, FollowingScreensTest, ::testing::ValuesIn(allCases()),
                         caseName);

} // namespace
