#include "offers/REMain.h"
#include "platform/printers.h"
#include "store/mainstate.h"
#include "ui/errorbox.h"
#include "ui/filedialogs.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui_REMain.h"
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QToolBar>

namespace offers {

const QString TMainForm::kUntitled = QStringLiteral("Bez nazwy");

namespace {

const QString kRtfFilter = QStringLiteral("Pliki RTF (*.rtf);;Wszystkie pliki (*)");

} // namespace

TMainForm::TMainForm(store::MainState& state, QWidget* parent)
    : QMainWindow(parent), st_(state), ui_(std::make_unique<Ui::TMainForm>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::Window);
    ui::setHelpContext(this, 3100);
    fileName_ = kUntitled;
    ui_->Ruler->setEditor(ui_->RichEdit1);
    ui_->FileOpenReadOnlyItem->setCheckable(true);
    for (QAction* a : {ui_->FormatBold, ui_->FormatItalic, ui_->FormatUnderline, ui_->AlignLeft,
                       ui_->AlignCenter, ui_->AlignRight, ui_->FormatBullets})
        a->setCheckable(true);
    buildSpeedBar();
    connectCommands();
    connectInsertCommands();
    initialise();
    setTextReadOnly(!st_.fullRights());
    resize(800, 600);
}

TMainForm::~TMainForm() = default;

QTextEdit* TMainForm::textArea() const {
    return ui_->RichEdit1;
}

bool TMainForm::isTextModified() const {
    return ui_->RichEdit1->document()->isModified();
}

void TMainForm::buildSpeedBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("SpeedBar"));
    bar->setMovable(false);
    addToolBar(Qt::TopToolBarArea, bar);
    ui_->FileOpenItem->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui_->FileSaveItem->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    const std::pair<QAction*, const char*> shortNames[] = {
        {ui_->FilePrintItem, "Drukuj"}, {ui_->EditCutItem, "Wytnij"}, {ui_->EditCopyItem, "Kopiuj"},
        {ui_->EditPasteItem, "Wklej"},  {ui_->FormatBold, "B"},       {ui_->FormatItalic, "I"},
        {ui_->FormatUnderline, "U"},    {ui_->AlignLeft, "Lewo"},     {ui_->AlignCenter, "Środek"},
        {ui_->AlignRight, "Prawo"},     {ui_->FormatBullets, "•"}};
    for (const auto& [action, text] : shortNames)
        action->setIconText(QString::fromUtf8(text));
    bar->addAction(ui_->FileOpenItem);
    bar->addAction(ui_->FileSaveItem);
    bar->addAction(ui_->FilePrintItem);
    bar->addSeparator();
    bar->addAction(ui_->EditCutItem);
    bar->addAction(ui_->EditCopyItem);
    bar->addAction(ui_->EditPasteItem);
    bar->addSeparator();
    fontName_ = new QFontComboBox(bar);
    fontName_->setObjectName(QStringLiteral("FontName"));
    fontName_->setStatusTip(QStringLiteral("Nazwa czcionki"));
    bar->addWidget(fontName_);
    fontSize_ = new QSpinBox(bar);
    fontSize_->setObjectName(QStringLiteral("FontSize"));
    fontSize_->setRange(1, 400);
    fontSize_->setStatusTip(QStringLiteral("Wielkość czcionki"));
    bar->addWidget(fontSize_);
    bar->addSeparator();
    for (QAction* a : {ui_->FormatBold, ui_->FormatItalic, ui_->FormatUnderline})
        bar->addAction(a);
    bar->addSeparator();
    for (QAction* a : {ui_->AlignLeft, ui_->AlignCenter, ui_->AlignRight, ui_->FormatBullets})
        bar->addAction(a);
    QFont bold = bar->font();
    bold.setBold(true);
    ui_->FormatBold->setFont(bold);
}

