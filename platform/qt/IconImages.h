// The model's icons and cursors as Qt images: the colour bitmap with the
// mask's white pixels made transparent. Qt thread.
#pragma once

#include <QCursor>
#include <QImage>

#include <windows.h>

namespace twl::qt {

// A null image for a bad handle.
QImage IconImage(HICON icon, QPoint* hotSpot = nullptr);
// The model's cursor on show: the system's shapes by name, others from
// their pictures; hidden (ShowCursor below 0) a blank cursor.
QCursor CursorOnShow();

}  // namespace twl::qt
