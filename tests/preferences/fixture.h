#pragma once
// The preferences dialog opened from the main window's menu, with the main folder and its
// default catalogue made as the first-run setup makes them.
#include "preferences/Preferencje.h"
#include "shell/fixture.h"
#include "ui/filedialogs.h"
#include "ui/listdialog.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <functional>

namespace preftest {

using preferences::TEkr_Preferencje;
using testsupport::child;
using testsupport::click;

inline const QString kCloseQuestion =
    QStringLiteral("Ustawienia zostały zmodyfikowane. Zapisać wprowadzone zmiany ?");

class PreferencesTest : public shelltest::ShellTest {
protected:
    PreferencesTest() : filesGuard_(files) {}

    // The main window on a main folder of its own; the preferences are opened from its menu.
    void startProgram(const QStringList& items = {QStringLiteral("Zawór")}) {
        makeMainFolder(items);
        window = startWindow();
        ASSERT_EQ(outcome, shell::MainController::StartOutcome::Running);
    }

    // "Ustawienia" from the menu; `act` plays the user. A dialog left open is closed as with the
    // close box.
    void openPreferences(const std::function<void(TEkr_Preferencje&)>& act) {
        runner.on<TEkr_Preferencje>([act](TEkr_Preferencje& d) {
            act(d);
            if (d.isVisible()) d.reject();
        });
        testsupport::trigger(*window, "Konfiguracja2");
    }

    // A row of the default catalogue's table, by its number field.
    int add(const char* table, const QVariantMap& values, const char* numberField) {
        return testsupport::addRow(catalogue, table, values, numberField);
    }

    // The display configuration of the open catalogue.
    QVariant konfig(const QString& field) {
        engine::Table t(catalogue, QStringLiteral("Konfig_i"));
        t.open();
        return t.value(field);
    }

    // Chooses the row whose `field` is `text` in a list dialog.
    static ui::ScriptedModalRunner::Action choose(const char* field, const QString& text) {
        return [field, text](QDialog& d) {
            auto& list = static_cast<ui::ListDialog&>(d);
            auto& t = list.table();
            for (t.first(); !t.eof(); t.next())
                if (t.asString(QLatin1String(field)) == text) break;
            ASSERT_EQ(t.asString(QLatin1String(field)), text);
            list.button(QStringLiteral("BB_Wybierz"))->click();
        };
    }

    std::unique_ptr<shell::TForm_Pelk> window;
    ui::FakeFileDialogs files;

private:
    ui::ScopedFileDialogs filesGuard_;
};

// The page `name` brought to the front as a user clicks its tab (and the tabs above it).
inline void showPage(TEkr_Preferencje& d, const char* name) {
    QWidget* page = child(d, name);
    for (QWidget* w = page; w && w != &d; w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(
                w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr))
            tabs->setCurrentWidget(w);
}

template <class W = QWidget> W* in(TEkr_Preferencje& d, const char* name) {
    return child<W>(d, name);
}

} // namespace preftest