void TMainForm::connectCommands() {
    auto on = [this](QAction* a, auto slot) {
        connect(a, &QAction::triggered, this, ui::guardedSlot([this, slot] { (this->*slot)(); }));
    };
    on(ui_->FileNewItem, &TMainForm::FileNewItemClick);
    on(ui_->FileOpenItem, &TMainForm::FileOpenItemClick);
    on(ui_->FileSaveItem, &TMainForm::FileSaveItemClick);
    on(ui_->FileSaveAsItem, &TMainForm::FileSaveAsItemClick);
    on(ui_->FileSavePdfItem, &TMainForm::FileSavePdfItemClick);
    on(ui_->FilePrintItem, &TMainForm::FilePrintItemClick);
    on(ui_->miEditFont, &TMainForm::miEditFontClick);
    connect(ui_->FileExitItem, &QAction::triggered, this, &QWidget::close);
    QTextEdit* edit = ui_->RichEdit1;
    connect(ui_->EditUndoItem, &QAction::triggered, edit, &QTextEdit::undo);
    connect(ui_->EditCutItem, &QAction::triggered, edit, &QTextEdit::cut);
    connect(ui_->EditCopyItem, &QAction::triggered, edit, &QTextEdit::copy);
    connect(ui_->EditPasteItem, &QAction::triggered, edit, &QTextEdit::paste);
    connect(ui_->HelpContentsItem, &QAction::triggered, this,
            [] { ui::helpViewer().showTopic(0); });
    connect(ui_->HelpSearchItem, &QAction::triggered, this, [] { ui::helpViewer().showTopic(0); });
    connect(ui_->HelpHowToUseItem, &QAction::triggered, this, [this] { ui::showHelpFor(this); });
    connect(ui_->BitBtn1, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TMainForm::BitBtn1Click));

    auto style = [this](QAction* a, auto apply) {
        connect(a, &QAction::toggled, this, [this, apply](bool down) {
            if (updating_) return;
            QTextCharFormat f;
            apply(f, down);
            applyFormat(f);
        });
    };
    style(ui_->FormatBold,
          [](QTextCharFormat& f, bool d) { f.setFontWeight(d ? QFont::Bold : QFont::Normal); });
    style(ui_->FormatItalic, [](QTextCharFormat& f, bool d) { f.setFontItalic(d); });
    style(ui_->FormatUnderline, [](QTextCharFormat& f, bool d) { f.setFontUnderline(d); });
    const std::pair<QAction*, Qt::Alignment> aligns[] = {{ui_->AlignLeft, Qt::AlignLeft},
                                                         {ui_->AlignCenter, Qt::AlignHCenter},
                                                         {ui_->AlignRight, Qt::AlignRight}};
    for (const auto& [action, alignment] : aligns)
        connect(action, &QAction::triggered, this, [this, a = alignment] {
            if (!updating_) setAlignment(a);
        });
    connect(ui_->FormatBullets, &QAction::toggled, this, [this](bool on) {
        if (!updating_) setBullets(on);
    });
    connect(fontName_, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        if (updating_) return;
        QTextCharFormat f;
        f.setFontFamilies({font.family()});
        applyFormat(f);
    });
    connect(fontSize_, &QSpinBox::valueChanged, this, [this](int points) {
        if (updating_) return;
        QTextCharFormat f;
        f.setFontPointSize(points);
        applyFormat(f);
    });
    connect(edit, &QTextEdit::cursorPositionChanged, this, &TMainForm::syncToolbar);
    connect(edit, &QTextEdit::currentCharFormatChanged, this, &TMainForm::syncToolbar);
}

void TMainForm::connectInsertCommands() {
    // "obiekt1" has never had a command of its own.
    const std::pair<QAction*, InsertCommand> commands[] = {
        {ui_->nagwek1, InsertCommand::Header},
        {ui_->stopk1, InsertCommand::Footer},
        {ui_->firm1, InsertCommand::Company},
        {ui_->biecy1, InsertCommand::CurrentItem},
        {ui_->wszystkiewidoczne1, InsertCommand::ListedItems},
        {ui_->danezbiecejzakadki1, InsertCommand::Attributes},
        {ui_->wchodzido1, InsertCommand::GoesInto},
        {ui_->skadasi1, InsertCommand::ConsistsOf},
        {ui_->zamienniki1, InsertCommand::Substitutes},
        {ui_->notatki1, InsertCommand::Notes},
        {ui_->cenyzakupu1, InsertCommand::PurchasePrices}};
    for (const auto& [action, command] : commands)
        connect(action, &QAction::triggered, this, ui::guardedSlot([this, c = command] {
                    // The header and footer files edited here take no catalogue data, and a
                    // text that may not be changed takes none either.
                    if (fileMode_ || ui_->RichEdit1->isReadOnly() || !insertRequested) return;
                    insertRequested(c);
                }));
    connect(ui_->Wstaw1, &QMenu::aboutToShow, this, [this] {
        const bool writable = !fileMode_ && !ui_->RichEdit1->isReadOnly() && insertRequested;
        for (QAction* a : ui_->Wstaw1->actions())
            if (a != ui_->obiekt1 && !a->isSeparator()) a->setEnabled(writable);
    });
}

