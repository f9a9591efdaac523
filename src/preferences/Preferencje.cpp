#include "preferences/Preferencje.h"
#include "engine/error.h"
#include "engine/table.h"
#include "offers/REMain.h"
#include "offers/offerfiles.h"
#include "orders/orderdocs.h"
#include "partners/Ak_firma.h"
#include "partners/Ak_tel.h"
#include "partners/Ak_walut.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "preferences/bindings.h"
#include "preferences/folders.h"
#include "shell/Otw_baze.h"
#include "store/mainfolder_schema.h"
#include "store/mainstate.h"
#include "store/settings.h"
#include "ui/errorbox.h"
#include "ui/filedialogs.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui_Preferencje.h"
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QSpinBox>

namespace preferences {

namespace {

const QString kCloseQuestion =
    QStringLiteral("Ustawienia zostały zmodyfikowane. Zapisać wprowadzone zmiany ?");
const QString kBackupFailed =
    QStringLiteral("Polecenie wykonane nieprawodłowo. Kopia zapasowa nie została wykonana !");
const QString kRestartNeeded = QStringLiteral("Zmiana podstawowej bazy danych zostanie "
                                              "uwzględniona po ponownym uruchomieniu programu.");
const QString kNoCatalogue =
    QStringLiteral("W wybranym folderze nie ma bazy danych programu (tabeli Dane) !");
const QString kNotProgram = QStringLiteral("Wybrany plik nie jest programem !");
const QString kNotPicture = QStringLiteral("Wybrany plik nie jest rysunkiem BMP, PNG ani JPEG !");
const QString kProgramFilter = QStringLiteral("Programy (*)");
constexpr int kLogoWidth = 330, kLogoHeight = 80;

// The row of `table` in `folder` whose `keyField` is `nr`, open and current; nothing for 0 or
// a row that is gone.
std::unique_ptr<engine::Table> rowOf(const QString& folder, const QString& table,
                                     const QString& keyField, int nr) {
    if (nr == 0 || folder.isEmpty()) return {};
    auto t = std::make_unique<engine::Table>(folder, table);
    t->setFilter(keyField + QStringLiteral("=") + QString::number(nr));
    t->setFiltered(true);
    t->open();
    if (t->isEmpty()) return {};
    return t;
}

} // namespace

TEkr_Preferencje::TEkr_Preferencje(store::MainState& state, QWidget* parent)
    : ui::WorkDialog(kCloseQuestion, parent), st_(state),
      ui_(std::make_unique<Ui::TEkr_Preferencje>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("TEkr_Preferencje"));
    ui::setHelpContext(this, 2900);
    connectControls();
    watchChanges();
}

TEkr_Preferencje::~TEkr_Preferencje() = default;

offers::TMainForm* TEkr_Preferencje::documentEditor() const {
    return editor_;
}

std::array<std::pair<QLineEdit*, QLabel*>, 5> TEkr_Preferencje::captions() const {
    return {{{ui_->Edit_Nazwa1, ui_->Label_Pole1},
             {ui_->Edit_Nazwa2, ui_->Label_Pole2},
             {ui_->Edit_Symbol, ui_->Label_Pole3},
             {ui_->Edit_Kod_Prod, ui_->Label_Pole4},
             {ui_->Edit_Producent, ui_->Label_Firma}}};
}

template <class W> W* TEkr_Preferencje::control(const QString& name) const {
    return findChild<W*>(name);
}

