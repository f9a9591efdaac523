// The main window's toolbar: the buttons grouped by kind, with icons from the desktop's icon
// theme (or the program's own drawings where the theme has none), the captions under the icons
// or beside them, and the groups that do not fit behind the bar's extension button.
#include "shell/E_Glowny.h"
#include "shell/toolbaricon.h"
#include "ui_E_Glowny.h"
#include <QEvent>
#include <QToolBar>
#include <QToolButton>

// The drawings are compiled into this library; a static library must register its resources.
static void initToolbarIcons() {
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(done);
}

namespace shell {

namespace {

// Each button's icon by its freedesktop name; the program carries a drawing under every name.
struct ButtonIcon {
    const char* button;
    const char* icon;
};
const ButtonIcon kButtonIcons[] = {
    {"SpeedButton3", "document-open"},
    {"SpeedButton4", "document-open-recent"},
    {"SpeedButton6", "document-new"},
    {"SpeedButton7", "edit-copy"},
    {"SpeedButton8", "document-edit"},
    {"SpeedButton9", "edit-delete"},
    {"SpeedButton_Sklada_sie", "view-list-tree"},
    {"SpeedButton17", "view-filter"},
    {"SpeedButton18", "system-search"},
    {"SpeedButton10", "folder"},
    {"SpeedButton11", "document-properties"},
    {"SpeedButton12", "image-x-generic"},
    {"SpeedButton13", "x-office-address-book"},
    {"SpeedButton14", "preferences-desktop-locale"},
    {"SpeedButton15", "mark-location"},
    {"SpeedButton16", "view-currency-list"},
    {"SpeedButton1", "document-print"},
    {"SpeedButton2", "document-print-preview"},
    {"SpeedButton_Dok_Dodaj", "list-add"},
    {"SpeedButton_Dok_Edycja", "document-edit"},
    {"SpeedButton_Dok_Usun", "list-remove"},
    {"SpeedButton5", "application-exit"},
};

// The groups in their order on the bar.
const char* const kGroups[] = {"Grupa_Baza",  "Grupa_Obiekt", "Grupa_Szukaj",  "Grupa_Kartoteki",
                               "Grupa_Firmy", "Grupa_Wydruk", "Grupa_Dokument"};

// A group stands on the bar, with its separator, while one of its buttons is shown: the order
// buttons come and go with the open order, and an empty group must not leave a double line.
class GroupShown : public QObject {
public:
    GroupShown(QWidget* group, QList<QAction*> actions)
        : QObject(group), group_(group), actions_(std::move(actions)) {
        for (QToolButton* b : group_->findChildren<QToolButton*>())
            b->installEventFilter(this);
        update();
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
            update();
        return false;
    }

private:
    void update() {
        bool any = false;
        for (QToolButton* b : group_->findChildren<QToolButton*>())
            any = any || !b->isHidden();
        for (QAction* a : actions_)
            a->setVisible(any);
    }
    QWidget* group_;
    QList<QAction*> actions_;
};

// The end bar is shown and hidden with the toolbar.
class FollowShown : public QObject {
public:
    FollowShown(QWidget* leader, QWidget* follower) : QObject(leader), follower_(follower) {
        leader->installEventFilter(this);
        follower_->setVisible(!leader->isHidden());
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
            follower_->setVisible(!static_cast<QWidget*>(watched)->isHidden());
        return false;
    }

private:
    QWidget* follower_;
};

} // namespace

QIcon toolbarIcon(const QString& name) {
    initToolbarIcons();
    QIcon own;
    for (int size : {16, 24, 48})
        own.addFile(QStringLiteral(":/pelk/toolbar/%1/%2.png").arg(size).arg(name),
                    QSize(size, size));
    return QIcon::fromTheme(name, own);
}

void TForm_Pelk::setUpToolbar() {
    QToolBar* bar = ui_->Panel_Narzedzi;
    // "Koniec" has a bar of its own at the right edge, so that it stays in sight when the window
    // is too narrow for every group and the last ones wait behind the extension button.
    QToolBar* end = ui_->Pasek_Koniec;
    for (QToolBar* b : {bar, end}) {
        // The display configuration decides whether the bars are shown, not a context menu.
        b->toggleViewAction()->setVisible(false);
        b->setContextMenuPolicy(Qt::PreventContextMenu);
    }
    // Nor the window's own menu of its bars, which the menu bar would open.
    ui_->MainMenu1->setContextMenuPolicy(Qt::PreventContextMenu);
    new FollowShown(bar, end);
    bool first = true;
    for (const char* name : kGroups) {
        auto* group = findChild<QWidget*>(QLatin1String(name));
        QList<QAction*> actions;
        if (!first) actions << bar->addSeparator();
        actions << bar->addWidget(group);
        new GroupShown(group, actions);
        // The bar hides what it takes until it lays itself out; the buttons are there before.
        group->setVisible(actions.last()->isVisible());
        first = false;
    }
    // The bar stretches to the window's edge; the group's spacer takes the button along.
    ui_->Grupa_Koniec->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    end->addWidget(ui_->Grupa_Koniec);
    ui_->Grupa_Koniec->show();

    for (const ButtonIcon& b : kButtonIcons) {
        auto* button = findChild<QToolButton*>(QLatin1String(b.button));
        const QIcon icon = toolbarIcon(QLatin1String(b.icon));
        // A shared command carries its icon into its menu item too.
        if (QAction* a = button->defaultAction())
            a->setIcon(icon);
        else
            button->setIcon(icon);
        button->setIconSize(bar->iconSize());
        // Tab goes round the list and the notebook; the buttons are for the mouse.
        button->setFocusPolicy(Qt::NoFocus);
    }

    // Menu commands without a button of their own.
    ui_->Usu1->setIcon(toolbarIcon(QStringLiteral("edit-delete")));
    ui_->Odwie1->setIcon(toolbarIcon(QStringLiteral("view-refresh")));

    auto* under = new QAction(QStringLiteral("Podpisy pod ikonami"), this);
    under->setObjectName(QStringLiteral("toolbarTextUnder"));
    under->setStatusTip(QStringLiteral("Podpisy przycisków paska narzędzi pod ikonami"));
    under->setCheckable(true);
    under->setChecked(true);
    ui_->Pokaz1->addSeparator();
    ui_->Pokaz1->addAction(under);
    connect(under, &QAction::toggled, this,
            guard([this, under] { setToolbarTextUnder(under->isChecked()); }));
    setToolbarTextUnder(under->isChecked());
}

void TForm_Pelk::setToolbarTextUnder(bool under) {
    const auto style = under ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextBesideIcon;
    ui_->Panel_Narzedzi->setToolButtonStyle(style);
    for (const ButtonIcon& b : kButtonIcons)
        findChild<QToolButton*>(QLatin1String(b.button))->setToolButtonStyle(style);
}

} // namespace shell
