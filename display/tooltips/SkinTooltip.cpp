#include "display/tooltips/SkinTooltip.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "display/WindowClassOnce.h"
#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayLock.h"
#include "display/window/WindowHost.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSkinTooltip, CTypedObject)

namespace {

std::atomic<bool> theTooltipClassRegistered{false};

// Skin colour set entries of the tooltip.
constexpr int kTooltipBackgroundColor = 27;
constexpr int kTooltipTextColor = 28;
constexpr COLORREF kPlainBackground = 0xE7FFFF;

// Mouse messages carry two signed 16-bit values.
int TooltipMouseX(LPARAM lParam) { return static_cast<SHORT>(LOWORD(lParam)); }
int TooltipMouseY(LPARAM lParam) { return static_cast<SHORT>(HIWORD(lParam)); }

bool InsideRect(const RECT& rect, int x, int y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

}  // namespace

bool CSkinTooltip::Create(HWND owner, const RECT* toolRect, const char* text, HWND parent, int delay) {
  Destroy();
  RegisterWindowClassOnce(theTooltipClassRegistered, kClassName, &TooltipProc);
  m_Window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, "Tooltip", WS_POPUP, 0, 0, 10, 10, parent,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!m_Window) {
    SetThreadError(1, 0, LocalText("CSkinTooltip.ErrorCreateWindow", "Error creating tooltip window.").c_str());
    return false;
  }
  SetWindowLongPtrA(m_Window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_Owner = owner;
  m_Font = GetWindowHost().GetControlFont();
  SetToolRect(toolRect);
  SetText(text);
  m_Delay = delay;
  UpdateColors();
  return true;
}

void CSkinTooltip::Destroy() {
  if (m_Window) {
    SetWindowLongPtrA(m_Window, GWL_USERDATA, 0);
    DestroyWindow(m_Window);
  }
  m_Window = nullptr;
  m_Shown = false;
  m_WholeWindow = true;
  m_HoverPending = false;
  m_Enabled = true;
  m_Excluded.clear();
}

void CSkinTooltip::SetText(const char* text) {
  const char* newText = text ? text : "";
  if (std::strcmp(newText, m_Text.c_str()) == 0) return;
  m_Text = newText;
  if (!m_Shown) return;
  Place();
  InvalidateRect(m_Window, nullptr, FALSE);
}

void CSkinTooltip::SetToolRect(const RECT* rect) {
  if (rect) {
    m_ToolRect = *rect;
    m_WholeWindow = false;
  } else {
    if (m_WholeWindow) return;
    m_WholeWindow = true;
  }
  if (m_Shown && !IsInTool(m_LastX, m_LastY)) Hide();
}

void CSkinTooltip::AddRect(const RECT& rect) { m_Excluded.push_back(rect); }

void CSkinTooltip::SetEnabled(bool enabled) {
  if (enabled == m_Enabled) return;
  m_Enabled = enabled;
  if (!enabled && m_Shown) Hide();
}

void CSkinTooltip::UpdateColors() {
  CWindowHost& host = GetWindowHost();
  {
    DisplayLockScope lock;
    m_BackgroundBrush = host.GetTooltipBackgroundBrush();
    m_BorderBrush = host.GetTooltipBorderBrush();
    const CDDSkin& skin = host.GetDDSkin();
    if (skin.IsLoaded()) {
      m_TextColor = skin.GetColorSet().GetSourceColor(kTooltipTextColor);
      m_BackgroundColor = skin.GetColorSet().GetSourceColor(kTooltipBackgroundColor);
    } else {
      m_TextColor = 0;
      m_BackgroundColor = kPlainBackground;
    }
  }
  if (!m_Shown) return;
  Place();
  InvalidateRect(m_Window, nullptr, FALSE);
}

bool CSkinTooltip::IsInTool(int x, int y) const {
  if (!m_WholeWindow && !InsideRect(m_ToolRect, x, y)) return false;
  return std::none_of(m_Excluded.begin(), m_Excluded.end(), [&](const RECT& rect) { return InsideRect(rect, x, y); });
}

void CSkinTooltip::OnMouseMessage(UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_MOUSEMOVE) {
    if (m_Shown) Hide();
    return;
  }
  const int x = TooltipMouseX(lParam);
  const int y = TooltipMouseY(lParam);
  m_HoverPending = IsInTool(x, y);
  if (!m_HoverPending && m_Shown) Hide();
  m_LastX = x;
  m_LastY = y;
  m_LastTime = timeGetTime();
}