void TEkr_Preferencje::connectControls() {
    auto on = [this](QAbstractButton* b, void (TEkr_Preferencje::*slot)()) {
        connect(b, &QAbstractButton::clicked, this, ui::guardedSlot(this, slot));
    };
    on(ui_->BB_Zapisz, &TEkr_Preferencje::BB_ZapiszClick);
    // "Anuluj" closes as every other way does: with the question when something changed.
    on(ui_->BB_Anuluj, &TEkr_Preferencje::BB_PowrotClick);
    on(ui_->BB_Powrot, &TEkr_Preferencje::BB_PowrotClick);
    on(ui_->BB_Test1, &TEkr_Preferencje::BB_Test1Click);
    on(ui_->BB_Test2, &TEkr_Preferencje::BB_Test2Click);
    on(ui_->SB_Firma, &TEkr_Preferencje::SB_FirmaClick);
    on(ui_->SB_Kontakt, &TEkr_Preferencje::SB_KontaktClick);
    on(ui_->SB_Waluta, &TEkr_Preferencje::SB_WalutaClick);
    on(ui_->SB_Baza, &TEkr_Preferencje::SB_BazaClick);
    on(ui_->SB_Przegladarka, &TEkr_Preferencje::SB_PrzegladarkaClick);
    on(ui_->SB_Program, &TEkr_Preferencje::SB_ProgramClick);
    on(ui_->BB_Kopia, &TEkr_Preferencje::BB_KopiaClick);
    on(ui_->BB_Z_dysku, &TEkr_Preferencje::BB_Z_dyskuClick);
    on(ui_->BB_Wyczysc, &TEkr_Preferencje::BB_WyczyscClick);
    on(ui_->BB_Edytuj_Naglowek, &TEkr_Preferencje::BB_Edytuj_NaglowekClick);
    on(ui_->BB_Odswiez_Naglowek, &TEkr_Preferencje::BB_Odswiez_NaglowekClick);
    on(ui_->BB_Edytuj_Stopke, &TEkr_Preferencje::BB_Edytuj_StopkeClick);
    on(ui_->BB_Odswiez_Stopke, &TEkr_Preferencje::BB_Odswiez_StopkeClick);

    // The basic panel is always there: the item editor cannot do without it.
    connect(ui_->CB_P_Podstawowy, &QCheckBox::toggled, this, [this](bool checked) {
        if (!checked) ui_->CB_P_Podstawowy->setChecked(true);
    });
    connect(ui_->CB_Przypomnienie, &QCheckBox::toggled, this, [this] { showReminder(); });
    // Leaving a caption field shows it among the captions at the top.
    for (auto [edit, label] : captions())
        connect(edit, &QLineEdit::editingFinished, label,
                [edit, label] { label->setText(edit->text()); });
}

// Every control a user can change marks the dialog changed; values put in while loading do not.
void TEkr_Preferencje::watchChanges() {
    auto changed = [this] { changedByUser(); };
    for (auto* e : findChildren<QLineEdit*>())
        connect(e, &QLineEdit::textChanged, this, changed);
    for (auto* c : findChildren<QComboBox*>())
        connect(c, &QComboBox::currentTextChanged, this, changed);
    for (auto* b : findChildren<QCheckBox*>())
        connect(b, &QCheckBox::toggled, this, changed);
    for (auto* r : findChildren<QRadioButton*>())
        connect(r, &QRadioButton::toggled, this, changed);
    for (auto* s : findChildren<QSpinBox*>())
        connect(s, &QSpinBox::valueChanged, this, changed);
}

void TEkr_Preferencje::changedByUser() {
    if (!loading_) markChanged();
}

// --- Loading ----------------------------------------------------------------------------------

void TEkr_Preferencje::opening() {
    loading_ = true;
    struct Done {
        bool& loading;
        ~Done() { loading = false; }
    } done{loading_};
    // A missing header or footer leaves its preview empty; the rest is loaded all the same.
    loadPreview(ui_->RE_Naglowek, store::kHeaderFile);
    loadPreview(ui_->RE_Stopka, store::kFooterFile);
    settings_ = std::make_unique<store::Settings>(st_.MainFolder);
    loadSettings();
    // Without a readable display configuration its page is out of reach and "Zapisz" leaves it.
    displayLoaded_ = ui::guarded([this] { loadDisplay(); });
    ui_->TS_Wyswietlanie->setEnabled(displayLoaded_);
    for (QTabWidget* tabs : {ui_->PageControl1, ui_->PageControl2, ui_->PageControl3})
        tabs->setCurrentIndex(0);
    filled_ = true;
    markChanged(false);
}

