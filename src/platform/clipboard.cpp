#include "platform/clipboard.h"
#include <QClipboard>
#include <QGuiApplication>

namespace platform {

Clipboard& Clipboard::system() {
    static SystemClipboard instance;
    return instance;
}

void SystemClipboard::setText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString SystemClipboard::text() const {
    return QGuiApplication::clipboard()->text();
}

QImage SystemClipboard::image() const {
    return QGuiApplication::clipboard()->image();
}

void SystemClipboard::setImage(const QImage& image) {
    QGuiApplication::clipboard()->setImage(image);
}

} // namespace platform
