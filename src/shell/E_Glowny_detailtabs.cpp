// The detail notebook's own controls on the main window: the go-to buttons, the drawings page's
// picture, the notes memo's view and edit modes, the price and loan grids, and the column widths
// the display configuration gives the item grid and the relation grids.
#include "engine/error.h"
#include "engine/table.h"
#include "shell/E_Glowny.h"
#include "shell/detailtabs.h"
#include "shell/gridwidths.h"
#include "ui_E_Glowny.h"
#include <QFocusEvent>
#include <QPixmap>
#include <QScopedValueRollback>

namespace shell {

namespace {

// The fields of the configurable grids' columns in the order of their switches' sizes.
const char* const kItemFields[] = {"Tow_Nazwa",    "Tow_Nazwa2", "Tow_Symbol",
                                   "Tow_kod_prod", "Tow_SRP",    "Tow_Cena_A",
                                   "Tow_Cena_B",   "Tow_Cena_C", "Calc_Ilosc_jm"};
const char* const kGoesIntoFields[] = {
    "Pomoc_Tow_Nazwa",       "Pomoc_Towar_Nazwa2", "Pomoc_Tow_Symbol",
    "Pomoc_Tow_Symbol_Prod", "Sklada_il_szt",      "Pomoc_SRP",
    "Pomoc_Tow_Cena_A",      "Pomoc_Tow_Cena_B",   "Pomoc_Tow_Cena_C"};
const char* const kConsistsOfFields[] = {
    "Pomoc_Tow_Nazwa",       "Pomoc_Tow_Nazwa2", "Pomoc_Tow_Symbol",
    "Pomoc_Tow_Symbol_Prod", "Sklada_il_szt",    "Pomoc_Tow_SRP",
    "Pomoc_Tow_Cena_A",      "Pomoc_Tow_Cena_B", "Pomoc_Tow_Cena_C"};
const char* const kSubstituteFields[] = {"Zam_Tow_Nazwa",    "Pomoc_Tow_Nazwa2", "Zam_Tow_Symbol",
                                         "Zam_Tow_Kod_Prod", "Pomoc_Tow_SRP",    "Pomoc_Tow_Cena_A",
                                         "Pomoc_Tow_Cena_B", "Pomoc_Tow_Cena_C"};

template <class Fields>
void applyWidths(ui::DbGrid* grid, const Fields& fields, const std::vector<int>& widths) {
    std::size_t i = 0;
    for (const char* field : fields) {
        const int w = i < widths.size() ? widths[i] : 0;
        ++i;
        const QString name = QLatin1String(field);
        grid->setColumnVisible(name, w > 0);
        if (w > 0) grid->setFieldWidth(name, w);
    }
}

struct Column {
    const char* field;
    const char* title;
    int width;
};

template <class Columns> void addColumns(ui::DbGrid* grid, const Columns& columns) {
    for (const Column& c : columns)
        grid->addColumn(QLatin1String(c.field), QString::fromUtf8(c.title), c.width);
}

// The price list: the supplier, the prices as given, their currency, the same prices in the
// home currency, the date.
const Column kPriceColumns[] = {{"Pomoc_Firma_Nazwa", "Firma", 180},
                                {"Cena_1", "Cena A", 70},
                                {"Cena_2", "Cena B", 70},
                                {"Cena_3", "Cena C", 70},
                                {"Cena_SRP", "Cena SRP", 70},
                                {"Pomoc_Waluta_Nazwa", "Waluta", 60},
                                {"Pomoc_Waluta_kurs", "Kurs", 60},
                                {"Obl_Cena_1", "Obl. cena A", 75},
                                {"Obl_Cena_2", "Obl. cena B", 75},
                                {"Obl_Cena_3", "Obl. cena C", 75},
                                {"Obl_Cena_SRP", "Obl. cena SRP", 85},
                                {"Cena_Data", "Data", 80}};

const Column kLoanColumns[] = {{"Osoba_Nazwa", "Osoba", 250},
                               {"Wypozycz_Pobrano", "Pobrano", 90},
                               {"Wypozycz_Zwrocono", "Zwrócono", 90},
                               {"Wypozycz_Ilosc", "Ilość", 60},
                               {"Wypozycz_Oddano", "Oddano", 60}};

} // namespace

void TForm_Pelk::connectDetailTabs() {
    auto& s = state_;
    DetailTabs& tabs = controller_->detailTabs();

    ui_->DBGrid_Rysunek->addColumn(QStringLiteral("Grafika_Opis"), QStringLiteral("Opis"), 250);
    addColumns(ui_->DBGrid_Cena, kPriceColumns);
    ui_->DBGrid_Cena->setMoneyFields(
        {QStringLiteral("Cena_1"), QStringLiteral("Cena_2"), QStringLiteral("Cena_3"),
         QStringLiteral("Cena_SRP"), QStringLiteral("Obl_Cena_1"), QStringLiteral("Obl_Cena_2"),
         QStringLiteral("Obl_Cena_3"), QStringLiteral("Obl_Cena_SRP")});
    ui_->DBText_Cena_Uwagi->setField(QStringLiteral("Cena_Uwaga"));
    addColumns(ui_->DBGrid_Wypozycz, kLoanColumns);
    ui_->DBGrid_Wypozycz->setDataSet(&s.TWypozycz);

    command(ui_->BB_Wchodzi_do_idz_do, &TForm_Pelk::BB_Wchodzi_do_idz_doClick);
    command(ui_->BB_Sklada_sie_idz_do, &TForm_Pelk::BB_Sklada_sie_idz_doClick);
    command(ui_->BB_Zamiennika_idz_do, &TForm_Pelk::BB_Zamiennika_idz_doClick);

    connect(&tabs, &DetailTabs::pictureChanged, this, &TForm_Pelk::showPicture);
    connect(ui_->CBox_Dopasowany, &QCheckBox::toggled, this, guard([this] { showPicture(); }));
    connect(ui_->CBox_Widoczny, &QCheckBox::toggled, this, [this](bool shown) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{ui_->DBImage, ui_->CBox_Dopasowany, ui_->BB_Duzy})
            w->setVisible(shown);
        ui::guarded([this, shown] { controller_->detailTabs().setPicturesShown(shown); });
    });

    ui_->DBMemo_Uwagi->installEventFilter(this);
    // Only a user who may change items gets the edit mode.
    connect(ui_->TNotebook, &QTabWidget::currentChanged, this, [this](int page) {
        if (page != DetailTabs::Notes) return;
        ui::guarded([this] {
            ui_->RadioButton_Edycja->setEnabled(controller_->detailTabs().mayEditNotes());
        });
    });
}

