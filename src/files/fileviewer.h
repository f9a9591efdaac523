#pragma once
#include <QString>

namespace store {
class MainState;
}

namespace files {

// Opening an attribute value that names a file or a web address: a file with the program the
// installation's association table (Skojarz in the main folder) names for its extension, a web
// address in the browser. Starting goes through the platform launcher.
class FileViewer {
public:
    enum class Outcome {
        WrongType,     // the attribute is not of the file-or-address type
        Opened,        // a program, the desktop or the browser was asked to open it
        NoApplication, // no association fits, or the associated file is nowhere to be found
        Failed,        // found, but nothing could open it (failure() says why)
    };

    FileViewer(QString mainFolder, QString catalogueFolder);

    // `value` is the attribute's value, `typeLetter` its type ("S" for files and addresses).
    Outcome open(const QString& value, const QString& typeLetter);
    QString failure() const { return failure_; }

    // The value's extension: its last three characters, whatever precedes them.
    static QString extensionOf(const QString& value);
    // Values the browser opens when no association claims them: beginning with "www.",
    // "http://" or "https://", in any letter case.
    static bool isWebAddress(const QString& value);
    // The program associated with `extension` (letter case ignored; the first row in the
    // table's order wins); empty when none is.
    QString programFor(const QString& extension) const;
    // The first place the file exists: the value itself, the main folder, the current catalogue
    // folder (the latter two with the value's file name); empty when it exists in none.
    QString locate(const QString& value) const;

private:
    Outcome start(const QString& program, const QString& file);

    QString mainFolder_;
    QString catalogueFolder_;
    QString failure_;
};

// The message for an outcome; empty for Opened.
QString viewerMessage(FileViewer::Outcome outcome, const QString& failure = {});

// "Zobacz" on the attribute values tab: opens the value of the current row of TOpis.
void SB_ZobaczClick(store::MainState& state);

} // namespace files
