// CDragRectWindow: the outline that follows the mouse while a window is
// moved or resized: a two-pixel bevelled frame around a rectangle of the
// screen, made of four thin top-level strips (left, top, right, bottom) so
// that what lies inside the frame is never touched. The strips are
// disabled tool windows that are never activated, so clicking one leaves
// the active window and the focus where they are.
//
// Threading: one thread, the one that runs the strips' message loop.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CDragRectWindow : public CTypedObject {
  TWL_DECLARE_CLASS(CDragRectWindow)
 public:
  enum Strip { kLeftStrip, kTopStrip, kRightStrip, kBottomStrip, kStripCount };

  CDragRectWindow() noexcept = default;
  CDragRectWindow(const CDragRectWindow&) = delete;
  CDragRectWindow& operator=(const CDragRectWindow&) = delete;
  ~CDragRectWindow() override { Destroy(); }

  // Makes the four strips, hidden, around `rect` (screen coordinates; an
  // existing frame is destroyed first). Throws a CError when a pen or a
  // strip cannot be made; nothing is left made then.
  void Create(const RECT& rect);
  void Destroy();
  void Show();
  void Hide();
  // The frame surrounds `rect` from now on.
  void SetRect(const RECT& rect);
  // Moves the rectangle's top-left to (x, y), keeping its size.
  void MoveTo(INT x, INT y);

  const RECT& GetRect() const { return m_Rect; }
  bool IsShown() const { return m_Shown; }
  // Null when not made.
  HWND GetStripWindow(Strip strip) const { return m_Strips[strip]; }

 private:
  enum Pen { kLight, kDark, kMidLight, kMidDark, kPenCount };

  void StoreRect(const RECT& rect);
  void Layout();
  void PaintStrip(HWND strip, HDC dc) const;
  static LRESULT CALLBACK StripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_Strips[kStripCount] = {};
  HPEN m_Pens[kPenCount] = {};
  bool m_Shown = false;
  RECT m_Rect{0, 0, 10, 10};
  // The frame's outside: two pixels around the rectangle.
  RECT m_Outer{-2, -2, 12, 12};
};