void TMainForm::initialise() {
    fontName_->setCurrentFont(ui_->RichEdit1->document()->defaultFont());
    ui_->Ruler->follow();
    syncToolbar();
}

void TMainForm::setCaption() {
    const QString shown = QFileInfo(fileName_).fileName();
    setWindowTitle(fileMode_ ? shown : QStringLiteral("%1 - %2").arg(shown, description_));
}

void TMainForm::setTextReadOnly(bool readOnly) {
    const bool locked = readOnly || !st_.fullRights();
    ui_->RichEdit1->setReadOnly(locked);
    for (QAction* a : {ui_->FileSaveItem, ui_->FileSaveAsItem, ui_->EditCutItem, ui_->EditPasteItem,
                       ui_->EditUndoItem, ui_->miEditFont, ui_->FormatBold, ui_->FormatItalic,
                       ui_->FormatUnderline, ui_->AlignLeft, ui_->AlignCenter, ui_->AlignRight,
                       ui_->FormatBullets})
        a->setEnabled(!locked);
    fontName_->setEnabled(!locked);
    fontSize_->setEnabled(!locked);
}

void TMainForm::syncToolbar() {
    updating_ = true;
    const QTextCursor c = ui_->RichEdit1->textCursor();
    const QTextCharFormat f = c.charFormat();
    const QFont font = f.font();
    ui_->FormatBold->setChecked(font.bold());
    ui_->FormatItalic->setChecked(font.italic());
    ui_->FormatUnderline->setChecked(font.underline());
    ui_->FormatBullets->setChecked(c.currentList() != nullptr);
    fontSize_->setValue(int(font.pointSizeF() > 0 ? font.pointSizeF() : 10));
    fontName_->setCurrentFont(font);
    const Qt::Alignment a = c.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    ui_->AlignCenter->setChecked(a == Qt::AlignHCenter);
    ui_->AlignRight->setChecked(a == Qt::AlignRight);
    ui_->AlignLeft->setChecked(a != Qt::AlignHCenter && a != Qt::AlignRight);
    ui_->Ruler->follow();
    updating_ = false;
}

void TMainForm::applyFormat(const QTextCharFormat& format) {
    QTextCursor c = ui_->RichEdit1->textCursor();
    if (c.hasSelection()) c.mergeCharFormat(format);
    ui_->RichEdit1->mergeCurrentCharFormat(format);
}

void TMainForm::setAlignment(Qt::Alignment alignment) {
    ui_->RichEdit1->setAlignment(alignment);
    syncToolbar();
}

void TMainForm::setBullets(bool on) {
    QTextCursor c = ui_->RichEdit1->textCursor();
    c.beginEditBlock();
    if (on) {
        c.createList(QTextListFormat::ListDisc);
    } else if (QTextList* list = c.currentList()) {
        list->remove(c.block());
        QTextBlockFormat f = c.blockFormat();
        f.setIndent(0);
        c.setBlockFormat(f);
    }
    c.endEditBlock();
}

QString TMainForm::targetPath() const {
    return fileMode_ ? fileName_ : offerFilePath(st_.MainFolder, offerNr_);
}

bool TMainForm::loadInto(const QString& path) {
    QString why;
    if (!loadDocument(path, *ui_->RichEdit1->document(), &why)) {
        ui::messages().error(ui::errorCaption(),
                             QStringLiteral("Nie można otworzyć pliku %1.\n%2").arg(path, why));
        return false;
    }
    return true;
}

