#include "drawings/picturebox.h"
#include <QBuffer>
#include <QPixmap>

namespace drawings {

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    if (image.isNull()) return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage pictureFrom(const QByteArray& bytes) {
    return bytes.isEmpty() ? QImage() : QImage::fromData(bytes);
}

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    setFrameShape(QFrame::StyledPanel);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The picture never makes its box grow; the layout decides the box.
    setMinimumSize(40, 40);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void PictureBox::setPicture(const QByteArray& bytes) {
    image_ = pictureFrom(bytes);
    render();
}

void PictureBox::setStretched(bool on) {
    if (stretched_ == on) return;
    stretched_ = on;
    render();
}

QSize PictureBox::sizeHint() const {
    return QSize(200, 150);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (stretched_) render();
}

void PictureBox::render() {
    if (image_.isNull()) {
        setPixmap(QPixmap());
        return;
    }
    const QSize room = contentsRect().size();
    if (stretched_ && !room.isEmpty())
        setPixmap(QPixmap::fromImage(
            image_.scaled(room, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    else
        setPixmap(QPixmap::fromImage(image_));
}

} // namespace drawings
