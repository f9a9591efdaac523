#pragma once
#include <QWidget>

class QLabel;
class QTextEdit;

namespace offers {

// The editor's ruler: the current paragraph's first-line, left and right indents as three markers
// that the user drags; releasing one sets that indent of the paragraph.
class OfferRuler : public QWidget {
    Q_OBJECT
public:
    explicit OfferRuler(QWidget* parent = nullptr);
    void setEditor(QTextEdit* editor);
    // Brings the markers in line with the paragraph at the caret.
    void follow();
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void released(QLabel* marker);
    int halfWidth() const;

    QTextEdit* editor_ = nullptr;
    QLabel* first_ = nullptr;
    QLabel* left_ = nullptr;
    QLabel* right_ = nullptr;
    QLabel* dragged_ = nullptr;
};

} // namespace offers
