// The preferences dialog: loading once on opening, the changed flag and the closing question,
// the order number example, the backup program, the reminder and the rights.
#include "preferences/bindings.h"
#include "preferences/fixture.h"
#include <QFile>
#include <QLayout>

namespace {

using namespace preftest;

TEST_F(PreferencesTest, TestShowsTheNumberThePatternGivesTheSameEachTime) {
    startProgram();
    clock.date = QDate(2024, 3, 15);
    openPreferences([&](TEkr_Preferencje& d) {
        showPage(d, "TS_Od_Klienta");
        const char* const parts[] = {"CB_11", "CB_12", "CB_13", "CB_14", "CB_15", "CB_16"};
        const QString texts[] = {QStringLiteral("ZK"),      QStringLiteral("-"),
                                 QStringLiteral("MIESIĄC"), QStringLiteral("/"),
                                 QStringLiteral("ROK"),     QString()};
        for (int i = 0; i < 6; ++i)
            in<QComboBox>(d, parts[i])->setEditText(texts[i]);
        in<QSpinBox>(d, "SE_Nr1")->setValue(12);
        for (int press = 0; press < 3; ++press) {
            click(d, "BB_Test1");
            EXPECT_EQ(in<QLabel>(d, "Label_Przyklad1")->text(), QStringLiteral("ZK-3/2024"));
        }
        // The supplier page has its own pattern, shown from the stored one on opening.
        EXPECT_EQ(in<QLabel>(d, "Label_Przyklad2")->text(), QStringLiteral("1/2024"));
        messages.answerNo();
    });
    EXPECT_EQ(messages.last().text, kCloseQuestion);
    EXPECT_EQ(setting(QStringLiteral("Pelk_Zam_Od1")).toString(), QStringLiteral("NUMER"))
        << "No to the question saves nothing";
}

TEST_F(PreferencesTest, EveryWayOfClosingAsksWhenAnythingChanged) {
    startProgram();
    const QString before = setting(QStringLiteral("Pelk_Przegladarka")).toString();
    // Only the browser changed, "Anuluj": the question; No saves nothing.
    openPreferences([&](TEkr_Preferencje& d) {
        in<QLineEdit>(d, "Edit_Przegladarka")->setText(QStringLiteral("/usr/bin/inna"));
        messages.answerNo();
        click(d, "BB_Anuluj");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(messages.texts(), QStringList{kCloseQuestion});
    EXPECT_EQ(setting(QStringLiteral("Pelk_Przegladarka")).toString(), before);

    // A starting number, a caption and a column switch alone, the close box: Yes saves them.
    messages.clear();
    openPreferences([&](TEkr_Preferencje& d) {
        in<QSpinBox>(d, "SE_Nr2")->setValue(40);
        in<QLineEdit>(d, "Edit_Nazwa2")->setText(QStringLiteral("Opis"));
        in<QCheckBox>(d, "CB_iZ_Cena_B")->setChecked(true);
        messages.answerYes();
        d.close();
    });
    EXPECT_EQ(messages.texts(), QStringList{kCloseQuestion});
    EXPECT_EQ(setting(QStringLiteral("Pelk_Zam_Do_Nr")).toInt(), 40);
    EXPECT_EQ(konfig(QStringLiteral("Konfig_I_nagl_Nazwa2")).toString(), QStringLiteral("Opis"));
    EXPECT_TRUE(konfig(QStringLiteral("Konfig_iZ_Cena_B")).toBool());

    // Nothing changed: "Powrót" closes without a word.
    messages.clear();
    openPreferences([&](TEkr_Preferencje& d) { click(d, "BB_Powrot"); });
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(PreferencesTest, TheReminderBoxHidesTheGroupsAtOnceAndAfterReopening) {
    startProgram();
    setSetting(QStringLiteral("Pelk_Kopia_Wykonuj"), true);
    openPreferences([&](TEkr_Preferencje& d) {
        showPage(d, "TS_Archiwizacja");
        auto* settings = in(d, "GroupBox_Ustawienia");
        auto* program = in(d, "GroupBox_Program");
        EXPECT_TRUE(settings->isVisibleTo(&d));
        EXPECT_TRUE(program->isVisibleTo(&d));
        in<QCheckBox>(d, "CB_Przypomnienie")->click();
        EXPECT_FALSE(settings->isVisibleTo(&d));
        EXPECT_FALSE(program->isVisibleTo(&d));
        click(d, "BB_Zapisz");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_FALSE(setting(QStringLiteral("Pelk_Kopia_Wykonuj")).toBool());
    openPreferences([&](TEkr_Preferencje& d) {
        EXPECT_TRUE(in<QCheckBox>(d, "CB_Przypomnienie")->isChecked());
        EXPECT_FALSE(in(d, "GroupBox_Ustawienia")->isVisibleTo(&d));
        EXPECT_FALSE(in(d, "GroupBox_Program")->isVisibleTo(&d));
    });
    EXPECT_EQ(messages.count(), 0) << "reopened and closed unchanged";
}

TEST_F(PreferencesTest, TheBasicPanelCannotBeSwitchedOff) {
    startProgram();
    openPreferences([&](TEkr_Preferencje& d) {
        showPage(d, "TS_Elementy");
        auto* basic = in<QCheckBox>(d, "CB_P_Podstawowy");
        EXPECT_TRUE(basic->isChecked());
        basic->click();
        EXPECT_TRUE(basic->isChecked());
        auto* prices = in<QCheckBox>(d, "CB_P_Ceny");
        prices->click();
        EXPECT_FALSE(prices->isChecked()) << "the other panels can";
        click(d, "BB_Zapisz");
    });
    EXPECT_TRUE(konfig(QStringLiteral("Konfig_I_P_Podstawowy")).toBool());
    EXPECT_FALSE(konfig(QStringLiteral("Konfig_I_P_Ceny")).toBool());
    EXPECT_FALSE(window->state().Display.panelPrices) << "the item editor sees it at once";
}

TEST_F(PreferencesTest, BackupNowStartsTheProgramAndRemembersTheDayOnlyWhenItStarted) {
    startProgram();
    setSetting(QStringLiteral("Pelk_Kopia_Data"), QDate(2024, 1, 2));
    setSetting(QStringLiteral("Pelk_Kopia_Wykonuj"), true);
    openPreferences([&](TEkr_Preferencje& d) {
        showPage(d, "TS_Archiwizacja");
        in<QLineEdit>(d, "Edit_Program")->setText(QStringLiteral("/opt/kopia/brak"));
        in<QLineEdit>(d, "Edit_Polecenie")->setText(QStringLiteral("-r \"/home/firma/dane\""));
        launcher.answer = platform::LaunchResult::Status::NotFound;
        click(d, "BB_Kopia");
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Polecenie wykonane nieprawodłowo. Kopia zapasowa nie została "
                                 "wykonana !"));
        EXPECT_EQ(setting(QStringLiteral("Pelk_Kopia_Data")).toDate(), QDate(2024, 1, 2));
        EXPECT_EQ(in<QLabel>(d, "Label_Data")->text(), QStringLiteral("02-01-2024"));

        launcher.answer = platform::LaunchResult::Status::Started;
        click(d, "BB_Kopia");
        EXPECT_EQ(setting(QStringLiteral("Pelk_Kopia_Data")).toDate(), clock.date)
            << "saved at once";
        EXPECT_EQ(in<QLabel>(d, "Label_Data")->text(), QStringLiteral("17-05-2024"));
        messages.answerNo();
    });
    ASSERT_EQ(launcher.requests.size(), 2u);
    EXPECT_EQ(launcher.requests[1].program, QStringLiteral("/opt/kopia/brak"));
    EXPECT_EQ(launcher.requests[1].parameters, QStringLiteral("-r \"/home/firma/dane\""))
        << "the command line whole, split by the launcher as a shell would";
    // The day stays although the other edits were not saved.
    EXPECT_EQ(setting(QStringLiteral("Pelk_Kopia_Data")).toDate(), clock.date);
    EXPECT_TRUE(setting(QStringLiteral("Pelk_Kopia_Aplikacja")).toString().isEmpty());
}

TEST_F(PreferencesTest, TheLoginSwitchIsForAnAdministratorOrWhileTheLoginIsOff) {
    startProgram();
    auto& st = window->state();
    st.AdminRight = false;
    openPreferences([&](TEkr_Preferencje& d) {
        EXPECT_TRUE(in(d, "CB_Haslo")->isEnabled()) << "the login is off: anyone may switch it on";
    });
    setSetting(QStringLiteral("Pelk_Haslo_OK"), true);
    openPreferences([&](TEkr_Preferencje& d) { EXPECT_FALSE(in(d, "CB_Haslo")->isEnabled()); });
    st.AdminRight = true;
    openPreferences([&](TEkr_Preferencje& d) { EXPECT_TRUE(in(d, "CB_Haslo")->isEnabled()); });
    // A user who may only browse cannot open the dialog at all.
    st.RightsLevel = 1;
    window->controller().emptyCheck();
    EXPECT_FALSE(window->isCommandEnabled(QStringLiteral("Konfiguracja2")));
}

TEST_F(PreferencesTest, AMissingHeaderFileIsReportedAndTheRestIsLoaded) {
    startProgram();
    setSetting(QStringLiteral("Pelk_Przegladarka"), QStringLiteral("/usr/bin/przegladarka"));
    ASSERT_TRUE(QFile::remove(QDir(main).filePath(QStringLiteral("naglowek.rtf"))));
    openPreferences([&](TEkr_Preferencje& d) {
        EXPECT_TRUE(in<QTextEdit>(d, "RE_Naglowek")->toPlainText().isEmpty());
        EXPECT_FALSE(in<QTextEdit>(d, "RE_Stopka")->toPlainText().isEmpty());
        EXPECT_EQ(in<QLineEdit>(d, "Edit_Przegladarka")->text(),
                  QStringLiteral("/usr/bin/przegladarka"));
        EXPECT_EQ(in<QLineEdit>(d, "Edit_Nazwa1")->text(), QStringLiteral("Pole 1"));
        EXPECT_EQ(in<QLabel>(d, "Label_Pole1")->text(), QStringLiteral("Pole 1"));
        click(d, "BB_Zapisz");
    });
    const QStringList errors = errorTexts();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("naglowek.rtf"))) << errors[0].toStdString();
    EXPECT_EQ(setting(QStringLiteral("Pelk_Przegladarka")).toString(),
              QStringLiteral("/usr/bin/przegladarka"));
}

TEST_F(PreferencesTest, AFailedSaveKeepsTheDialogOpenAndTheChangeMarked) {
    startProgram();
    openPreferences([&](TEkr_Preferencje& d) {
        in<QLineEdit>(d, "Edit_Nazwa1")->setText(QStringLiteral("Nazwa"));
        // The configuration is gone under the dialog: its save is refused.
        engine::Database::open(catalogue)->dropTable(QStringLiteral("Konfig_i"));
        click(d, "BB_Zapisz");
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(d.changed());
        EXPECT_EQ(in<QLineEdit>(d, "Edit_Nazwa1")->text(), QStringLiteral("Nazwa"));
        EXPECT_FALSE(d.saved());
        EXPECT_EQ(errorTexts().size(), 1);
        messages.answerNo();
    });
    EXPECT_EQ(messages.last().text, kCloseQuestion);
}

TEST_F(PreferencesTest, AConfigurationThatCannotBeReadIsLeftAsItIs) {
    startProgram();
    engine::Database::open(catalogue)->dropTable(QStringLiteral("Konfig_i"));
    openPreferences([&](TEkr_Preferencje& d) {
        EXPECT_EQ(errorTexts().size(), 1);
        EXPECT_FALSE(in(d, "TS_Wyswietlanie")->isEnabled());
        in<QLineEdit>(d, "Edit_Transport2")->setText(QStringLiteral("własny"));
        click(d, "BB_Zapisz");
        EXPECT_FALSE(d.isVisible()) << "the settings record alone is written";
    });
    EXPECT_EQ(errorTexts().size(), 1);
    EXPECT_EQ(setting(QStringLiteral("Pelk_Zam_Do_Transport")).toString(),
              QStringLiteral("własny"));
    EXPECT_FALSE(engine::Database::open(catalogue)->hasTable(QStringLiteral("Konfig_i")));
}

TEST_F(PreferencesTest, TheFormFitsTheSmallestScreen) {
    startProgram();
    openPreferences([&](TEkr_Preferencje& d) {
        for (double scale : {1.0, 1.5}) {
            QFont larger = d.font();
            larger.setPointSizeF(larger.pointSizeF() * scale);
            d.setFont(larger);
            d.layout()->activate();
            const QSize need = d.minimumSizeHint();
            EXPECT_LE(need.width(), 1024) << scale;
            EXPECT_LE(need.height(), 700) << scale;
        }
        // Every control the settings record and the display configuration are bound to exists.
        for (const auto& list : {preferences::settingsTexts(), preferences::settingsFlags(),
                                 preferences::settingsNumbers(), preferences::patternParts(),
                                 preferences::displayTexts(), preferences::displayFlags()})
            for (const auto& b : list)
                EXPECT_NE(d.findChild<QWidget*>(b.control), nullptr) << b.control.toStdString();
        EXPECT_EQ(preferences::columnFlags().size(), 39);
    });
}

} // namespace