void TEkr_Preferencje::loadSettings() {
    const store::Settings& s = *settings_;
    for (const Binding& b : settingsTexts())
        control<QLineEdit>(b.control)->setText(s.text(b.field));
    for (const Binding& b : settingsFlags())
        control<QCheckBox>(b.control)->setChecked(s.flag(b.field));
    for (const Binding& b : settingsNumbers())
        control<QSpinBox>(b.control)->setValue(s.integer(b.field));
    for (const Binding& b : patternParts())
        control<QComboBox>(b.control)->setEditText(s.text(b.field));

    ownerNr_ = s.integer(QStringLiteral("Pelk_Firma_Nr"));
    contactNr_ = s.integer(QStringLiteral("Pelk_Kontakt_Nr"));
    currencyNr_ = s.integer(QStringLiteral("Pelk_Waluta_Nr"));
    logo_ = s.bytes(QStringLiteral("Pelk_Logo"));
    logoChanged_ = false;
    showLogo();
    storedCatalogue_ = s.text(QStringLiteral("Pelk_Katalog_Glowny"));
    catalogue_ = shownCatalogue(storedCatalogue_, st_.MainFolder);
    showCatalogue();
    showOwner();
    showContact();
    showCurrencyName();

    ui_->CB_Przypomnienie->setChecked(!s.flag(QStringLiteral("Pelk_Kopia_Wykonuj")));
    showReminder();
    ui_->Label_Data->setText(platform::dateText(s.date(QStringLiteral("Pelk_Kopia_Data"))));

    const QString language = s.text(QStringLiteral("Pelk_Wydruk_Jezyk"));
    if (language == u"PL") ui_->RB_Polski->setChecked(true);
    if (language == u"ANG") ui_->RB_Angielski->setChecked(true);
    (s.flag(QStringLiteral("Pelk_Nazwa2_na_wydr")) ? ui_->RB_Nazwa2 : ui_->RB_Nazwa1)
        ->setChecked(true);

    // Switching the login off gives everyone every right: only an administrator may do it, and
    // anyone may switch it on while it is off.
    const bool login = ui_->CB_Haslo->isChecked();
    ui_->CB_Haslo->setEnabled(!login || (st_.AdminRight && st_.fullRights()));

    testPattern(1);
    testPattern(2);
}

void TEkr_Preferencje::loadDisplay() {
    if (st_.CurrentCatalogueFolder.isEmpty())
        throw engine::EngineError(engine::EngineError::Kind::NoDatabase,
                                  QStringLiteral("Nie otwarto żadnej bazy danych."));
    engine::Table konfig(st_.CurrentCatalogueFolder, QStringLiteral("Konfig_i"));
    konfig.open();
    // A configuration without its row shows the designed values; "Zapisz" makes the row.
    if (!konfig.isEmpty()) {
        for (const Binding& b : displayTexts())
            control<QLineEdit>(b.control)->setText(konfig.asString(b.field));
        for (const Binding& b : displayFlags())
            control<QCheckBox>(b.control)->setChecked(konfig.asBoolean(b.field));
    }
    ui_->CB_P_Podstawowy->setChecked(true);
    for (auto [edit, label] : captions())
        label->setText(edit->text());
}

void TEkr_Preferencje::showOwner() {
    QLabel* const labels[] = {ui_->Label_Skrot,       ui_->Label_Nazwa1, ui_->Label_Nazwa2,
                              ui_->Label_Nazwa3,      ui_->Label_Ulica,  ui_->Label_Kod,
                              ui_->Label_Miejscowosc, ui_->Label_NIP};
    const char* const fields[] = {"Firma_Skrot",       "Firma_Nazwa1", "Firma_Nazwa2",
                                  "Firma_Nazwa3",      "Firma_Ulica",  "Firma_Kod_Poczt",
                                  "Firma_Miejscowosc", "Firma_NIP"};
    for (QLabel* l : labels)
        l->clear();
    ownerShort_.clear();
    ui::guarded([&] {
        const auto firma =
            rowOf(catalogue_, QStringLiteral("Firmy"), QStringLiteral("Firma_Nr"), ownerNr_);
        if (!firma) return;
        for (int i = 0; i < 8; ++i)
            labels[i]->setText(firma->asString(QLatin1String(fields[i])));
        ownerShort_ = firma->asString(QStringLiteral("Firma_Skrot"));
    });
    ui_->SB_Kontakt->setEnabled(ownerNr_ != 0);
}

