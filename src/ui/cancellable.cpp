#include "ui/cancellable.h"
#include "engine/database.h"
#include "engine/error.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QTimerEvent>
#include <algorithm>
#include <vector>

namespace ui {

namespace {

constexpr qint64 kShowAfterMs = 400;
constexpr qint64 kPollEveryMs = 30;

// Holds back timer events of everything but the dialog while the statement runs (a refresh
// timer would read the database in the middle of it) and hands them over afterwards.
class TimerHold : public QObject {
public:
    explicit TimerHold(QWidget* dialog) : dialog_(dialog) { qApp->installEventFilter(this); }
    ~TimerHold() override {
        qApp->removeEventFilter(this);
        for (const auto& [receiver, id] : held_)
            if (receiver) QCoreApplication::postEvent(receiver, new QTimerEvent(id));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Timer || isDialogs(watched)) return false;
        const int id = static_cast<QTimerEvent*>(event)->timerId();
        for (const auto& [receiver, heldId] : held_)
            if (receiver == watched && heldId == id) return true;
        held_.emplace_back(QPointer<QObject>(watched), id);
        return true;
    }

private:
    bool isDialogs(QObject* o) const {
        for (; o; o = o->parent())
            if (o == dialog_) return true;
        return false;
    }
    QPointer<QWidget> dialog_;
    std::vector<std::pair<QPointer<QObject>, int>> held_;
};

} // namespace

bool runCancellable(engine::Database& db, QWidget* parent, const QString& label,
                    const std::function<void()>& work) {
    QElapsedTimer started, polled;
    started.start();
    polled.start();
    std::unique_ptr<QProgressDialog> dialog;
    bool cancelled = false;
    db.setCancelCheck([&] {
        if (started.elapsed() < kShowAfterMs || polled.elapsed() < kPollEveryMs) return false;
        polled.restart();
        if (!dialog) {
            dialog =
                std::make_unique<QProgressDialog>(label, QStringLiteral("Anuluj"), 0, 0, parent);
            dialog->setObjectName(QStringLiteral("PostepZapytania"));
            dialog->setWindowTitle(QStringLiteral("PELK"));
            dialog->setWindowModality(Qt::ApplicationModal);
            dialog->setMinimumDuration(0);
            dialog->setAutoReset(false);
            QObject::connect(dialog.get(), &QProgressDialog::canceled, [&] {
                cancelled = true;
                db.interrupt();
            });
            dialog->show();
        }
        const TimerHold hold(dialog.get());
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return cancelled;
    });
    struct Reset {
        engine::Database& db;
        ~Reset() { db.setCancelCheck({}); }
    } reset{db};
    try {
        work();
    } catch (const engine::EngineError&) {
        if (cancelled) return false;
        throw;
    }
    return !cancelled;
}

bool runWithProgress(QWidget* parent, const QString& label,
                     const std::function<void(const StepReport&)>& work) {
    std::unique_ptr<QProgressDialog> dialog;
    bool cancelled = false;
    const StepReport step = [&](const QString& text, qint64 done, qint64 total) {
        if (!dialog) {
            dialog =
                std::make_unique<QProgressDialog>(label, QStringLiteral("Anuluj"), 0, 0, parent);
            dialog->setObjectName(QStringLiteral("PostepPracy"));
            dialog->setWindowTitle(QStringLiteral("PELK"));
            dialog->setWindowModality(Qt::ApplicationModal);
            dialog->setMinimumDuration(0);
            dialog->setAutoReset(false);
            dialog->setAutoClose(false);
            QObject::connect(dialog.get(), &QProgressDialog::canceled, [&] { cancelled = true; });
            dialog->show();
        }
        if (!cancelled) {
            dialog->setLabelText(text.isEmpty() ? label : label + u'\n' + text);
            const int scale = total > 0 ? 1000 : 0;
            dialog->setMaximum(scale);
            dialog->setValue(total > 0 ? int(std::min<qint64>(done, total) * scale / total) : 0);
        }
        const TimerHold hold(dialog.get());
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return !cancelled;
    };
    try {
        work(step);
    } catch (const engine::EngineError&) {
        if (cancelled) return false;
        throw;
    }
    return !cancelled;
}

} // namespace ui
