#pragma once
// Small pictures for tests, as a file or the clipboard would give them.
#include <QBuffer>
#include <QColor>
#include <QImage>

namespace testsupport {

inline QImage sampleImage(QColor color, int w = 8, int h = 6) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

inline QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

inline QByteArray pngPicture() {
    return encoded(sampleImage(Qt::red), "PNG");
}

} // namespace testsupport