void TEkr_Preferencje::showContact() {
    ui_->Label_Kontakt->clear();
    ui::guarded([&] {
        const auto tel =
            rowOf(catalogue_, QStringLiteral("Telefon"), QStringLiteral("Telefon_Nr"), contactNr_);
        if (tel)
            ui_->Label_Kontakt->setText(tel->asString(QStringLiteral("Telefon_Kontakt")) +
                                        QStringLiteral(" ") +
                                        tel->asString(QStringLiteral("Telefon_Nr_Tel")));
    });
}

void TEkr_Preferencje::showCurrencyName() {
    ui_->Label_Waluta->clear();
    ui::guarded([&] {
        const auto waluta =
            rowOf(catalogue_, QStringLiteral("Waluta"), QStringLiteral("Waluta_Nr"), currencyNr_);
        if (waluta) ui_->Label_Waluta->setText(waluta->asString(QStringLiteral("Waluta_Nazwa")));
    });
}

void TEkr_Preferencje::showLogo() {
    QPixmap picture;
    if (!logo_.isEmpty() && picture.loadFromData(logo_))
        ui_->Image_Logo->setPixmap(
            picture.scaled(kLogoWidth, kLogoHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        ui_->Image_Logo->clear();
}

void TEkr_Preferencje::showReminder() {
    const bool reminded = !ui_->CB_Przypomnienie->isChecked();
    ui_->GroupBox_Ustawienia->setVisible(reminded);
    ui_->GroupBox_Program->setVisible(reminded);
}

void TEkr_Preferencje::showCatalogue() {
    ui_->Label_Baza->setText(catalogue_);
}

bool TEkr_Preferencje::loadPreview(QTextEdit* preview, const QString& fileName) {
    preview->clear();
    const QString path = QDir(st_.MainFolder).filePath(fileName);
    QString why;
    if (!offers::loadDocument(path, *preview->document(), &why)) {
        preview->clear();
        ui::messages().error(ui::errorCaption(), QStringLiteral("Nie można otworzyć pliku %1.\n%2")
                                                     .arg(QDir::toNativeSeparators(path), why));
        return false;
    }
    return true;
}

// --- Saving -----------------------------------------------------------------------------------

bool TEkr_Preferencje::save() {
    if (!filled_) return false;
    writeSettings();
    if (displayLoaded_) writeDisplay();
    saved_ = true;
    logoChanged_ = false;
    const QString stored = catalogueToStore(catalogue_, storedCatalogue_, st_.MainFolder);
    if (stored != storedCatalogue_) {
        storedCatalogue_ = stored;
        ui::messages().information(kRestartNeeded);
    }
    return true;
}

void TEkr_Preferencje::writeSettings() {
    store::Settings& s = *settings_;
    try {
        s.refresh();
        for (const Binding& b : settingsTexts())
            s.setValue(b.field, control<QLineEdit>(b.control)->text());
        for (const Binding& b : settingsFlags())
            s.setValue(b.field, control<QCheckBox>(b.control)->isChecked());
        for (const Binding& b : settingsNumbers())
            s.setValue(b.field, control<QSpinBox>(b.control)->value());
        for (const Binding& b : patternParts())
            s.setValue(b.field, control<QComboBox>(b.control)->currentText());
        s.setValue(QStringLiteral("Pelk_Firma_Nr"), ownerNr_);
        s.setValue(QStringLiteral("Pelk_Kontakt_Nr"), contactNr_);
        s.setValue(QStringLiteral("Pelk_Waluta_Nr"), currencyNr_);
        if (logoChanged_)
            s.setValue(QStringLiteral("Pelk_Logo"), logo_.isEmpty() ? QVariant() : QVariant(logo_));
        s.setValue(QStringLiteral("Pelk_Katalog_Glowny"),
                   catalogueToStore(catalogue_, storedCatalogue_, st_.MainFolder));
        s.setValue(QStringLiteral("Pelk_Kopia_Wykonuj"), !ui_->CB_Przypomnienie->isChecked());
        s.setValue(QStringLiteral("Pelk_Wydruk_Jezyk"),
                   ui_->RB_Angielski->isChecked() ? QStringLiteral("ANG") : QStringLiteral("PL"));
        s.setValue(QStringLiteral("Pelk_Nazwa2_na_wydr"), ui_->RB_Nazwa2->isChecked());
        s.save();
    } catch (...) {
        s.cancel(); // the row is let go for other installations
        throw;
    }
}

void TEkr_Preferencje::writeDisplay() {
    engine::Table konfig(st_.CurrentCatalogueFolder, QStringLiteral("Konfig_i"));
    konfig.open();
    try {
        if (konfig.isEmpty())
            konfig.append();
        else
            konfig.edit();
        for (const Binding& b : displayTexts())
            konfig.setValue(b.field, control<QLineEdit>(b.control)->text());
        for (const Binding& b : displayFlags())
            konfig.setValue(b.field, control<QCheckBox>(b.control)->isChecked());
        konfig.post();
    } catch (...) {
        if (konfig.state() != engine::Table::State::Browse) konfig.cancel();
        throw;
    }
}

void TEkr_Preferencje::release() {
    if (editor_) editor_->close();
    settings_.reset();
}

// --- Order numbers ----------------------------------------------------------------------------

QString TEkr_Preferencje::exampleNumber(int kind) const {
    QStringList pattern;
    for (int i = 1; i <= 6; ++i)
        pattern << control<QComboBox>(QStringLiteral("CB_%1%2").arg(kind).arg(i))->currentText();
    const auto* start = control<QSpinBox>(QStringLiteral("SE_Nr%1").arg(kind));
    return orders::documentNumber(pattern, start->value(), platform::today());
}

void TEkr_Preferencje::testPattern(int kind) {
    control<QLabel>(QStringLiteral("Label_Przyklad%1").arg(kind))->setText(exampleNumber(kind));
}

void TEkr_Preferencje::BB_Test1Click() {
    testPattern(1);
}
void TEkr_Preferencje::BB_Test2Click() {
    testPattern(2);
}

// --- Owner, currency, default catalogue -------------------------------------------------------

void TEkr_Preferencje::SB_FirmaClick() {
    const auto picked = partners::pickCompany(st_, this, {}, catalogue_);
    if (!picked) return;
    ownerNr_ = picked->nr;
    showOwner(); // the contact keeps its text until another is chosen
    markChanged();
}

void TEkr_Preferencje::SB_KontaktClick() {
    if (ownerNr_ == 0) return;
    const auto picked = partners::pickContact(st_, this, ownerNr_, ownerShort_, catalogue_);
    if (!picked) return;
    contactNr_ = *picked;
    showContact();
    markChanged();
}

void TEkr_Preferencje::SB_WalutaClick() {
    // Closing the list without a choice keeps the currency there was.
    const auto picked = partners::pickCurrency(st_, this);
    if (!picked) return;
    currencyNr_ = picked->nr;
    ui_->Label_Waluta->setText(picked->name);
    markChanged();
}

void TEkr_Preferencje::SB_BazaClick() {
    st_.FolderPickMode = shell::TOtworz_Baze::kPickCatalogue;
    st_.PickedFolder.clear();
    {
        shell::TOtworz_Baze picker(st_, this);
        picker.setWindowTitle(QStringLiteral("Lokalizacja podstawowej bazy danych"));
        ui::modalRunner().run(picker);
    }
    const QString picked = st_.PickedFolder;
    st_.FolderPickMode.clear();
    st_.PickedFolder.clear();
    if (picked.isEmpty()) return;
    const QString folder = catalogueFolderOf(picked, st_.MainFolder);
    if (folder.isEmpty()) {
        ui::messages().information(kNoCatalogue);
        return;
    }
    catalogue_ = folder;
    showCatalogue();
    showOwner();
    showContact();
    showCurrencyName();
    markChanged();
}

// --- Programs ---------------------------------------------------------------------------------

namespace {

// A program chosen in the file dialog: its path, or empty after a cancel or a refusal.
QString chooseProgram(const QString& caption, const QString& current) {
    const QString path =
        ui::fileDialogs().openFileName(caption, QFileInfo(current).absolutePath(), kProgramFilter);
    if (path.isEmpty()) return {};
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable()) {
        ui::messages().information(kNotProgram);
        return {};
    }
    return QDir::toNativeSeparators(info.absoluteFilePath());
}

} // namespace

void TEkr_Preferencje::SB_PrzegladarkaClick() {
    const QString path = chooseProgram(QStringLiteral("Lokalizacja przeglądarki internetowej"),
                                       ui_->Edit_Przegladarka->text());
    if (!path.isEmpty()) ui_->Edit_Przegladarka->setText(path);
}

void TEkr_Preferencje::SB_ProgramClick() {
    const QString path = chooseProgram(QStringLiteral("Lokalizacja przeglądarki internetowej"),
                                       ui_->Edit_Program->text());
    if (!path.isEmpty()) ui_->Edit_Program->setText(path);
}

void TEkr_Preferencje::BB_KopiaClick() {
    const QString program = ui_->Edit_Program->text().trimmed();
    const platform::LaunchResult result =
        program.isEmpty() ? platform::LaunchResult{platform::LaunchResult::Status::NotFound, {}}
                          : platform::launcher().startProgram(program, ui_->Edit_Polecenie->text());
    if (!result.started()) {
        ui::messages().information(kBackupFailed);
        return;
    }
    const QDate today = platform::today();
    store::Settings& s = *settings_;
    try {
        s.setValue(QStringLiteral("Pelk_Kopia_Data"), today);
        s.save();
    } catch (...) {
        s.cancel();
        throw;
    }
    ui_->Label_Data->setText(platform::dateText(today));
}

// --- Logo -------------------------------------------------------------------------------------

void TEkr_Preferencje::BB_Z_dyskuClick() {
    const QString path = ui::fileDialogs().openFileName(
        QStringLiteral("Rysunek z dysku"), {},
        QStringLiteral("Rysunki (*.bmp *.png *.jpg *.jpeg);;Wszystkie pliki (*)"));
    if (path.isEmpty()) return;
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    QPixmap check;
    if (!(format == "bmp" || format == "png" || format == "jpeg") || !check.loadFromData(bytes)) {
        ui::messages().information(kNotPicture);
        return;
    }
    logo_ = bytes;
    logoChanged_ = true;
    showLogo();
    markChanged();
}

void TEkr_Preferencje::BB_WyczyscClick() {
    logo_.clear();
    logoChanged_ = true;
    showLogo();
    markChanged();
}

// --- Header and footer ------------------------------------------------------------------------

void TEkr_Preferencje::editDocument(const QString& fileName, QPushButton* refresh) {
    if (editor_) {
        editor_->raise();
        return;
    }
    // An editor of its own: an offer open in the program's offer editor stays as it is.
    editor_ = new offers::TMainForm(st_, this);
    editor_->setAttribute(Qt::WA_DeleteOnClose);
    editor_->editFile(QDir(st_.MainFolder).filePath(fileName));
    refresh->setEnabled(true);
}

void TEkr_Preferencje::BB_Edytuj_NaglowekClick() {
    editDocument(store::kHeaderFile, ui_->BB_Odswiez_Naglowek);
}
void TEkr_Preferencje::BB_Odswiez_NaglowekClick() {
    loadPreview(ui_->RE_Naglowek, store::kHeaderFile);
    ui_->BB_Odswiez_Naglowek->setEnabled(false);
}
void TEkr_Preferencje::BB_Edytuj_StopkeClick() {
    editDocument(store::kFooterFile, ui_->BB_Odswiez_Stopke);
}
void TEkr_Preferencje::BB_Odswiez_StopkeClick() {
    loadPreview(ui_->RE_Stopka, store::kFooterFile);
    ui_->BB_Odswiez_Stopke->setEnabled(false);
}

} // namespace preferences
