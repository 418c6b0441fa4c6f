// CLineAnimationWindow: a busy sign inside a rectangle of a skinned
// window: a line of some thickness sweeps across the rectangle in a fixed
// number of steps, growing from nothing to the full extent as it goes,
// for a number of passes, then pauses. Despite the name it has no window
// of its own: it paints straight onto the screen through the target
// window's clipper and erases each line from a copy of the clean
// background (the window's aux frame). The target's tick drives it.
//
// Threading: the user-interface thread; drawing holds the display lock.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"
#include "twlwin/ddraw.h"

class CWindow;

class CLineAnimationWindow : public CTypedObject {
  TWL_DECLARE_CLASS(CLineAnimationWindow)
 public:
  // Directions: the line enters at the right edge and moves left, at the
  // left edge and moves right (both vertical lines), at the bottom and
  // moves up, at the top and moves down (both horizontal).
  enum Direction { kLeftwards = 0, kRightwards = 1, kUpwards = 2, kDownwards = 3 };

  CLineAnimationWindow() noexcept = default;
  CLineAnimationWindow(const CLineAnimationWindow&) = delete;
  CLineAnimationWindow& operator=(const CLineAnimationWindow&) = delete;
  ~CLineAnimationWindow() override { Stop(); }

  // `rect` in the target's coordinates; `color` a display pixel value (a
  // display palette index on palette displays). A step count below 1
  // counts as 1.
  void Setup(CWindow* target, const RECT& rect, int direction, int steps, int passes, int thickness, int pause,
             DWORD color);
  // False when the background cannot be made (the reason in the thread
  // error state). An empty rectangle starts without one and never draws.
  bool Start();
  // Erases the current line and lets go of the background.
  void EndAnimation();
  // EndAnimation, and the target is forgotten.
  void Stop();
  void Tick();

  bool IsRunning() const { return m_Running; }
  // The line the last tick drew (target coordinates); empty when none.
  const RECT& GetDrawnLine() const { return m_DrawnLine; }

 private:
  bool CreateBackground();
  void ReleaseBackground();
  void Advance();
  // The line at the current position; empty when none shows there.
  RECT LineRect() const;
  void DrawLine(const RECT& line);
  void EraseLine(const RECT& line);

  CWindow* m_Target = nullptr;
  RECT m_Rect{};
  int m_Direction = kDownwards;
  int m_StepCount = 1;
  int m_Passes = 1;
  int m_Thickness = 1;
  int m_Pause = 0;
  DWORD m_Color = 0;
  bool m_HorizontalLines = true;
  double m_Step = 0;
  int m_CurrentStep = 0;
  int m_PassesLeft = 0;
  int m_PauseLeft = 0;
  int m_Position = 0;
  IDirectDrawSurface2* m_Background = nullptr;
  bool m_Running = false;
  RECT m_DrawnLine{};
};
