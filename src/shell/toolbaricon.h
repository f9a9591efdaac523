#pragma once
#include <QIcon>

namespace shell {

// The icon of a command by its freedesktop name: the desktop theme's, or the program's own
// drawing where the theme has none (or there is no theme at all).
QIcon toolbarIcon(const QString& name);

} // namespace shell