// The editor set on an offer's own file with an empty text, after the questions that guard the
// text it held; false when one of them stopped it.
bool TMainForm::startOffer(int offerNr, const QString& description) {
    if (beforeReplace && !beforeReplace()) return false;
    if (!saveQuestion()) return false;
    fileMode_ = false;
    offerNr_ = offerNr;
    description_ = description;
    fileName_ = offerFilePath(st_.MainFolder, offerNr);
    ui_->RichEdit1->clear();
    initialise();
    return true;
}

bool TMainForm::openOffer(int offerNr, const QString& description) {
    if (!startOffer(offerNr, description)) return false;
    // A missing file (a new offer left before its first save) opens empty; saving creates it.
    loadInto(fileName_);
    stamp_ = stampOf(fileName_);
    ui_->RichEdit1->document()->setModified(false);
    setTextReadOnly(ui_->FileOpenReadOnlyItem->isChecked());
    setCaption();
    syncToolbar();
    return true;
}

bool TMainForm::createOfferFile(int offerNr, const QString& description) {
    if (!startOffer(offerNr, description)) return false;
    stamp_ = stampOf(fileName_);
    if (!FileSaveItemClick()) return false;
    return openOffer(offerNr, description);
}

void TMainForm::editFile(const QString& path) {
    fileMode_ = true;
    offerNr_ = 0;
    description_.clear();
    fileName_ = path;
    ui_->RichEdit1->clear();
    initialise();
    if (QFileInfo::exists(path)) loadInto(path);
    stamp_ = stampOf(path);
    ui_->RichEdit1->document()->setModified(false);
    setTextReadOnly(false);
    setCaption();
    setWindowModality(Qt::ApplicationModal);
    ui_->BitBtn1->hide();
    show();
}

bool TMainForm::saveQuestion() {
    if (!isTextModified()) return true;
    ui::Message m;
    m.kind = ui::Message::Kind::Question;
    m.caption = ui::cautionCaption();
    m.text = QStringLiteral("Zapisać zmiany do pliku %1?").arg(fileName_);
    m.buttons = {ui::Button::Ok, ui::Button::Cancel};
    m.defaultButton = ui::Button::Ok;
    if (ui::messages().show(m) != ui::Button::Ok) return true;
    return FileSaveItemClick();
}

bool TMainForm::writeDocument(const QTextDocument& doc) {
    const QString target = targetPath();
    const FileStamp now = stampOf(target);
    if (now.exists && now != stamp_ &&
        !ui::messages().question(
            QStringLiteral("Plik %1 został zmieniony przez innego użytkownika. Zastąpić go ?")
                .arg(target),
            ui::Button::No))
        return false;
    QString why;
    if (!saveDocument(target, doc, &why)) {
        ui::messages().error(ui::errorCaption(),
                             QStringLiteral("Nie można zapisać pliku %1.\n%2").arg(target, why));
        return false;
    }
    stamp_ = stampOf(target);
    return true;
}

void TMainForm::FileNewItemClick() {
    fileName_ = kUntitled;
    ui_->RichEdit1->clear();
    ui_->RichEdit1->document()->setModified(false);
    setCaption();
}

void TMainForm::FileOpenItemClick() {
    if (!saveQuestion()) return;
    const QString path = ui::fileDialogs().openFileName(QStringLiteral("Otwórz"),
                                                        offersFolder(st_.MainFolder), kRtfFilter);
    if (path.isEmpty()) return;
    if (!loadInto(path)) return;
    // An offer's text is saved into the offer's own file, so that is the name shown and asked
    // about; elsewhere the file opened is the one saved.
    if (fileMode_ || offerNr_ == 0) fileName_ = path;
    if (fileMode_) stamp_ = stampOf(path);
    setCaption();
    ui_->RichEdit1->setFocus();
    ui_->RichEdit1->document()->setModified(false);
    setTextReadOnly(ui_->FileOpenReadOnlyItem->isChecked());
}

bool TMainForm::FileSaveItemClick() {
    if (fileName_ == kUntitled || (!fileMode_ && offerNr_ == 0)) return FileSaveAsItemClick();
    if (!writeDocument(*ui_->RichEdit1->document())) return false;
    ui_->RichEdit1->document()->setModified(false);
    return true;
}

