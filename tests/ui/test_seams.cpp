#include "engine/error.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "uitest.h"
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>

using ui::Button;
using ui::Message;

namespace {

const engine::EngineError kLocked(
    engine::EngineError::Kind::Locked,
    QStringLiteral("Rekord w tabeli Towar jest zablokowany przez innego użytkownika (Ewa)."),
    QStringLiteral("Towar"));

// A form of the kind screens show: a name field and OK/Cancel.
struct NameDialog : QDialog {
    QLineEdit* name = new QLineEdit(this);
    QDialogButtonBox* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    int shows = 0;
    NameDialog() {
        setObjectName(QStringLiteral("TEkr_Nazwa"));
        name->setObjectName(QStringLiteral("Edit_Nazwa"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(name);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }
    void showEvent(QShowEvent* e) override {
        ++shows;
        QDialog::showEvent(e);
    }
};

} // namespace

// --- Messages ---------------------------------------------------------------------------------

TEST_F(UiTest, FakeMessagesRecordEveryBoxAndAnswerQuestionsInOrder) {
    ui::Messages* const real = &ui::messages();
    EXPECT_NE(dynamic_cast<ui::DialogMessages*>(real), nullptr);
    {
        ui::FakeMessages fake;
        ui::ScopedMessages installed(fake);
        fake.answerYes().answerNo();
        ui::messages().information(QStringLiteral("Dane niekompletne. Zapis nie jest możliwy !"));
        EXPECT_TRUE(ui::messages().question(QStringLiteral("Zakończyć pracę z programem ?")));
        EXPECT_FALSE(ui::messages().question(QStringLiteral("Usunąć ?"), Button::No));
        ui::messages().error(QStringLiteral("PELK"), QStringLiteral("Tabela Towar nie istnieje."));

        ASSERT_EQ(fake.count(), 4);
        EXPECT_EQ(fake.shown()[0].message.caption, "Uwaga !");
        EXPECT_EQ(fake.shown()[0].message.buttons, QList<Button>{Button::Ok});
        const Message& quit = fake.shown()[1].message;
        EXPECT_EQ(quit.caption, "Uwaga !");
        EXPECT_EQ(quit.buttons, (QList<Button>{Button::Yes, Button::No}));
        EXPECT_EQ(quit.defaultButton, Button::Yes);
        EXPECT_EQ(fake.shown()[2].message.defaultButton, Button::No);
        EXPECT_EQ(fake.last().kind, Message::Kind::Error);
        EXPECT_EQ(fake.last().caption, "PELK");
    }
    EXPECT_EQ(&ui::messages(), real);
}

TEST_F(UiTest, FakeMessagesFailLoudlyInsteadOfGuessing) {
    CaptureScriptFailures capture;
    {
        ui::FakeMessages fake;
        EXPECT_FALSE(fake.question(QStringLiteral("Usunąć ?"))); // refused, not answered Yes
        ASSERT_EQ(capture.failures.size(), 1);
        EXPECT_TRUE(capture.failures[0].contains(QStringLiteral("Usunąć ?")));
        fake.answer(Button::Cancel); // not a button of a Yes/No box
        EXPECT_FALSE(fake.question(QStringLiteral("Zapisać ?")));
        EXPECT_EQ(fake.show(Message{Message::Kind::Question,
                                    QStringLiteral("Potwierdzenie"),
                                    QStringLiteral("Zastąpić ?"),
                                    {Button::Yes, Button::No, Button::Cancel},
                                    Button::Yes}),
                  Button::Cancel);
        EXPECT_EQ(capture.failures.size(), 3);
        fake.answerYes(); // never used
    }
    ASSERT_EQ(capture.failures.size(), 4);
}

// The real box speaks Polish, starts on the chosen default and Escape refuses.
TEST_F(UiTest, DialogMessagesShowPolishButtonsAndHonourTheDefault) {
    ui::DialogMessages real;
    QString caption, defaultText;
    QStringList buttonTexts;
    auto inspectThen = [&](Qt::Key key) {
        QTimer::singleShot(0, [&, key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            caption = box->windowTitle();
            buttonTexts.clear();
            for (auto* b : box->buttons())
                buttonTexts << b->text().remove(u'&');
            buttonTexts.sort();
            defaultText =
                box->defaultButton() ? box->defaultButton()->text().remove(u'&') : QString();
            QTest::keyClick(box, key);
        });
    };
    inspectThen(Qt::Key_Return);
    EXPECT_FALSE(real.question(QStringLiteral("Czy na pewno chcesz usunąć zaznaczoną pozycję ?"),
                               Button::No));
    EXPECT_EQ(caption, "Uwaga !");
    EXPECT_EQ(buttonTexts, (QStringList{"Nie", "Tak"}));
    EXPECT_EQ(defaultText, "Nie");
    inspectThen(Qt::Key_Return);
    EXPECT_TRUE(real.question(QStringLiteral("Zakończyć pracę z programem ?")));
    inspectThen(Qt::Key_Escape);
    EXPECT_FALSE(real.question(QStringLiteral("Zakończyć pracę z programem ?")));
    inspectThen(Qt::Key_Escape);
    EXPECT_EQ(real.show(Message{Message::Kind::Question,
                                QStringLiteral("Potwierdzenie"),
                                QStringLiteral("Zapisać ?"),
                                {Button::Ok, Button::Cancel},
                                Button::Ok}),
              Button::Cancel);
    EXPECT_EQ(buttonTexts, (QStringList{"Anuluj", "OK"}));
}

// --- ModalRunner ------------------------------------------------------------------------------

TEST_F(UiTest, ScriptedRunnerPlaysTheUsersPart) {
    ui::ScriptedModalRunner runner;
    ui::ScopedModalRunner installed(runner);
    runner
        .on(QStringLiteral("TEkr_Nazwa"),
            [](QDialog& d) {
                EXPECT_TRUE(d.isVisible()); // shown as exec() shows it
                d.findChild<QLineEdit*>(QStringLiteral("Edit_Nazwa"))
                    ->setText(QStringLiteral("Śruba"));
                QTest::mouseClick(d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                                  Qt::LeftButton);
            })
        .on(QStringLiteral("TEkr_Nazwa")) // opened and left open: closed as Rejected
        .on<NameDialog>([](NameDialog& d) { d.name->setText(QStringLiteral("x")); }, 7);

    NameDialog first, second, third;
    bool accepted = false;
    QObject::connect(&first, &QDialog::accepted, [&] { accepted = true; });
    EXPECT_EQ(ui::modalRunner().run(first), QDialog::Accepted);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(first.name->text(), "Śruba");
    EXPECT_EQ(first.shows, 1);
    EXPECT_FALSE(first.isVisible());
    EXPECT_EQ(ui::modalRunner().run(second), QDialog::Rejected);
    EXPECT_FALSE(second.isVisible());
    EXPECT_EQ(ui::modalRunner().run(third), 7);
    EXPECT_EQ(third.result(), 7);
    EXPECT_EQ(runner.opened().size(), 3);
}

TEST_F(UiTest, ScriptedRunnerMatchesClassesRepeatsAndNestsDialogs) {
    ui::ScriptedModalRunner runner;
    ui::ScopedModalRunner installed(runner);
    int calendars = 0;
    runner.always(
        QStringLiteral("QInputDialog"), [&](QDialog&) { ++calendars; }, QDialog::Accepted);
    // A dialog may run a dialog of its own, as a screen opening a picker does.
    runner.on(QStringLiteral("TEkr_Nazwa"), [](QDialog& d) {
        QInputDialog picker(&d);
        EXPECT_EQ(ui::modalRunner().run(picker), QDialog::Accepted);
        d.accept();
    });
    QInputDialog a, b;
    NameDialog outer;
    EXPECT_EQ(ui::modalRunner().run(a), QDialog::Accepted);
    EXPECT_EQ(ui::modalRunner().run(b), QDialog::Accepted);
    EXPECT_EQ(ui::modalRunner().run(outer), QDialog::Accepted);
    EXPECT_EQ(calendars, 3);
}

TEST_F(UiTest, ScriptedRunnerReportsWhatNobodyScripted) {
    CaptureScriptFailures capture;
    {
        ui::ScriptedModalRunner runner;
        runner.on(QStringLiteral("TEkr_Grupy"));
        NameDialog unexpected;
        EXPECT_EQ(runner.run(unexpected), QDialog::Rejected);
        EXPECT_EQ(unexpected.shows, 0);
        ASSERT_EQ(capture.failures.size(), 1);
        EXPECT_TRUE(capture.failures[0].contains(QStringLiteral("TEkr_Nazwa")));
    }
    ASSERT_EQ(capture.failures.size(), 2);
    EXPECT_TRUE(capture.failures[1].contains(QStringLiteral("TEkr_Grupy")));
}

// --- Error box and the application ------------------------------------------------------------

TEST_F(UiTest, ErrorsFromEventHandlersAreShownAndTheProgramGoesOn) {
    ui::FakeMessages fake;
    ui::ScopedMessages installed(fake);
    QApplication::setApplicationDisplayName(QStringLiteral("PELK!"));
    bool later = false;
    QTimer::singleShot(0, [] { throw kLocked; });
    QTimer::singleShot(0, [&] { later = true; });
    QTRY_VERIFY_WITH_TIMEOUT(later, 2000);
    ASSERT_EQ(fake.count(), 1);
    EXPECT_EQ(fake.last().caption, "PELK!");
    EXPECT_EQ(fake.last().text, kLocked.message());

    // A click whose handler fails: the box, and the button still works afterwards.
    QPushButton button(QStringLiteral("Zapisz"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        if (++clicks == 1) throw kLocked;
        throw std::runtime_error("bad_alloc");
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(fake.count(), 3);
    EXPECT_EQ(fake.shown()[1].message.text, kLocked.message());
    EXPECT_TRUE(
        fake.last().text.startsWith(QStringLiteral("Wystąpił nieoczekiwany błąd programu.")));

    // Outside the event loop.
    EXPECT_TRUE(ui::guarded([] {}));
    EXPECT_FALSE(ui::guarded([] { throw kLocked; }));
    EXPECT_EQ(fake.count(), 4);
    QApplication::setApplicationDisplayName(QString());
}
