// Keeps a real window off the desktop's task list and pager: the
// _NET_WM_STATE_SKIP_TASKBAR and _SKIP_PAGER states, set on the X window
// before it is first mapped (Qt keeps states it finds there). Nothing
// happens off X11. Qt thread.
#pragma once

class QWindow;

namespace twl::qt {

void KeepOffTaskList(QWindow* window);

}  // namespace twl::qt