void CSkinTooltip::Poll() {
  if (!m_Enabled || !m_Window) return;
  const POINT cursor = CursorInOwner();
  if (m_Shown) {
    if (!IsInTool(cursor.x, cursor.y)) Hide();
    return;
  }
  if (!m_HoverPending || GetWindowHost().IsFullScreenActiveOrLeaving()) return;
  const DWORD now = timeGetTime();
  // Unsigned difference: the clock may wrap.
  if (now - m_LastTime < static_cast<DWORD>(std::max(0, m_Delay))) return;
  if (cursor.x == m_LastX && cursor.y == m_LastY) {
    Show();
    return;
  }
  m_HoverPending = false;
  m_LastX = cursor.x;
  m_LastY = cursor.y;
  m_LastTime = now;
}

POINT CSkinTooltip::CursorInOwner() const {
  POINT cursor{};
  GetCursorPos(&cursor);
  if (m_Owner) ScreenToClient(m_Owner, &cursor);
  return cursor;
}

void CSkinTooltip::Show() {
  Place();
  ShowWindow(m_Window, SW_SHOWNOACTIVATE);
  m_Shown = true;
}

void CSkinTooltip::Hide() {
  if (m_Window) ShowWindow(m_Window, SW_HIDE);
  m_Shown = false;
  m_HoverPending = false;
}

void CSkinTooltip::Place() {
  SIZE text{100, 20};
  if (HDC dc = GetDC(m_Window)) {
    HGDIOBJ previous = m_Font ? SelectObject(dc, m_Font) : nullptr;
    SIZE measured{};
    if (GetTextExtentPoint32A(dc, m_Text.c_str(), static_cast<int>(m_Text.GetLength()), &measured)) text = measured;
    if (previous) SelectObject(dc, previous);
    ReleaseDC(m_Window, dc);
  }
  RECT work{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
    work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  POINT cursor{};
  GetCursorPos(&cursor);
  const int width = text.cx + 6;
  const int height = text.cy + 4;
  int x = cursor.x;
  if (x + width > work.right) x = work.right - width;
  int y = cursor.y + GetSystemMetrics(SM_CYCURSOR);
  if (y + text.cy + 4 > work.bottom) y = cursor.y - text.cy - 14;
  SetWindowPos(m_Window, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE);
}

void CSkinTooltip::PaintWindow(HDC dc) {
  RECT client{};
  GetClientRect(m_Window, &client);
  if (m_BackgroundBrush) FillRect(dc, &client, m_BackgroundBrush);
  if (m_BorderBrush) FrameRect(dc, &client, m_BorderBrush);
  const COLORREF previousText = SetTextColor(dc, m_TextColor);
  const COLORREF previousBack = SetBkColor(dc, m_BackgroundColor);
  HGDIOBJ previousFont = m_Font ? SelectObject(dc, m_Font) : nullptr;
  TextOutA(dc, 3, 2, m_Text.c_str(), static_cast<int>(m_Text.GetLength()));
  if (previousFont) SelectObject(dc, previousFont);
  SetBkColor(dc, previousBack);
  SetTextColor(dc, previousText);
}

LRESULT CALLBACK CSkinTooltip::TooltipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CSkinTooltip*>(GetWindowLongPtrA(window, GWL_USERDATA));
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(window, &paint);
      if (self && dc) self->PaintWindow(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE:
      if (self) self->Hide();
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}
