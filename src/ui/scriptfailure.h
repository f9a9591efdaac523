#pragma once
#include <QString>
#include <functional>

namespace ui {

// What the test doubles of the seams do when a test did not foresee what the program did (a
// message box nobody scripted an answer for, a dialog nobody scripted, a script left unused).
// They must never block waiting for a user who is not there, so they report here and go on with
// the refusing answer. Test programs install a handler that fails the running test; without one
// the program stops with the message, which is loud enough for any other use.
using ScriptFailureHandler = std::function<void(const QString& message)>;

void setScriptFailureHandler(ScriptFailureHandler handler);
void reportScriptFailure(const QString& message);

} // namespace ui
