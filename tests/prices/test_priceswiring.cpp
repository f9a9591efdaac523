// The ways to the purchase prices: the item editor's "Ceny zakupu /..." and the main window's
// prices page, both only for a user with the price right.
#include "items/Ak_towar.h"
#include "shell/detailtabs.h"
#include "shell/fixture.h"
#include <QPushButton>
#include <QTest>

using namespace shelltest;

namespace {

class PricesWiringTest : public ShellTest {
protected:
    void SetUp() override { makeMainFolder({QStringLiteral("Lampa")}); }

    std::unique_ptr<items::TEkr_Aktualizacja_Towar> openEditor(store::MainState& st) {
        st.MainFolder = main + u'/';
        st.TempFolder = main + QStringLiteral("/TMP");
        st.CurrentCatalogueFolder = catalogue;
        st.TFTowar.setDatabaseName(catalogue);
        st.TFTowar.open();
        st.ItemEditMode = QStringLiteral("Edycja");
        auto dlg = std::make_unique<items::TEkr_Aktualizacja_Towar>(st);
        dlg->show();
        QCoreApplication::processEvents();
        return dlg;
    }
    static QPushButton* button(QWidget* w, const char* name) {
        auto* b = w->findChild<QPushButton*>(QLatin1String(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
};

TEST_F(PricesWiringTest, TheItemEditorsButtonOpensThePricesOfItsItemOnlyWithThePriceRight) {
    {
        store::MainState st;
        auto dlg = openEditor(st);
        EXPECT_FALSE(button(dlg.get(), "BB_Ceny")->isEnabled());
        // Disabled without the price right; the handler refuses on its own too.
        dlg->BB_CenyClick();
        EXPECT_TRUE(runner.opened().isEmpty());
    }
    store::MainState st;
    st.PriceRight = true;
    auto dlg = openEditor(st);
    auto* ceny = button(dlg.get(), "BB_Ceny");
    EXPECT_TRUE(ceny->isEnabled());
    int seen = -1;
    runner.on("TEkr_ceny", [&](QDialog& d) {
        seen = st.CurrentItemNr;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Obiekt / Ceny"));
    });
    ceny->click();
    EXPECT_EQ(runner.opened(), QStringList{"TEkr_ceny"});
    EXPECT_EQ(seen, st.TFTowar.asInteger(QStringLiteral("Tow_nr")));
    EXPECT_TRUE(dlg->isVisible()) << "a stored, unchanged item: the editor stays";
}

TEST_F(PricesWiringTest, ThePricesPageOpensTheEditorOnlyWithThePriceRight) {
    auto w = startWindow();
    auto& s = w->state();
    auto& f = w->form();
    ASSERT_TRUE(s.PriceRight) << "the single user of a folder without passwords has every right";
    runner.on("TEkr_ceny", [&](QDialog&) {
        EXPECT_EQ(s.CurrentItemNr, s.TFTowar.asInteger(QStringLiteral("Tow_nr")));
    });
    f.Modyfikuj6->trigger();
    EXPECT_EQ(f.TNotebook->currentIndex(), int(shell::DetailTabs::Prices));
    EXPECT_EQ(runner.opened(), QStringList{"TEkr_ceny"});

    s.PriceRight = false;
    Q_EMIT f.DBGrid_Cena->doubleClicked();
    f.Modyfikuj6->trigger();
    EXPECT_EQ(runner.opened(), QStringList{"TEkr_ceny"}) << "nothing more opened";
}

} // namespace
