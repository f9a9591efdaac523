#pragma once
// The order editor's tests: a main window on a default catalogue with a few items and companies,
// orders created as the order list creates them, and the editor's dialogs played by the runner.
#include "orders/E_Zamow.h"
#include "orders/linebuffer.h"
#include "orders/orderdocs.h"
#include "orders/ordereditorentry.h"
#include "shell/fixture.h"
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

namespace editortest {

using shelltest::child;
using shelltest::click;
using shelltest::trigger;

class EditorTest : public shelltest::ShellTest {
protected:
    void SetUp() override {
        makeMainFolder({QStringLiteral("Śruba M6"), QStringLiteral("Wkręt 4x40")});
        w = startWindow();
        ASSERT_EQ(outcome, shell::MainController::StartOutcome::Running);
        acme = addCompany(QStringLiteral("ACME"), QStringLiteral("Kraków"));
        beta = addCompany(QStringLiteral("Beta"), QStringLiteral("Gdańsk"));
    }
    void TearDown() override {
        // What a test left open goes without questions.
        if (auto* e = editor(); e && e->isOrderOpen()) {
            if (!e->readOnly() && (e->changed() || e->buffer().isEmpty())) messages.answerNo();
            e->closeOrder();
        }
    }

    store::MainState& st() { return w->state(); }

    int addCompany(const QString& name, const QString& city) {
        const int cityNr = testsupport::addRow(
            catalogue, "Miasta", {{QStringLiteral("Miasto_Nazwa"), city}}, "Miasto_Nr");
        return testsupport::addRow(catalogue, "Firmy",
                                   {{QStringLiteral("Firma_Skrot"), name},
                                    {QStringLiteral("Firma_Ulica"), QStringLiteral("Długa 1")},
                                    {QStringLiteral("Firma_Kod_Poczt"), QStringLiteral("30-001")},
                                    {QStringLiteral("Firma_Miasto_Nr"), cityNr}},
                                   "Firma_Nr");
    }

    // An order of `kind` created as the list's "Dodaj" creates it, opened in the editor.
    qint64 newOrder(int kind = orders::kToSupplier) {
        const orders::CreatedOrder made =
            orders::createOrder(st(), kind, orders::CompletedAtCreation::No, platform::today());
        EXPECT_TRUE(orders::openOrderEditor(w.get(), st(), made.dokNr, orders::EditorOpen::New));
        return made.dokNr;
    }
    bool openExisting(qint64 dokNr) {
        return orders::openOrderEditor(w.get(), st(), dokNr, orders::EditorOpen::Existing);
    }

    orders::TEkr_Zamowienie* editor() { return orders::existingOrderEditor(st()); }
    QWidget& ed() { return *editor(); }

    // "Dane do nowej pozycji" for the item `name` with `quantity` typed, answered with OK.
    void addLine(const QString& name, const QString& quantity = QStringLiteral("1")) {
        goTo(*w, name);
        runner.on(QStringLiteral("TEkr_Zam_Dane"), [quantity](QDialog& d) {
            auto* q = child<QLineEdit>(d, "Edit_Ilosc");
            q->clear();
            testsupport::typeText(q, quantity);
            click(d, "BB_OK");
        });
        editor()->addLineFromItem();
    }

    // The date picker answering with `date`.
    void pickDateNext(const QDate& date) {
        runner.on(QStringLiteral("TEkr_Kalendarz"), [date](QDialog& d) {
            child<QCalendarWidget>(d, "Kalendarz")->setSelectedDate(date);
            click(d, "BB_Wybierz");
        });
    }
    // The companies dialog answering with company `nr`.
    void pickCompanyNext(int nr, const QString& name) {
        runner.on(QStringLiteral("TEkr_Aktualizacja_Firma"), [this, nr, name](QDialog&) {
            st().PickedCompanyNr = nr;
            st().PickedCompanyName = name;
        });
    }

    QString text(const char* label) { return child<QLabel>(ed(), label)->text(); }

    std::vector<orders::OrderLine> storedLines(qint64 dokNr) {
        return orders::readLines(*engine::Database::open(catalogue), dokNr);
    }
    // The stored header of `dokNr`; empty when it is gone.
    std::optional<orders::OrderHeader> storedHeader(qint64 dokNr) {
        engine::Table heads(catalogue, QStringLiteral("Dok_Head"));
        heads.open();
        if (!heads.findKey({dokNr})) return std::nullopt;
        return orders::readHeader(heads);
    }

    std::unique_ptr<shell::TForm_Pelk> w;
    int acme = 0, beta = 0;
};

} // namespace editortest
