#pragma once
#include "offers/composetext.h"
#include "offers/offerfiles.h"
#include <QMainWindow>
#include <functional>
#include <memory>

namespace Ui {
class TMainForm;
}
namespace store {
class MainState;
}
class QFontComboBox;
class QSpinBox;
class QTextCharFormat;
class QTextDocument;
class QTextEdit;

namespace offers {

// The text on its way between the editor and the main window's document pane, moved as it is
// (never through the system clipboard), with the file it belongs to and whether it was changed.
struct MovedText {
    std::unique_ptr<QTextDocument> document;
    QString fileName;
    bool modified = false;
};

// Gives `edit` the document to show and edit, marked modified or not.
void adoptText(QTextEdit* edit, std::unique_ptr<QTextDocument> document, bool modified);

// The offer editor: a rich-text window over one offer's document file. In offer mode saving
// writes the offer's own file whatever the window shows; in file mode (the header and footer
// files) it writes the file shown, and no offer row is involved.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(store::MainState& state, QWidget* parent = nullptr);
    ~TMainForm() override;

    static const QString kUntitled; // "Bez nazwy"

    // Loads offer `offerNr`'s document; a missing file is reported and gives an empty document
    // that saving creates. False when the user kept the text that was there.
    bool openOffer(int offerNr, const QString& description);
    // A new offer's empty document, written at once.
    bool createOfferFile(int offerNr, const QString& description);
    // File mode, modal: `path` is shown and saved, nothing else.
    void editFile(const QString& path);

    // "Zapisać zmiany do pliku %s?" when the text was changed; false only when saving failed.
    bool saveQuestion();
    // Writes `doc` where this editor saves, asking first when another installation changed the
    // file since it was read or written here.
    bool writeDocument(const QTextDocument& doc);

    MovedText takeText(); // empties the editor
    void putText(MovedText text);

    QString fileName() const { return fileName_; }
    int offerNr() const { return offerNr_; }
    bool fileMode() const { return fileMode_; }
    bool isTextModified() const;
    QTextEdit* textArea() const;

    // Set by the main window: BitBtn1 moves the text onto its document pane; before another offer
    // replaces the text, the pane's changed text is offered for saving; closing tells it.
    std::function<void()> moveToPane;
    std::function<bool()> beforeReplace;
    std::function<void()> closed;
    std::function<void()> activated;
    // The "Wstaw" commands, carried out by the main window, which holds the catalogue.
    std::function<void(InsertCommand)> insertRequested;

public Q_SLOTS:
    void FileNewItemClick();
    void FileOpenItemClick();
    bool FileSaveItemClick();
    bool FileSaveAsItemClick();
    void FileSavePdfItemClick();
    void FilePrintItemClick();
    void miEditFontClick();
    void BitBtn1Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildSpeedBar();
    void connectCommands();
    void connectInsertCommands();
    void initialise(); // before every load
    void setCaption();
    void setTextReadOnly(bool readOnly);
    void syncToolbar(); // follows the selection with the toolbar muted
    void applyFormat(const QTextCharFormat& format);
    void setAlignment(Qt::Alignment alignment);
    void setBullets(bool on);
    bool startOffer(int offerNr, const QString& description);
    bool loadInto(const QString& path); // false (reported) when the file cannot be read
    QString targetPath() const;

    store::MainState& st_;
    std::unique_ptr<Ui::TMainForm> ui_;
    QFontComboBox* fontName_ = nullptr;
    QSpinBox* fontSize_ = nullptr;
    QString fileName_;
    QString description_;
    int offerNr_ = 0;
    bool fileMode_ = false;
    bool updating_ = false;
    FileStamp stamp_; // of the file saving writes, as read or written here
};

} // namespace offers
