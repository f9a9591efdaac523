#include "ui/filedialogs.h"
#include <QApplication>
#include <QFileDialog>

namespace ui {

FileDialogs::~FileDialogs() = default;

FileDialogs& FileDialogs::system() {
    static SystemFileDialogs instance;
    return instance;
}

QString SystemFileDialogs::openFileName(const QString& caption, const QString& folder,
                                        const QString& filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, folder, filter);
}

QString SystemFileDialogs::saveFileName(const QString& caption, const QString& folder,
                                        const QString& filter) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, folder, filter);
}

QString SystemFileDialogs::existingFolder(const QString& caption, const QString& folder) {
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, folder);
}

QString FakeFileDialogs::next(const QString& caption) {
    captionsAsked << caption;
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

QString FakeFileDialogs::openFileName(const QString& caption, const QString&, const QString&) {
    return next(caption);
}

QString FakeFileDialogs::saveFileName(const QString& caption, const QString&, const QString&) {
    return next(caption);
}

QString FakeFileDialogs::existingFolder(const QString& caption, const QString&) {
    return next(caption);
}

} // namespace ui
