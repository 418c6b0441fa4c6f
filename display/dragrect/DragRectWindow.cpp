#include "display/dragrect/DragRectWindow.h"

#include <algorithm>
#include <atomic>
#include <climits>

#include "display/WindowClassOnce.h"
#include "display/window/WindowHost.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDragRectWindow, CTypedObject)

namespace {

constexpr char kClassName[] = "DragRectWindow Class";
constexpr INT kFrameWidth = 2;

// Registered once per process. A failure is not reported here: making the
// strips fails then.
std::atomic<bool> theClassRegistered{false};

INT Saturate(long long value) { return static_cast<INT>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

// A strip's size; an inverted rectangle gives empty strips, not negative
// ones.
INT Extent(long long value) { return Saturate(std::max(0LL, value)); }

// Pens in the order of the Pen enumeration.
constexpr COLORREF kPenColours[] = {RGB(200, 200, 200), RGB(60, 60, 60), RGB(160, 160, 160), RGB(100, 100, 100)};

}  // namespace

void CDragRectWindow::Create(const RECT& rect) {
  Destroy();
  RegisterWindowClassOnce(theClassRegistered, kClassName, &StripProc);
  StoreRect(rect);
  for (int pen = 0; pen < kPenCount; ++pen) {
    m_Pens[pen] = CreatePen(PS_SOLID, 1, kPenColours[pen]);
    if (!m_Pens[pen]) {
      Destroy();
      ThrowError<CError>(LocalText("GDIError.Caption", "GDI error"),
                         LocalText("GDIError.CreatePen", "Error creating pen."));
    }
  }
  const HWND owner = GetWindowHost().GetOwnerWindow();
  for (HWND& strip : m_Strips) {
    strip = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "DragRectWindow", WS_POPUP | WS_DISABLED, 0, 0, 10, 10, owner,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!strip) {
      Destroy();
      ThrowError<CError>(LocalText("CreateWindowFailed.Caption", "Window error"),
                         LocalText("CreateWindowFailed.Text", "Error creating window."));
    }
    SetWindowLongPtrA(strip, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  Layout();
}

void CDragRectWindow::Destroy() {
  for (HWND& strip : m_Strips) {
    if (strip) DestroyWindow(strip);
    strip = nullptr;
  }
  for (HPEN& pen : m_Pens) {
    if (pen) DeleteObject(pen);
    pen = nullptr;
  }
  m_Shown = false;
}

void CDragRectWindow::Show() {
  for (HWND strip : m_Strips)
    if (strip) ShowWindow(strip, SW_SHOWNOACTIVATE);
  m_Shown = true;
}

void CDragRectWindow::Hide() {
  for (HWND strip : m_Strips)
    if (strip) ShowWindow(strip, SW_HIDE);
  m_Shown = false;
}

void CDragRectWindow::SetRect(const RECT& rect) {
  StoreRect(rect);
  Layout();
}

void CDragRectWindow::MoveTo(INT x, INT y) {
  const long long width = static_cast<long long>(m_Rect.right) - m_Rect.left;
  const long long height = static_cast<long long>(m_Rect.bottom) - m_Rect.top;
  StoreRect({x, y, Saturate(x + width), Saturate(y + height)});
  Layout();
}

void CDragRectWindow::StoreRect(const RECT& rect) {
  m_Rect = rect;
  m_Outer = {Saturate(static_cast<long long>(rect.left) - kFrameWidth),
             Saturate(static_cast<long long>(rect.top) - kFrameWidth),
             Saturate(static_cast<long long>(rect.right) + kFrameWidth),
             Saturate(static_cast<long long>(rect.bottom) + kFrameWidth)};
}

void CDragRectWindow::Layout() {
  const long long left = m_Outer.left;
  const long long top = m_Outer.top;
  const long long right = m_Outer.right;
  const long long bottom = m_Outer.bottom;
  const INT across = Extent(right - left - kFrameWidth);
  const INT down = Extent(bottom - top - kFrameWidth);
  struct Place {
    long long x, y;
    INT width, height;
  };
  const Place places[kStripCount] = {
      {left, top, kFrameWidth, down},
      {left + kFrameWidth, top, across, kFrameWidth},
      {right - kFrameWidth, top + kFrameWidth, kFrameWidth, down},
      {left, bottom - kFrameWidth, across, kFrameWidth},
  };
  for (int strip = 0; strip < kStripCount; ++strip) {
    if (!m_Strips[strip]) continue;
    const Place& place = places[strip];
    SetWindowPos(m_Strips[strip], nullptr, Saturate(place.x), Saturate(place.y), place.width, place.height,
                 SWP_NOACTIVATE | SWP_NOZORDER);
  }
}

// A raised frame: light outside and mid-light inside at the top and left,
// dark outside and mid-dark inside at the bottom and right. LineTo leaves
// out its end point.
void CDragRectWindow::PaintStrip(HWND strip, HDC dc) const {
  const INT w = Saturate(static_cast<long long>(m_Outer.right) - m_Outer.left);
  const INT h = Saturate(static_cast<long long>(m_Outer.bottom) - m_Outer.top);
  auto lineTo = [&](Pen pen, INT x, INT y) {
    SelectObject(dc, m_Pens[pen]);
    LineTo(dc, x, y);
  };
  const HGDIOBJ previous = SelectObject(dc, m_Pens[kLight]);
  if (strip == m_Strips[kLeftStrip]) {
    MoveToEx(dc, 1, 0, nullptr);
    lineTo(kMidLight, 1, h - 3);
    lineTo(kLight, 0, h - 3);
    lineTo(kLight, 0, -1);
  } else if (strip == m_Strips[kTopStrip]) {
    MoveToEx(dc, 0, 0, nullptr);
    lineTo(kLight, w - 2, 0);
    MoveToEx(dc, 0, 1, nullptr);
    lineTo(kMidLight, w - 3, 1);
    lineTo(kDark, w - 2, 1);
  } else if (strip == m_Strips[kRightStrip]) {
    MoveToEx(dc, 0, 0, nullptr);
    lineTo(kMidDark, 0, h - 3);
    lineTo(kDark, 1, h - 3);
    lineTo(kDark, 1, -1);
  } else if (strip == m_Strips[kBottomStrip]) {
    MoveToEx(dc, 0, 1, nullptr);
    lineTo(kDark, w - 2, 1);
    MoveToEx(dc, w - 3, 0, nullptr);
    lineTo(kMidDark, 0, 0);
    lineTo(kLight, -1, 0);
  }
  SelectObject(dc, previous);
}

LRESULT CALLBACK CDragRectWindow::StripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CDragRectWindow*>(GetWindowLongPtrA(window, GWL_USERDATA));
  switch (message) {
    case WM_PAINT: {
      if (!self) break;
      if (!GetUpdateRect(window, nullptr, FALSE)) return 0;
      PAINTSTRUCT paint;
      if (HDC dc = BeginPaint(window, &paint)) {
        self->PaintStrip(window, dc);
        EndPaint(window, &paint);
      }
      return 0;
    }
    case WM_WINDOWPOSCHANGING:
      // A strip is never activated, whoever moves it.
      if (lParam) reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_NOACTIVATE;
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