void TForm_Pelk::showPicture() {
    QLabel* image = ui_->DBImage;
    QPixmap picture;
    const QByteArray bytes = controller_->detailTabs().picture();
    // Whatever format the bytes are in: the library keeps files as they were chosen.
    if (!bytes.isEmpty()) picture.loadFromData(bytes);
    image->setScaledContents(ui_->CBox_Dopasowany->isChecked());
    if (picture.isNull())
        image->clear();
    else
        image->setPixmap(picture);
}

bool TForm_Pelk::notesEvent(QEvent* event) {
    auto* memo = ui_->DBMemo_Uwagi;
    DetailTabs& tabs = controller_->detailTabs();
    if (event->type() == QEvent::FocusIn) {
        const bool edit = ui_->RadioButton_Edycja->isChecked() && tabs.beginNotes();
        memo->setReadOnly(!edit);
        if (!edit) ui_->RadioButton_Podglad->setChecked(true);
    } else if (event->type() == QEvent::FocusOut) {
        // A dialog or another window taking the focus for a while does not end the editing.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
        tabs.endNotes(memo->toPlainText());
        memo->setReadOnly(true);
        ui_->RadioButton_Podglad->setChecked(true);
    }
    return false;
}

void TForm_Pelk::BB_Wchodzi_do_idz_doClick() {
    controller_->goToRelated(DetailTabs::GoesInto);
}

void TForm_Pelk::BB_Sklada_sie_idz_doClick() {
    controller_->goToRelated(DetailTabs::ConsistsOf);
}

void TForm_Pelk::BB_Zamiennika_idz_doClick() {
    controller_->goToRelated(DetailTabs::Substitutes);
}

void TForm_Pelk::BB_idz_doClick() {
    controller_->goToRelated(detailTab());
}

void TForm_Pelk::BB_Odswiez_GridyClick() {
    if (!state_.StartupDone || state_.CurrentCatalogueFolder.isEmpty()) return;
    GridColumns items, goesInto, consistsOf, substitutes;
    try {
        // A table object of its own: the preferences may be editing the shared one.
        engine::Table konfig(state_.CurrentCatalogueFolder, QStringLiteral("Konfig_i"));
        konfig.open();
        // A configuration without its row leaves the columns as they are rather than hide them.
        if (konfig.isEmpty()) return;
        items = readGridColumns(konfig, QStringLiteral("i"));
        goesInto = readGridColumns(konfig, QStringLiteral("iW"));
        consistsOf = readGridColumns(konfig, QStringLiteral("iS"));
        substitutes = readGridColumns(konfig, QStringLiteral("iZ"));
    } catch (const engine::EngineError&) {
        return; // reported when the configuration was read; resizing must not repeat it
    }
    std::vector<ColumnSize> itemSizes = itemGridSizes(items);
    for (std::size_t i = 0; i < itemSizes.size(); ++i)
        itemSizes[i].nominal =
            rememberedItemWidth(QLatin1String(kItemFields[i]), itemSizes[i].nominal);
    {
        const QScopedValueRollback byProgram(itemWidthsByProgram_, true);
        applyWidths(ui_->DBGrid_Towary, kItemFields,
                    fittedWidths(itemSizes, items.fit, ui_->DBGrid_Towary->width() - 35));
    }
    applyWidths(
        ui_->DBGrid_Wchodzi, kGoesIntoFields,
        fittedWidths(relationGridSizes(goesInto), goesInto.fit, ui_->DBGrid_Wchodzi->width()));
    applyWidths(
        ui_->DBGrid_Sklada, kConsistsOfFields,
        fittedWidths(relationGridSizes(consistsOf), consistsOf.fit, ui_->DBGrid_Sklada->width()));
    applyWidths(ui_->DBGrid_Zamienniki, kSubstituteFields,
                fittedWidths(substituteGridSizes(substitutes), substitutes.fit,
                             ui_->DBGrid_Zamienniki->width() - 15, 5));
    const auto attributes = attributeWidths(ui_->DBGrid_Wlasnosci->width());
    ui_->DBGrid_Wlasnosci->setFieldWidth(QStringLiteral("Nowa_Cecha"), attributes[0]);
    ui_->DBGrid_Wlasnosci->setFieldWidth(QStringLiteral("Opis_Opis"), attributes[1]);
}

} // namespace shell
