// From window messages to the handlers: the dispatch table, the handlers'
// default behaviour and the routing of control events.
#include "display/window/Window.h"

#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"

namespace {

// Mouse and size messages carry two signed 16-bit values.
int LowValue(LPARAM lParam) { return static_cast<SHORT>(LOWORD(lParam)); }
int HighValue(LPARAM lParam) { return static_cast<SHORT>(HIWORD(lParam)); }

int ButtonOf(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return 1;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return 2;
    default: return 0;
  }
}

// Control event types.
enum ControlEvent : int {
  CONTROL_INVALIDATE = 1,
  CONTROL_CLICKED = 2,
  CONTROL_PRESSED = 3,
  CONTROL_RELEASED = 4,
  CONTROL_ENTER = 5,
  CONTROL_LEAVE = 6,
  CONTROL_NOTIFY = 7,
  CONTROL_SECOND_NOTIFY = 8,
};

}  // namespace

LRESULT CALLBACK CWindow::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Until Create has stored the object, messages get default processing.
  auto* self = reinterpret_cast<CWindow*>(GetWindowLongPtrA(window, GWL_USERDATA));
  if (self && self->m_Window) return self->WindowProc(message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // A handler may end the window, or the object with it (1314).
  HWND window = m_Window;
  m_Tooltips.OnMessage(window, message, wParam, lParam);
  try {
    return Dispatch(message, wParam, lParam);
  } catch (CError* error) {
    LogHandlerException(message, wParam, lParam, error);
    DisposeError(error);
  }
  return CallWindowProcA(DefWindowProcA, window, message, wParam, lParam);
}

