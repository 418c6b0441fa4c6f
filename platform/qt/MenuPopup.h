// A tracked menu of the model shown as a real Qt menu: its texts,
// separators, submenus, check and radio marks and disabled items, at the
// asked point. The answer goes to `done` once: the chosen item's id, or 0
// when the user dismissed the menu or the menu was deleted unanswered.
// Returns the menu on show (null when it had nothing to show), which the
// caller may delete to end it. Qt thread.
#pragma once

#include <QPoint>

#include <functional>

#include <windows.h>

class QMenu;

namespace twl::qt {

QMenu* PopUpModelMenu(HMENU menu, QPoint at, std::function<void(int)> done);

}  // namespace twl::qt
