#include "ui/E_Kalend.h"
#include "platform/clock.h"
#include "store/mainstate.h"
#include "ui/help.h"
#include "ui/modalrunner.h"
#include "ui_E_Kalend.h"
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

namespace ui {

TEkr_Kalendarz::TEkr_Kalendarz(store::MainState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui_(std::make_unique<Ui::TEkr_Kalendarz>()) {
    ui_->setupUi(this);
    ui::setHelpContext(this, 1750);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    // The year moves by its arrows only; a typed year could be half-written when it is read.
    if (auto* edit = ui_->Edit_rok->findChild<QLineEdit*>()) edit->setReadOnly(true);

    connect(ui_->Edit_Miesiac, &QComboBox::currentIndexChanged, this,
            &TEkr_Kalendarz::Edit_MiesiacChange);
    connect(ui_->Edit_rok, &QSpinBox::valueChanged, this, &TEkr_Kalendarz::Edit_rokChange);
    connect(ui_->Kalendarz, &QCalendarWidget::selectionChanged, this,
            &TEkr_Kalendarz::KalendarzChange);
    // Double-click, or Enter inside the calendar.
    connect(ui_->Kalendarz, &QCalendarWidget::activated, this, &TEkr_Kalendarz::KalendarzDblClick);
    connect(ui_->BB_Wybierz, &QPushButton::clicked, this, &TEkr_Kalendarz::BB_WybierzClick);
    connect(ui_->BB_Anuluj, &QPushButton::clicked, this, &TEkr_Kalendarz::BB_AnulujClick);

    // The calendar keeps a today outside its years at the nearest end.
    ui_->Kalendarz->setSelectedDate(platform::today());
    KalendarzChange();
    state_.DatePicked = false;
}

TEkr_Kalendarz::~TEkr_Kalendarz() = default;

QDate TEkr_Kalendarz::shownDate() const {
    return ui_->Kalendarz->selectedDate();
}

void TEkr_Kalendarz::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TEkr_Kalendarz::FormActivate() {
    state_.DatePicked = false;
}

void TEkr_Kalendarz::moveTo(int year, int month) {
    const QDate day = ui_->Kalendarz->selectedDate();
    // 31 March moved to February lands on its last day rather than on no day at all.
    const int lastDay = QDate(year, month, 1).daysInMonth();
    ui_->Kalendarz->setSelectedDate(QDate(year, month, std::min(day.day(), lastDay)));
}

void TEkr_Kalendarz::Edit_MiesiacChange() {
    if (ui_->Edit_Miesiac->currentIndex() < 0) return;
    moveTo(ui_->Kalendarz->selectedDate().year(), ui_->Edit_Miesiac->currentIndex() + 1);
}

void TEkr_Kalendarz::Edit_rokChange() {
    moveTo(ui_->Edit_rok->value(), ui_->Kalendarz->selectedDate().month());
}

// Keyboard steps and clicks on a neighbouring month's days move the calendar on its own; the
// boxes follow it so that they always name the month shown.
void TEkr_Kalendarz::KalendarzChange() {
    const QDate d = ui_->Kalendarz->selectedDate();
    const QSignalBlocker month(ui_->Edit_Miesiac), year(ui_->Edit_rok);
    ui_->Edit_Miesiac->setCurrentIndex(d.month() - 1);
    ui_->Edit_rok->setValue(d.year());
}

void TEkr_Kalendarz::KalendarzDblClick() {
    BB_WybierzClick();
}

void TEkr_Kalendarz::BB_WybierzClick() {
    state_.DatePicked = true;
    state_.PickedDate = platform::dateText(ui_->Kalendarz->selectedDate());
    accept();
}

void TEkr_Kalendarz::BB_AnulujClick() {
    reject();
}

// Esc and the window's close button cancel as "Anuluj" does.
void TEkr_Kalendarz::reject() {
    state_.DatePicked = false;
    QDialog::reject();
}

namespace {

// Keeps the picker for the main state's life. The picker is a window and so cannot be the state's
// own child; this holder can.
class PickerHolder : public QObject {
public:
    explicit PickerHolder(store::MainState& state) : QObject(&state), picker(state) {}
    TEkr_Kalendarz picker;
};

} // namespace

TEkr_Kalendarz& datePicker(store::MainState& state) {
    for (QObject* child : state.children())
        if (auto* holder = dynamic_cast<PickerHolder*>(child)) return holder->picker;
    return (new PickerHolder(state))->picker;
}

std::optional<QDate> pickDate(store::MainState& state) {
    modalRunner().run(datePicker(state));
    if (!state.DatePicked) return std::nullopt;
    const QDate picked = platform::parseDateText(state.PickedDate);
    if (!picked.isValid()) return std::nullopt;
    return picked;
}

} // namespace ui
