#pragma once
#include <QByteArray>
#include <QImage>
#include <QLabel>

namespace drawings {

// A drawing's stored bytes: a picture read from a file is kept as the file holds it (a JPEG stays
// small on a shared folder); a picture taken from the clipboard is kept as PNG.
QByteArray pngBytes(const QImage& image);
// The picture in stored bytes of any format the program reads; null for none or unreadable.
QImage pictureFrom(const QByteArray& bytes);

// A drawing shown in a box: at its own size from the top left corner, or stretched to the box.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QByteArray& bytes);
    void clearPicture() { setPicture({}); }
    const QImage& image() const { return image_; }
    bool hasPicture() const { return !image_.isNull(); }

    void setStretched(bool on);
    bool stretched() const { return stretched_; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void render();

    QImage image_;
    bool stretched_ = false;
};

} // namespace drawings
