// Resizing an aux window by its border: the cursor shows the direction
// near the outline, a press there starts an outline that follows the
// mouse, and the release (or the mouse going to another window) applies it.
#include "display/auxwindow/AuxWindow.h"

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"

namespace {

bool MovesLeft(int edge) { return edge == CAuxWindow::kLeft || edge == CAuxWindow::kTopLeft || edge == CAuxWindow::kBottomLeft; }
bool MovesRight(int edge) {
  return edge == CAuxWindow::kRight || edge == CAuxWindow::kTopRight || edge == CAuxWindow::kBottomRight;
}
bool MovesTop(int edge) { return edge == CAuxWindow::kTop || edge == CAuxWindow::kTopLeft || edge == CAuxWindow::kTopRight; }
bool MovesBottom(int edge) {
  return edge == CAuxWindow::kBottom || edge == CAuxWindow::kBottomLeft || edge == CAuxWindow::kBottomRight;
}

}  // namespace

int CAuxWindow::GetCursorAt(int x, int y) {
  int edge = 0;
  if (!m_Resizable || !HitTestBorder(x, y, edge)) return kArrowCursor;
  switch (edge) {
    case kLeft:
    case kRight: return kSizeWECursor;
    case kTop:
    case kBottom: return kSizeNSCursor;
    case kTopLeft:
    case kBottomRight: return kSizeNWSECursor;
    default: return kSizeNESWCursor;
  }
}

void CAuxWindow::SetCursorKind(int kind) {
  if (kind != m_CursorKind) {
    static const LPCSTR kCursors[] = {IDC_ARROW, IDC_SIZEWE, IDC_SIZENS, IDC_SIZENWSE, IDC_SIZENESW};
    m_Cursor = LoadCursorA(nullptr, kind >= 1 && kind <= 4 ? kCursors[kind] : IDC_ARROW);
    m_CursorKind = kind;
  }
  if (m_Cursor)
    SetCursor(m_Cursor);
  else
    SetThreadError(1, 0, LocalText("GDIError.LoadCursor", "Error loading cursor.").c_str());
}

void CAuxWindow::UpdateCursor(int x, int y) {
  SetCursorKind(GetCursorAt(x, y));
  if (!m_Cursor) LogThreadError(LOG_CATEGORY_WARNING, nullptr);
}

void CAuxWindow::OnMouseMove(int x, int y) {
  if (m_Sizing) {
    POINT screen{x, y};
    ClientToScreen(GetWindowHandle(), &screen);
    TrackSizing(screen.x, screen.y);
  } else {
    CWindow::OnMouseMove(x, y);
  }
  UpdateCursor(x, y);
}

void CAuxWindow::OnMouseButtonDown(int button, int x, int y) {
  if (m_Sizing) return;
  if (button == 0) {
    int edge = 0;
    if (m_Resizable && HitTestBorder(x, y, edge)) {
      BeginSizing(edge);
      return;
    }
  } else if (button == 1) {
    const int topic = GetHelpTopicAt(x, y);
    if (topic != -1) {
      POINT screen{x, y};
      ClientToScreen(GetWindowHandle(), &screen);
      ShowHelpMenu(topic, screen.x, screen.y);
    }
  }
  CWindow::OnMouseButtonDown(button, x, y);
}

void CAuxWindow::OnMouseButtonUp(int button, int x, int y) {
  if (button == 0 && m_Sizing)
    EndSizing();
  else
    CWindow::OnMouseButtonUp(button, x, y);
}

void CAuxWindow::OnCaptureChanged(HWND newCapture) {
  if (m_Sizing && newCapture != GetWindowHandle())
    EndSizing();
  else
    CWindow::OnCaptureChanged(newCapture);
}

void CAuxWindow::BeginSizing(int edge) {
  EndMove(true);
  m_SizingEdge = edge;
  m_Sizing = true;
  m_SizingRect = GetRect();
  SetCapture(GetWindowHandle());
  try {
    m_SizingOutline.Create(m_SizingRect);
    m_SizingOutline.Show();
  } catch (CError* error) {
    StoreThreadError(error);
    LogThreadError(LOG_CATEGORY_WARNING,
                   LocalText("CAuxWindow.ShowResizeRect", "Unable to show resize rectangle.").c_str());
    DisposeError(error);
    // Cleared first: releasing the capture reports back to this window.
    m_Sizing = false;
    ReleaseCapture();
  }
}

void CAuxWindow::TrackSizing(int screenX, int screenY) {
  if (MovesLeft(m_SizingEdge)) m_SizingRect.left = screenX;
  if (MovesRight(m_SizingEdge)) m_SizingRect.right = screenX;
  if (MovesTop(m_SizingEdge)) m_SizingRect.top = screenY;
  if (MovesBottom(m_SizingEdge)) m_SizingRect.bottom = screenY;
  ConstrainSizingRect();
  m_SizingOutline.SetRect(m_SizingRect);
}

void CAuxWindow::ConstrainSizingRect() {
  int width = m_SizingRect.right - m_SizingRect.left;
  int height = m_SizingRect.bottom - m_SizingRect.top;
  if (!AdjustSize(width, height)) return;
  // The dragged sides give way; the opposite ones stay.
  if (MovesLeft(m_SizingEdge))
    m_SizingRect.left = m_SizingRect.right - width;
  else
    m_SizingRect.right = m_SizingRect.left + width;
  if (MovesTop(m_SizingEdge))
    m_SizingRect.top = m_SizingRect.bottom - height;
  else
    m_SizingRect.bottom = m_SizingRect.top + height;
}

void CAuxWindow::EndSizing() {
  if (!m_Sizing) return;
  // Cleared before the capture goes, whose report would end it again.
  m_Sizing = false;
  ReleaseCapture();
  m_SizingOutline.Destroy();
  SetRect(m_SizingRect);
  CreateWindowRegion();
}

bool CAuxWindow::CancelSizing() {
  if (!m_Sizing) return false;
  m_Sizing = false;
  ReleaseCapture();
  m_SizingOutline.Destroy();
  return true;
}
