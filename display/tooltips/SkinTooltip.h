// CSkinTooltip: one tooltip of a window, drawn by the program itself: a
// small topmost pop-up that shows one line of text in the skin's tooltip
// colours near the cursor once the mouse has rested over the tool area
// (a rectangle of the owner's client area, or all of it, minus excluded
// rectangles) for the delay. The owner's mouse messages arrive through
// OnMouseMessage; the owner's tick calls Poll, which decides on showing.
//
// Threading: the user-interface thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CSkinTooltip : public CTypedObject {
  TWL_DECLARE_CLASS(CSkinTooltip)
 public:
  static constexpr const char* kClassName = "TWL TooltipClass";
  static constexpr int kDefaultDelay = 500;

  CSkinTooltip() noexcept = default;
  CSkinTooltip(const CSkinTooltip&) = delete;
  CSkinTooltip& operator=(const CSkinTooltip&) = delete;
  ~CSkinTooltip() override { Destroy(); }

  // Makes the hidden tooltip window; false with the reason in the thread
  // error state. `toolRect` null: the whole owner window is the tool area.
  bool Create(HWND owner, const RECT* toolRect, const char* text, HWND parent, int delay);
  void Destroy();

  // Null is the empty text.
  void SetText(const char* text);
  void SetToolRect(const RECT* rect);
  // The tooltip never shows while the mouse is inside `rect`.
  void AddRect(const RECT& rect);
  void SetEnabled(bool enabled);
  // Takes the user interface's brushes and the skin's tooltip colours
  // again (after a skin change).
  void UpdateColors();

  void OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Poll();

  bool IsInTool(int x, int y) const;
  bool IsShown() const { return m_Shown; }
  bool IsEnabled() const { return m_Enabled; }
  bool IsHoverPending() const { return m_HoverPending; }
  HWND GetWindowHandle() const { return m_Window; }
  const CStr& GetText() const { return m_Text; }

 private:
  void Show();
  void Hide();
  void Place();
  // The cursor in the owner's client coordinates.
  POINT CursorInOwner() const;
  void PaintWindow(HDC dc);
  static LRESULT CALLBACK TooltipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_Window = nullptr;
  bool m_Shown = false;
  HWND m_Owner = nullptr;
  RECT m_ToolRect{};
  bool m_WholeWindow = true;
  int m_Delay = kDefaultDelay;
  CStr m_Text;
  HBRUSH m_BackgroundBrush = nullptr;
  HBRUSH m_BorderBrush = nullptr;
  HFONT m_Font = nullptr;
  COLORREF m_TextColor = 0;
  COLORREF m_BackgroundColor = 0xE7FFFF;
  bool m_HoverPending = false;
  int m_LastX = 0;
  int m_LastY = 0;
  DWORD m_LastTime = 0;
  bool m_Enabled = true;
  std::vector<RECT> m_Excluded;
};
