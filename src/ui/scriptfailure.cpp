#include "ui/scriptfailure.h"
#include <QtGlobal>

namespace ui {

namespace {
ScriptFailureHandler& handler() {
    static ScriptFailureHandler h;
    return h;
}
} // namespace

void setScriptFailureHandler(ScriptFailureHandler h) {
    handler() = std::move(h);
}

void reportScriptFailure(const QString& message) {
    if (handler()) {
        handler()(message);
        return;
    }
    qFatal("%s", qUtf8Printable(message));
}

} // namespace ui
