// CDDControl: a light control that draws itself into its owner window's
// back-buffer tiles and takes the owner's mouse input; not a window of its
// own. It reports to its owner through one callback (repaint requests,
// clicks, presses, tracking) and never paints on its own: it asks for a
// repaint (type 1) and is drawn when the owner paints the tiles under it.
// A 1 x 1 "Focus Dummy" child window, when made, gives it keyboard focus.
//
// Lives on the user-interface thread; no locks.
#pragma once

#include <windows.h>

#include "pluginhost/abi/PlugInAbi.h"

class CDDControl;

// What a control reports to its owner (first argument of the callback).
enum DDControlNotification : int {
  DDN_INVALIDATE = 1,  // data: the client rectangle to repaint
  DDN_CLICKED = 2,
  DDN_PRESSED = 3,   // toggles: became checked
  DDN_RELEASED = 4,  // toggles: became unchecked
  DDN_ENTER = 5,
  DDN_LEAVE = 6,
  DDN_TRACK_BEGIN = 20,  // data: the point
  DDN_TRACK_END = 21,
  DDN_TRACK_MOVE = 22,
};

typedef int (*DDControlCallback)(int type, CDDControl* control, void* data);

class CDDControl {
 public:
  CDDControl() = default;
  CDDControl(const CDDControl&) = delete;
  CDDControl& operator=(const CDDControl&) = delete;
  virtual ~CDDControl();

  virtual int Create(int id, DDControlCallback callback, void* owner, const RECT& rect);
  virtual void Destroy();
  virtual int IsCreated() const { return m_Created; }
  virtual void SetVisible(int visible) { m_Visible = visible; }
  virtual int IsInteractive() const { return m_Interactive; }
  virtual void OnMouseMove(int x, int y) {}
  // Buttons: 0 left, 1 right, 2 middle.
  virtual void OnMouseDown(int button, int x, int y);
  virtual void OnMouseUp(int button, int x, int y) {}
  virtual void OnMouseWheel(int delta) {}
  virtual void OnKeyDown(int key, int flags) {}
  virtual void OnKeyUp(int key) {}
  // Right and bottom edges lie outside.
  virtual int HitTest(int x, int y) const;
  // Where the control takes input; kinds with a mask refine it.
  virtual int HitTestInput(int x, int y) const { return HitTest(x, y); }
  // Draws into `surface` with (x, y) mapping the owner's client
  // coordinates into it; `clip` is the client rectangle being painted
  // (null: all). 0 on failure, with the error reported.
  virtual int Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip) { return 1; }
  // Asks the owner to repaint the rectangle (null: the whole control);
  // an invisible control asks nothing and answers 1.
  virtual int Invalidate(const RECT* rect);
  virtual int RestoreSurfaces() { return 1; }
  virtual void SetFocus(int focused) { m_Focused = focused; }
  virtual void OnFocusKeyDown(int key, int repeatCount) {}
  virtual void OnFocusKeyUp(int key) {}

  const RECT& GetRect() const { return m_Rect; }
  int GetWidth() const { return m_Rect.right - m_Rect.left; }
  int GetHeight() const { return m_Rect.bottom - m_Rect.top; }
  int GetId() const { return m_Id; }
  int IsVisible() const { return m_Visible; }
  int IsFocused() const { return m_Focused; }
  void* GetOwner() const { return m_Owner; }
  HWND GetFocusWindow() const { return m_FocusWindow; }
  // The callback's answer; 0 without a callback.
  int Notify(int type, void* data);
  // A created control only: replaces any focus window by a new one; 0
  // when it cannot be made (the control then works without key input).
  int CreateFocusWindow(HWND parent, int tabStop);
  void DestroyFocusWindow();

  static LRESULT CALLBACK FocusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  void SetInteractive(int interactive) { m_Interactive = interactive; }

 private:
  int m_Id = -1;
  DDControlCallback m_Callback = nullptr;
  void* m_Owner = nullptr;
  RECT m_Rect{};
  int m_Created = 0;
  int m_Visible = 1;
  HWND m_FocusWindow = nullptr;
  int m_Focused = 0;
  int m_Interactive = 1;
};

// A one-pixel frame: light along the top and left, shadow along the right
// and bottom (swapped: sunken). 0 at the first failing blit, reported.
int DrawRectFrame(IDirectDrawSurface2* surface, int x, int y, const RECT& rect, DWORD light, DWORD shadow);
// The focus frame inside a button of the given state (3 disabled: none).
int DrawFocusRect(IDirectDrawSurface2* surface, int x, int y, const RECT& rect, int state, DWORD color);
// A colour fill of a rectangle moved by (x, y); 0 on failure, reported.
int FillControlRect(IDirectDrawSurface2* surface, int x, int y, const RECT& rect, DWORD color);
// The blit flag a picture needs: its source colour key, when it has one.
DWORD KeyFlagOf(IDirectDrawSurface2* picture);
