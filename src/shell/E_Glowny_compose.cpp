// The insert commands of the offers page's pop-up menu, of the "Wstaw" main menu and of the offer
// editor: lines of catalogue data, the company block, the header and the footer written into the
// document being composed.
#include "offers/REMain.h"
#include "offers/composelines.h"
#include "offers/composetext.h"
#include "shell/E_Glowny.h"
#include "store/mainfolder_schema.h"
#include "ui/busycursor.h"
#include "ui/cancellable.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui_E_Glowny.h"
#include <QDir>
#include <QTextCursor>
#include <QTextEdit>

namespace shell {

namespace {

using offers::InsertCommand;

// Above this many listed items the user is asked first: the document grows by as many lines.
constexpr int kAskAboveRows = 10000;

} // namespace

void TForm_Pelk::connectCompose() {
    auto& f = *ui_;
    // The pop-up's item and the main menu's item of each command (the pop-up has no "all listed
    // items").
    const std::tuple<InsertCommand, QAction*, QAction*> commands[] = {
        {InsertCommand::Header, f.Wstawnagwek1, f.wstawnagwek2},
        {InsertCommand::Footer, f.Wstawstopk1, f.wstawstopk2},
        {InsertCommand::Company, f.Wstawfirm1, f.wstawfirm2},
        {InsertCommand::CurrentItem, f.Wstawobiekt1, f.biecy2},
        {InsertCommand::ListedItems, nullptr, f.wszystkiewidoczne2},
        {InsertCommand::Attributes, f.Wstawdanezbiecejzakadki1, f.wstawwasnoci1},
        {InsertCommand::GoesInto, f.Wstawwchodzido1, f.wstawwchodzido2},
        {InsertCommand::ConsistsOf, f.Wstawskadasi1, f.Wstawskadasi2},
        {InsertCommand::Substitutes, f.Wstawzamienniki1, f.wstawzamienniki2},
        {InsertCommand::Notes, f.Wstawnotatki1, f.Wstawnotatki2},
        {InsertCommand::PurchasePrices, f.Wstawcenyzakupu1, f.wstawcenyzakupukonkurencji1}};
    for (const auto& [command, popup, menu] : commands)
        for (QAction* a : {popup, menu})
            if (a)
                connect(a, &QAction::triggered, this,
                        guard([this, c = command] { insertIntoDocument(c); }));
    // The pop-up's items say what they insert: the current item, and its attributes whatever
    // page the notebook shows.
    f.Wstawobiekt1->setText(QStringLiteral("Wstaw bieżący obiekt"));
    f.Wstawdanezbiecejzakadki1->setText(QStringLiteral("Wstaw własności"));
}

QTextEdit* TForm_Pelk::composeTarget() const {
    if (offerEditor_ && offerEditor_->isVisible()) return offerEditor_->textArea();
    return ui_->RichEdit1;
}

void TForm_Pelk::insertIntoDocument(offers::InsertCommand command) {
    QTextEdit* target = composeTarget();
    // A text opened for reading only takes nothing.
    if (target->isReadOnly()) return;
    QTextDocument& doc = *target->document();
    auto& s = state_;
    const QString folder = s.CurrentCatalogueFolder;
    const auto& item = s.TFTowar;
    const bool hasItem = !folder.isEmpty() && item.isOpen() && !item.isEmpty();
    const int itemNr = hasItem ? item.asInteger(QStringLiteral("Tow_nr")) : 0;
    switch (command) {
    case InsertCommand::Header:
    case InsertCommand::Footer: {
        const QString path = QDir(s.MainFolder)
                                 .filePath(command == InsertCommand::Header ? store::kHeaderFile
                                                                            : store::kFooterFile);
        QTextCursor at = target->textCursor();
        QString why;
        if (!offers::insertDocumentFile(at, path, &why)) {
            ui::messages().error(ui::errorCaption(),
                                 QStringLiteral("Nie można otworzyć pliku %1.\n%2").arg(path, why));
            return;
        }
        target->setTextCursor(at);
        return;
    }
    case InsertCommand::Company:
        offers::appendLines(doc, offers::companyLines(s.PickedCompanyBlock));
        return;
    case InsertCommand::CurrentItem:
        // With no item listed there is no line to write.
        if (!hasItem) return;
        offers::appendLines(doc,
                            {offers::itemLine(item, offers::readComposeSwitches(folder).items)});
        return;
    case InsertCommand::ListedItems:
        insertListedItems(doc);
        return;
    case InsertCommand::Attributes:
        offers::appendLines(doc, offers::attributeLines(folder, itemNr));
        return;
    case InsertCommand::GoesInto:
        offers::appendLines(doc, offers::goesIntoLines(
                                     folder, itemNr, offers::readComposeSwitches(folder).goesInto));
        return;
    case InsertCommand::ConsistsOf:
        offers::appendLines(
            doc, offers::consistsOfLines(folder, itemNr,
                                         offers::readComposeSwitches(folder).consistsOf));
        return;
    case InsertCommand::Substitutes:
        offers::appendLines(
            doc, offers::substituteLines(folder, itemNr,
                                         offers::readComposeSwitches(folder).substitutes));
        return;
    case InsertCommand::Notes:
        offers::appendLines(
            doc,
            offers::noteLines(hasItem ? item.asString(QStringLiteral("Tow_Uwagi")) : QString()));
        return;
    case InsertCommand::PurchasePrices:
        offers::appendLines(doc, offers::purchasePriceLines(folder, itemNr, s.PriceRight));
        return;
    }
}

void TForm_Pelk::insertListedItems(QTextDocument& doc) {
    auto& s = state_;
    engine::DataSet& list = s.Query.queryActive && s.QTowar.isOpen()
                                ? static_cast<engine::DataSet&>(s.QTowar)
                                : static_cast<engine::DataSet&>(s.TFTowar);
    if (s.CurrentCatalogueFolder.isEmpty() || !list.isOpen() || list.isEmpty()) return;
    const int rows = list.recordCount();
    if (rows > kAskAboveRows &&
        !ui::messages().question(QStringLiteral("Wstawić %1 pozycji do dokumentu ?").arg(rows)))
        return;
    // A reader of its own walks the rows, so the list on screen neither moves nor repaints.
    const offers::ItemListSource source = offers::itemListSource(list);
    const offers::ColumnSwitches on = offers::readComposeSwitches(s.CurrentCatalogueFolder).items;
    ui::BusyCursor busy;
    // A cancelled walk leaves the lines written so far.
    ui::runCancellable(*list.database(), this, QStringLiteral("Wstawianie pozycji do dokumentu..."),
                       [&] {
                           offers::listedItemLines(source, on, [&](const QStringList& lines) {
                               offers::appendLines(doc, lines);
                               return true;
                           });
                       });
}

} // namespace shell
