#pragma once
#include "platform/seam.h"
#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace ui {

// Every modal dialog of the program is run through this, so that tests can play the user's part.
class ModalRunner {
public:
    virtual ~ModalRunner();
    static ModalRunner& system(); // runs dialogs for real
    // Runs `dialog` modally and returns its result (QDialog::Accepted, Rejected or a done() code).
    virtual int run(QDialog& dialog) = 0;
};

// The real thing: QDialog::exec().
class ExecModalRunner : public ModalRunner {
public:
    int run(QDialog& dialog) override;
};

// A test double that plays scripts: "when a dialog named X opens, do F with it and return R".
// A dialog is matched by its objectName or by its class (its own or a base class's name, or the
// C++ type given to the template overload). The dialog is shown as exec() would show it, so its
// show handlers run; then the action may set controls, click buttons or accept(). A dialog still
// open afterwards is closed with the script's result (Rejected when none was given); a dialog
// the action closed keeps its own result unless the script names one.
//
// Each script serves one opening, in the order given, unless added with always(). A dialog that
// no script matches is a failure (reported through reportScriptFailure) and returns Rejected
// without being shown; scripts never used are reported when the runner goes away.
class ScriptedModalRunner : public ModalRunner {
public:
    using Action = std::function<void(QDialog&)>;

    ScriptedModalRunner() = default;
    ScriptedModalRunner(const ScriptedModalRunner&) = delete;
    ScriptedModalRunner& operator=(const ScriptedModalRunner&) = delete;
    ~ScriptedModalRunner() override;

    ScriptedModalRunner& on(const QString& nameOrClass, Action action = {},
                            std::optional<int> result = {});
    ScriptedModalRunner& always(const QString& nameOrClass, Action action = {},
                                std::optional<int> result = {});
    template <class D>
    ScriptedModalRunner& on(std::function<void(D&)> action, std::optional<int> result = {}) {
        add(
            typeLabel<D>(), [](QDialog& d) { return dynamic_cast<D*>(&d) != nullptr; },
            [action](QDialog& d) {
                if (action) action(dynamic_cast<D&>(d));
            },
            result, false);
        return *this;
    }

    int run(QDialog& dialog) override;

    // The dialogs run so far, by objectName (class name when it has none), scripted or not.
    const QStringList& opened() const { return opened_; }
    int pendingScripts() const;

private:
    struct Script {
        QString label;
        std::function<bool(QDialog&)> matches;
        Action action;
        std::optional<int> result;
        bool repeat = false;
        bool used = false;
    };

    template <class D> static QString typeLabel() {
        if constexpr (requires { D::staticMetaObject; })
            return QString::fromLatin1(D::staticMetaObject.className());
        else
            return QStringLiteral("dialog type");
    }
    void add(QString label, std::function<bool(QDialog&)> matches, Action action,
             std::optional<int> result, bool repeat);

    std::vector<Script> scripts_;
    QStringList opened_;
};

// The installed runner; the real one unless a test installed another.
inline ModalRunner& modalRunner() {
    return platform::Seam<ModalRunner>::get();
}
// Installs a ModalRunner for the lifetime of the guard and then puts back the previous one.
using ScopedModalRunner = platform::Seam<ModalRunner>::Override;

} // namespace ui
