#include "ui/modalrunner.h"
#include "ui/scriptfailure.h"
#include <QPointer>

namespace ui {

ModalRunner::~ModalRunner() = default;

int ExecModalRunner::run(QDialog& dialog) {
    return dialog.exec();
}

// --- The test double --------------------------------------------------------------------------

namespace {

QString describe(const QDialog& d) {
    return d.objectName().isEmpty() ? QString::fromLatin1(d.metaObject()->className())
                                    : d.objectName();
}

} // namespace

ScriptedModalRunner::~ScriptedModalRunner() {
    QStringList left;
    for (const Script& s : scripts_)
        if (!s.used && !s.repeat) left << s.label;
    if (!left.isEmpty())
        reportScriptFailure(
            QStringLiteral("Scripted dialogs never opened: %1").arg(left.join(u", ")));
}

void ScriptedModalRunner::add(QString label, std::function<bool(QDialog&)> matches, Action action,
                              std::optional<int> result, bool repeat) {
    scripts_.push_back(
        Script{std::move(label), std::move(matches), std::move(action), result, repeat, false});
}

ScriptedModalRunner& ScriptedModalRunner::on(const QString& nameOrClass, Action action,
                                             std::optional<int> result) {
    const QByteArray className = nameOrClass.toLatin1();
    add(
        nameOrClass,
        [nameOrClass, className](QDialog& d) {
            return d.objectName() == nameOrClass || d.inherits(className.constData());
        },
        std::move(action), result, false);
    return *this;
}

ScriptedModalRunner& ScriptedModalRunner::always(const QString& nameOrClass, Action action,
                                                 std::optional<int> result) {
    on(nameOrClass, std::move(action), result);
    scripts_.back().repeat = true;
    return *this;
}

int ScriptedModalRunner::pendingScripts() const {
    int n = 0;
    for (const Script& s : scripts_)
        if (!s.used && !s.repeat) ++n;
    return n;
}

int ScriptedModalRunner::run(QDialog& dialog) {
    opened_ << describe(dialog);
    Script* script = nullptr;
    for (Script& s : scripts_) {
        if (!s.used && s.matches(dialog)) {
            script = &s;
            break;
        }
    }
    if (!script) {
        reportScriptFailure(
            QStringLiteral("Dialog %1 opened without a script").arg(describe(dialog)));
        dialog.setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    if (!script->repeat) script->used = true;
    // Copies: the action may run further dialogs, which may add scripts.
    const Action action = script->action;
    const std::optional<int> result = script->result;

    QPointer<QDialog> guard(&dialog);
    const bool wasShowModal = dialog.testAttribute(Qt::WA_ShowModal);
    dialog.setAttribute(Qt::WA_ShowModal, true);
    dialog.setResult(0);
    dialog.show();
    if (action) action(dialog);
    if (!guard) return result.value_or(QDialog::Rejected);
    if (dialog.isVisible())
        dialog.done(result.value_or(QDialog::Rejected));
    else if (result)
        dialog.setResult(*result);
    dialog.setAttribute(Qt::WA_ShowModal, wasShowModal);
    return dialog.result();
}

ModalRunner& ModalRunner::system() {
    static ExecModalRunner real;
    return real;
}

} // namespace ui