LRESULT CWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = m_Window;
  auto byDefault = [&] { return CallWindowProcA(DefWindowProcA, window, message, wParam, lParam); };
  switch (message) {
    case WM_DESTROY: OnDestroy(); return byDefault();
    case WM_MOVE: OnMove(LowValue(lParam), HighValue(lParam)); return byDefault();
    case WM_SIZE:
      if (m_Minimized != (IsIconic(window) != FALSE)) {
        if (m_Minimized)
          OnRestore();
        else
          OnMinimize(false);
      }
      if (lParam != 0) OnSize(LowValue(lParam), HighValue(lParam));
      return byDefault();
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE, reinterpret_cast<HWND>(lParam));
      return byDefault();
    case WM_PAINT: OnPaint(); return 0;
    case WM_CLOSE: return OnClose() ? byDefault() : 0;
    case WM_ERASEBKGND: return 1;
    case WM_SHOWWINDOW: OnShowWindow(wParam != 0, lParam); return byDefault();
    case WM_NOTIFY: return OnNotify(wParam, reinterpret_cast<NMHDR*>(lParam));
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam), lParam); return byDefault();
    case WM_KEYUP: OnKeyUp(static_cast<UINT>(wParam), lParam); return byDefault();
    case WM_SYSKEYDOWN: OnSysKeyDown(static_cast<UINT>(wParam), lParam); return byDefault();
    case WM_SYSKEYUP: OnSysKeyUp(static_cast<UINT>(wParam), lParam); return byDefault();
    case WM_COMMAND:
      OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
      return byDefault();
    case WM_CTLCOLOREDIT:
      return reinterpret_cast<LRESULT>(OnCtlColorEdit(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<LRESULT>(
          OnCtlColorListBox(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    case WM_MOUSEMOVE:
      m_MouseMoved = true;
      OnMouseMove(LowValue(lParam), HighValue(lParam));
      return byDefault();
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: OnMouseButtonDown(ButtonOf(message), LowValue(lParam), HighValue(lParam)); return byDefault();
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: OnMouseButtonUp(ButtonOf(message), LowValue(lParam), HighValue(lParam)); return byDefault();
    case WM_MOUSEWHEEL: OnMouseWheel(HIWORD(wParam)); return byDefault();
    case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return byDefault();
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case kWindowTickMessage: {
      {
        CriticalSectionLock lock(m_TickLock);
        --m_PendingTicks;
      }
      OnTick();
      return 0;
    }
    case kWindowPaintDirtyMessage: PaintDirty(); return 0;
    case kWindowCloseMessage: Close(); return 0;
    default: return byDefault();
  }
}

void CWindow::LogHandlerException(UINT message, WPARAM wParam, LPARAM lParam, const CError* error) {
  const CStr text = FillPlaceholders(
      LocalText("CWindow.MessageHandlerException",
                "Exception in message handler (message %MSG%, wParam=%WPARAM%, lParam=%LPARAM%):"),
      {{"%MSG%", CStr::Format("%u", message)},
       {"%WPARAM%", CStr::Format("%llu", static_cast<unsigned long long>(wParam))},
       {"%LPARAM%", CStr::Format("%lld", static_cast<long long>(lParam))}});
  LogFormat(LOG_CATEGORY_ERROR, "%s\n\n%s\n%s\n", text.c_str(), error->GetCaption().c_str(),
            error->GetText().c_str());
}

template <typename Broadcast>
void CWindow::BroadcastInput(Broadcast broadcast) {
  m_InInputBroadcast = true;
  broadcast(m_Controls);
  m_InInputBroadcast = false;
  PaintDirty();
}

// Input reaches the window's controls with their repaint requests held
// back; what they invalidated is painted once afterwards. A drag of a move
// area runs beside them.
void CWindow::OnMouseMove(int x, int y) {
  if (m_Moving) TrackMove(x, y);
  m_MouseMoved = true;
  BroadcastInput([&](CDDControlList& controls) { controls.OnMouseMove(x, y); });
}

void CWindow::OnMouseButtonDown(int button, int x, int y) {
  if (button == 0 && IsMoveArea(x, y)) BeginMove(x, y);
  BroadcastInput([&](CDDControlList& controls) { controls.OnMouseDown(button, x, y); });
}

void CWindow::OnMouseButtonUp(int button, int x, int y) {
  if (button == 0) EndMove(false);
  BroadcastInput([&](CDDControlList& controls) { controls.OnMouseUp(button, x, y); });
}

void CWindow::OnMouseWheel(UINT delta) {
  BroadcastInput([&](CDDControlList& controls) { controls.OnMouseWheel(static_cast<int>(delta)); });
}

void CWindow::OnKeyDown(UINT key, LPARAM data) {
  BroadcastInput([&](CDDControlList& controls) { controls.OnKeyDown(static_cast<int>(key), LOWORD(data)); });
}

void CWindow::OnKeyUp(UINT key, LPARAM) {
  BroadcastInput([&](CDDControlList& controls) { controls.OnKeyUp(static_cast<int>(key)); });
}

void CWindow::ReplayMouseMove(int screenX, int screenY) {
  if (!m_MouseMoved) return;
  POINT point{screenX, screenY};
  ScreenToClient(m_Window, &point);
  OnMouseMove(point.x, point.y);
  m_MouseMoved = false;
}

HBRUSH CWindow::OnCtlColorEdit(HWND control, HDC dc) {
  return reinterpret_cast<HBRUSH>(CallWindowProcA(DefWindowProcA, m_Window, WM_CTLCOLOREDIT,
                                                  reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
}

HBRUSH CWindow::OnCtlColorListBox(HWND control, HDC dc) {
  return reinterpret_cast<HBRUSH>(CallWindowProcA(DefWindowProcA, m_Window, WM_CTLCOLORLISTBOX,
                                                  reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
}

int CWindow::OnControlEvent(int type, CDDControl* control, void* data) {
  switch (type) {
    case CONTROL_INVALIDATE: OnControlInvalidate(control, static_cast<const RECT*>(data)); break;
    case CONTROL_CLICKED: OnControlClicked(control); break;
    case CONTROL_PRESSED: OnControlPressed(control); break;
    case CONTROL_RELEASED: OnControlReleased(control); break;
    case CONTROL_ENTER: OnControlEnter(control); break;
    case CONTROL_LEAVE: OnControlLeave(control); break;
    case CONTROL_NOTIFY: OnControlNotify(control); break;
    case CONTROL_SECOND_NOTIFY: OnControlSecondNotify(control); break;
    default: break;
  }
  return 1;
}
