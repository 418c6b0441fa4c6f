// Moving a window by dragging it: the outline follows the mouse and the
// window jumps to it when the left button is released.
#include "display/window/Window.h"

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"

void CWindow::BeginMove(int x, int y) {
  SetCapture(m_Window);
  m_MoveStart = POINT{x, y};
  m_Moving = true;
  try {
    m_DragRect.Create(m_Rect);
    m_DragRect.Show();
  } catch (CError* error) {
    StoreThreadError(error);
    LogThreadError(LOG_CATEGORY_WARNING,
                   LocalText("CWindow.ErrorCreateDragRect", "Unable to create drag rectangle.").c_str());
    DisposeError(error);
    // Cleared first: releasing the capture reports back to this window.
    m_Moving = false;
    ReleaseCapture();
  }
}

void CWindow::TrackMove(int x, int y) {
  // The window has not moved yet, so the point relates to its old place.
  int left = m_Rect.left - m_MoveStart.x + x;
  int top = m_Rect.top - m_MoveStart.y + y;
  if (m_SnapToEdges) {
    HWND outline[CDragRectWindow::kStripCount];
    for (int strip = 0; strip < CDragRectWindow::kStripCount; ++strip)
      outline[strip] = m_DragRect.GetStripWindow(static_cast<CDragRectWindow::Strip>(strip));
    SnapToEdges(left, top, m_Window, outline, CDragRectWindow::kStripCount, m_SnapDistance);
  }
  m_DragRect.MoveTo(left, top);
}

void CWindow::EndMove(bool cancel) {
  if (!m_Moving) return;
  m_DragRect.Hide();
  // Cleared before the capture goes, whose report would cancel the move.
  m_Moving = false;
  ReleaseCapture();
  if (!cancel) SetPosition(m_DragRect.GetRect().left, m_DragRect.GetRect().top);
  m_DragRect.Destroy();
}

void CWindow::OnCaptureChanged(HWND newCapture) {
  if (newCapture != m_Window) EndMove(true);
}

void CWindow::CenterOnWindow(const CWindow* other, bool keepNonNegative) {
  RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (other) around = other->GetRect();
  POINT place{around.left + ((around.right - around.left - GetWidth()) >> 1),
              around.top + ((around.bottom - around.top - GetHeight()) >> 1)};
  if (keepNonNegative) {
    if (place.x < 0) place.x = 0;
    if (place.y < 0) place.y = 0;
  }
  HWND parent = GetParent(m_Window);
  if (parent && !(GetWindowLongA(m_Window, GWL_STYLE) & WS_POPUP)) ScreenToClient(parent, &place);
  SetPosition(place.x, place.y);
}
