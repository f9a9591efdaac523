#pragma once
#include "platform/seam.h"
#include <QString>
#include <QStringList>

namespace ui {

// The file and folder choosers the program opens, so that tests answer them without a screen.
class FileDialogs {
public:
    virtual ~FileDialogs();
    static FileDialogs& system();

    // The chosen file's full path; empty when the user cancelled. `filter` as Qt writes it
    // ("Obrazy (*.bmp *.png);;Wszystkie pliki (*)").
    virtual QString openFileName(const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString existingFolder(const QString& caption, const QString& folder) = 0;
};

class SystemFileDialogs : public FileDialogs {
public:
    QString openFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString existingFolder(const QString& caption, const QString& folder) override;
};

// Answers from a queue (an empty answer is a cancel) and records what was asked.
class FakeFileDialogs : public FileDialogs {
public:
    QString openFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString existingFolder(const QString& caption, const QString& folder) override;

    QStringList answers;
    QStringList captionsAsked;

private:
    QString next(const QString& caption);
};

inline FileDialogs& fileDialogs() {
    return platform::Seam<FileDialogs>::get();
}
using ScopedFileDialogs = platform::Seam<FileDialogs>::Override;

} // namespace ui
