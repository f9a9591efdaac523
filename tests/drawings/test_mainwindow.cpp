// The main window's ways into the drawings and the file associations.
#include "drawings/Kart_Gr.h"
#include "drawings/podglad.h"
#include "shell/detailtabs.h"
#include "shell/fixture.h"
#include "support/pictures.h"
#include "support/rows.h"
#include <QLabel>

using namespace shelltest;
using testsupport::addRow;
using testsupport::pngPicture;

namespace {

class MainWindowDrawingsTest : public ShellTest {
protected:
    // Item 1 Lampa with the drawing Schemat and a web address, item 2 Klosz with a manual.
    std::unique_ptr<shell::TForm_Pelk> start() {
        makeMainFolder({QStringLiteral("Lampa"), QStringLiteral("Klosz")});
        addRow(catalogue, "Rysunek", {{"Rys_Opis", "Schemat"}, {"Rys_Blob", pngPicture()}});
        addRow(catalogue, "Grafika", {{"Grafika_Tow_Nr", 1}, {"Grafika_Rys_Nr", 1}});
        addRow(catalogue, "Cecha", {{"Cecha_Opis", "Strona"}, {"Cecha_Typ", "S"}});
        addRow(catalogue, "Opis",
               {{"Opis_Tow_Nr", 1}, {"Opis_Cecha_Nr", 1}, {"Opis_Opis", "www.lampy.pl"}});
        addRow(catalogue, "Opis",
               {{"Opis_Tow_Nr", 2}, {"Opis_Cecha_Nr", 1}, {"Opis_Opis", "klosz.pdf"}});
        auto w = startWindow();
        EXPECT_EQ(outcome, shell::MainController::StartOutcome::Running);
        return w;
    }
};

TEST_F(MainWindowDrawingsTest, CommandsOpenTheLibraryTheAssociationsThePreviewAndTheItemsDrawings) {
    auto w = start();
    auto& f = w->form();
    runner.on(QStringLiteral("TEkr_Rysunki"));
    f.SpeedButton12->click();
    runner.on(QStringLiteral("TEkr_Skojarzenia"));
    f.Skojarzeniazaplikacjami1->trigger();
    goTo(*w, QStringLiteral("Lampa"));
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Drawings);
    QString shown;
    runner.on<drawings::TEkr_Podglad>([&](drawings::TEkr_Podglad& d) {
        shown = d.findChild<QLabel*>(QStringLiteral("Label_Rysunek"))->text();
    });
    f.BB_Duzy->click();
    EXPECT_EQ(shown, QStringLiteral("Schemat"));

    // Detaching the drawing shows at once on the page.
    runner.on<drawings::TEkr_Kartoteki_Rysunki>([&](drawings::TEkr_Kartoteki_Rysunki& d) {
        EXPECT_EQ(d.itemNr(), 1);
        click(d, "BB_Wyczysc");
        click(d, "BB_Zapisz");
    });
    f.Modyfikuj5->trigger();
    EXPECT_TRUE(gridNames(f.DBGrid_Rysunek).isEmpty());
    EXPECT_EQ(runner.opened(), (QStringList{"TEkr_Rysunki", "TEkr_Skojarzenia", "TEkr_Podglad",
                                            "TEkr_Kartoteki_Rysunki"}));
}

TEST_F(MainWindowDrawingsTest, ZobaczOpensTheAddressOrSaysWhyNot) {
    auto w = start();
    auto& f = w->form();
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Attributes);
    goTo(*w, QStringLiteral("Lampa"));
    ASSERT_TRUE(f.SB_Zobacz->isEnabled());
    f.SB_Zobacz->click();
    ASSERT_EQ(launcher.requests.size(), 1u);
    EXPECT_EQ(launcher.requests[0].parameters, QStringLiteral("www.lampy.pl"));

    goTo(*w, QStringLiteral("Klosz"));
    f.SB_Zobacz->click();
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Nie mogę skojarzyć tej własności z żadną aplikacją !"));
    EXPECT_EQ(launcher.requests.size(), 1u);
}

} // namespace