bool TMainForm::FileSaveAsItemClick() {
    const QString path = ui::fileDialogs().saveFileName(QStringLiteral("Zapisz jako"),
                                                        offersFolder(st_.MainFolder), kRtfFilter);
    if (path.isEmpty()) return false;
    if (QFileInfo::exists(path)) {
        ui::Message m;
        m.kind = ui::Message::Kind::Question;
        m.caption = ui::cautionCaption();
        m.text = QStringLiteral("Zastąpić istniejący plik %1").arg(path);
        m.buttons = {ui::Button::Yes, ui::Button::No, ui::Button::Cancel};
        m.defaultButton = ui::Button::No;
        if (ui::messages().show(m) != ui::Button::Yes) return false;
    }
    QString why;
    if (!saveDocument(path, *ui_->RichEdit1->document(), &why)) {
        ui::messages().error(ui::errorCaption(),
                             QStringLiteral("Nie można zapisać pliku %1.\n%2").arg(path, why));
        return false;
    }
    fileName_ = path;
    if (fileMode_ || path == targetPath()) stamp_ = stampOf(path);
    setCaption();
    ui_->RichEdit1->document()->setModified(false);
    return true;
}

void TMainForm::FileSavePdfItemClick() {
    QString suggested = QFileInfo(fileName_).completeBaseName();
    const QString path = ui::fileDialogs().saveFileName(
        QStringLiteral("Zapisz jako PDF"), offersFolder(st_.MainFolder),
        QStringLiteral("Pliki PDF (*.pdf);;Wszystkie pliki (*)"));
    if (path.isEmpty()) return;
    QString why;
    if (!saveDocumentPdf(path, *ui_->RichEdit1->document(),
                         description_.isEmpty() ? suggested : description_, &why))
        ui::messages().error(ui::errorCaption(),
                             QStringLiteral("Nie można zapisać pliku %1.\n%2").arg(path, why));
}

void TMainForm::FilePrintItemClick() {
    if (!platform::printers().any()) {
        ui::messages().information(QStringLiteral("Brak zainstalowanej drukarki"));
        return;
    }
    QPrinter printer;
    printer.setDocName(fileName_);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    if (ui::modalRunner().run(dialog) != QDialog::Accepted) return;
    ui_->RichEdit1->document()->print(&printer);
}

void TMainForm::miEditFontClick() {
    QFontDialog dialog(ui_->RichEdit1->currentCharFormat().font(), this);
    dialog.setObjectName(QStringLiteral("FontDialog"));
    if (ui::modalRunner().run(dialog) != QDialog::Accepted) return;
    QTextCharFormat f;
    f.setFont(dialog.selectedFont());
    applyFormat(f);
    syncToolbar();
}

void TMainForm::BitBtn1Click() {
    if (moveToPane) moveToPane();
}

MovedText TMainForm::takeText() {
    MovedText out;
    out.document.reset(ui_->RichEdit1->document()->clone());
    out.fileName = fileName_;
    out.modified = isTextModified();
    ui_->RichEdit1->clear();
    ui_->RichEdit1->document()->setModified(false);
    return out;
}

void TMainForm::putText(MovedText text) {
    adoptText(ui_->RichEdit1, std::move(text.document), text.modified);
    fileName_ = text.fileName;
    setCaption();
    syncToolbar();
}

void adoptText(QTextEdit* edit, std::unique_ptr<QTextDocument> document, bool modified) {
    // The document itself changes hands, with its pictures and list formats.
    // The edit's first document belongs to the edit's own text control, which deletes it when
    // another takes its place; the ones given here belong to the edit.
    QPointer<QTextDocument> old = edit->document();
    if (!document) document = std::make_unique<QTextDocument>();
    document->setParent(edit);
    edit->setDocument(document.release());
    if (old && old->parent() == edit) delete old.data();
    edit->document()->setModified(modified);
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    // The editor in front: the list it came from goes, and typing goes into the text.
    if (activated) activated();
    ui_->RichEdit1->setFocus();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    bool ok = false;
    ui::guarded([&] { ok = saveQuestion(); });
    if (!ok) {
        event->ignore();
        return;
    }
    event->accept();
    if (fileMode_) {
        fileMode_ = false;
        setWindowModality(Qt::NonModal);
        ui_->BitBtn1->show();
        return;
    }
    if (closed) closed();
}

} // namespace offers
