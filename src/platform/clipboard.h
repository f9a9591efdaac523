#pragma once
#include "platform/seam.h"
#include <QImage>
#include <QString>

namespace platform {

// The desktop's clipboard: text for addresses copied out of the program, pictures for
// signatures pasted in.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;
    virtual QImage image() const = 0; // null when the clipboard holds no picture
    virtual void setImage(const QImage& image) = 0;

    static Clipboard& system();
};

using ClipboardSeam = Seam<Clipboard>;
using ScopedClipboard = ClipboardSeam::Override;
inline Clipboard& clipboard() {
    return ClipboardSeam::get();
}

class SystemClipboard : public Clipboard {
public:
    void setText(const QString& text) override;
    QString text() const override;
    QImage image() const override;
    void setImage(const QImage& image) override;
};

// Holds what was put on it, for tests.
class FakeClipboard : public Clipboard {
public:
    void setText(const QString& t) override { textHeld = t; }
    QString text() const override { return textHeld; }
    QImage image() const override { return imageHeld; }
    void setImage(const QImage& i) override { imageHeld = i; }

    QString textHeld;
    QImage imageHeld;
};

} // namespace platform
