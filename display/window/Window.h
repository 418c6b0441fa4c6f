// CWindow: one Win32 window whose pixels never come from GDI but from
// DirectDraw surfaces. It turns the window's messages into calls of the
// virtual handlers below (a CError a handler throws is logged and the
// message gets its default processing), keeps the window's rectangle,
// visibility and minimised state, can run a tick thread that wakes it
// (message 1204, never more than one waiting), turns dropped files into
// URLs, and paints: the part that needs it collects in one dirty
// rectangle, which is drawn tile by tile into the user interface's shared
// back buffer (BeginTile, DrawTile) and copied from there onto the screen
// through a clipper bound to the window (BlitTile). A run of failed paints
// is logged once, and a lost surface restored once per run.
//
// The window classes are registered by the subclasses, with
// StaticWindowProc as their procedure. Everything runs on the thread that
// made the window, except the tick thread, which touches only the tick
// interval and the pending tick count under the tick lock.
#pragma once

#include <windows.h>

#include "display/controls/DDControlList.h"
#include "display/dragrect/DragRectWindow.h"
#include "display/tooltips/TooltipManager.h"
#include "display/window/WindowOwner.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "twlwin/controls.h"
#include "twlwin/ddraw.h"

class CDDControl;
class CDDPushButton;
class CDDLabel;
struct SkinControlStyle;
class CError;
struct ThreadErrorState;

class CWindow : public CWindowOwner {
  TWL_DECLARE_CLASS(CWindow)
 public:
  // The framework's own messages of every window.
  static constexpr UINT kWindowTickMessage = 1204;
  static constexpr UINT kWindowPaintDirtyMessage = 1304;
  static constexpr UINT kWindowCloseMessage = 1314;

  CWindow();
  CWindow(const CWindow&) = delete;
  CWindow& operator=(const CWindow&) = delete;
  ~CWindow() override;

  // Virtual operations, in the framework's order.
  void OnWindowEvent(CWindow* window, int code) override;
  // Ends the Win32 window, the tick thread and the clipper; tells the
  // owner (code 2). Harmless on a window never made, and repeatable.
  virtual void Destroy();
  virtual void ReleaseResources() {}
  // Before the program frees the file and folder information records: a
  // window that listens to records detaches and forgets them here, so its
  // Destroy later touches none of them.
  virtual void PrepareExit() {}
  virtual void SetSize(int width, int height);
  virtual void SetPosition(int x, int y);
  virtual void SetRect(const RECT& rect);
  // Phases: 0 before the skin is released, 1 after the new one is applied,
  // 2 before and 3 after a mode change of the main window.
  virtual void OnSkinChange(int phase) {}
  // After the user interface restored lost surfaces.
  virtual bool RestoreSurfaces();
  virtual void ReplayMouseMove(int screenX, int screenY);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Routes a surface-drawn control's report to the handler of its type;
  // always 1.
  virtual int OnControlEvent(int type, CDDControl* control, void* data);
  virtual void OnDestroy();
  virtual bool OnClose() { return true; }
  virtual void OnPaint();
  virtual void OnMouseMove(int x, int y);
  // Buttons: 0 left, 1 right, 2 middle.
  virtual void OnMouseButtonDown(int button, int x, int y);
  virtual void OnMouseButtonUp(int button, int x, int y);
  // The wheel's high word, unsigned: towards the user is above 32767.
  virtual void OnMouseWheel(UINT delta);
  virtual void OnKeyDown(UINT key, LPARAM data);
  virtual void OnKeyUp(UINT key, LPARAM data);
  virtual void OnSysKeyDown(UINT key, LPARAM data) {}
  virtual void OnSysKeyUp(UINT key, LPARAM data) {}
  virtual void OnSize(int width, int height);
  virtual void OnMinimize(bool argument);
  virtual void OnRestore();
  virtual void OnMove(int x, int y);
  // Ends a running move without applying it when another window takes
  // the mouse.
  virtual void OnCaptureChanged(HWND newCapture);
  virtual void OnDropFiles(HDROP drop);
  virtual void OnActivate(bool active, HWND other) {}
  virtual void OnCommand(UINT notifyCode, UINT id, HWND control) {}
  virtual LRESULT OnNotify(WPARAM id, NMHDR* header) { return 0; }
  virtual HBRUSH OnCtlColorEdit(HWND control, HDC dc);
  virtual HBRUSH OnCtlColorListBox(HWND control, HDC dc);
  virtual void OnShowWindow(bool show, LPARAM status);
  virtual void OnTick() {}
  // The dropped names as URLs; the handler copies what it keeps.
  virtual void OnFilesDropped(const char* const* urls, int count) {}
  virtual void OnShow(bool shown);
  virtual void OnControlInvalidate(CDDControl* control, const RECT* rect);
  virtual void OnControlClicked(CDDControl* control) {}
  virtual void OnControlPressed(CDDControl* control) {}
  virtual void OnControlReleased(CDDControl* control) {}
  virtual void OnControlEnter(CDDControl* control) {}
  // Destroy, then the object deletes itself: only for windows made with new.
  virtual void Close();
  virtual void OnControlLeave(CDDControl* control) {}
  virtual void OnControlNotify(CDDControl* control) {}
  virtual void OnControlSecondNotify(CDDControl* control) {}
  // Paints the background of a tile (a rectangle of the window) into the
  // back buffer, the tile's top left corner at (x, y).
  virtual bool BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) { return true; }
  // Draws what lies on the background: the window's controls that meet
  // the tile; false when one failed (the others are still drawn).
  virtual bool DrawTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile);
  // Copies the source rectangle of the back buffer onto the screen at
  // (x, y) of the window.
  virtual bool BlitTile(int x, int y, IDirectDrawSurface2* backBuffer, const RECT& source);
  virtual bool IsMoveArea(int x, int y) { return false; }
  // Paints a rectangle of the window (null: all of it) now; false after a
  // failure, with the reason in the thread error state.
  virtual bool Paint(const RECT* rect);

  // Destroys any window made before, then makes the Win32 window and its
  // clipper. Throws a CError when the window cannot be made, and the
  // clipper's CDirectDrawError (after destroying the new window).
  void Create(const char* name, const char* title, const char* className, DWORD style, DWORD extendedStyle, int x,
              int y, int width, int height, HWND parent, CWindowOwner* owner);
  // The procedure of every window class of the framework.
  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  void Show(bool show);
  void Minimize(bool argument);
  void Restore();
  void BringToTop();
  void Enable(bool enable);

  // Starts the tick thread, or gives a running one a new interval (above
  // 0); throws a CError when the thread cannot be started.
  void StartTicks(DWORD interval);
  // Ends the tick thread and waits for it; not from the tick thread.
  void StopTicks();

  // Adds a rectangle (null: the whole window) to what needs painting,
  // cut to the window. Nothing is painted yet.
  void InvalidateRect(const RECT* rect);
  // After a size change: the dirty rectangle cut to the new size.
  void ClipDirtyRect();
  // Paints the dirty rectangle, when there is one.
  bool PaintDirty();

  // A text push button (a check box when asked) in the style given,
  // appended to the controls; null without a rectangle or a loaded skin.
  CDDControl* CreateButton(int id, const char* text, const RECT* rect, const SkinControlStyle& style, bool checkBox);
  // A label in skin font `fontIndex` (-1: font 0); null without a
  // rectangle or a loaded skin. The text may be null.
  CDDLabel* CreateLabel(int id, const char* text, const RECT* rect, int fontIndex);
  // The callback of every control of a window: routes to the window the
  // control was made for (its owner).
  static int ControlCallback(int type, CDDControl* control, void* data);

  // The window's controls; deleted with the window.
  CDDControlList& GetControls() { return m_Controls; }
  // The window's tooltips: they see every message before the window's
  // own dispatch; removed when the window is destroyed.
  CTooltipManager& GetTooltips() { return m_Tooltips; }

  // Moving by dragging a move area: an outline follows the mouse (sticking
  // to other windows' visible edges and the work area when snapping is on)
  // and the window jumps there when the button is released.
  void BeginMove(int x, int y);
  void TrackMove(int x, int y);
  void EndMove(bool cancel);
  bool IsMoving() const { return m_Moving; }
  // Off again after every Destroy.
  void SetSnapToEdges(bool on) { m_SnapToEdges = on; }
  bool GetSnapToEdges() const { return m_SnapToEdges; }
  // Moves (x, y), the top-left of `window`'s rectangle, onto the nearest
  // edges within `distance`: visible edges of the other top-level windows
  // (not the excluded ones) and the work area's edges.
  static void SnapToEdges(int& x, int& y, HWND window, const HWND* excluded, int excludedCount, int distance);
  // Centres the window on another (null: the screen); with keepNonNegative
  // a negative place becomes 0.
  void CenterOnWindow(const CWindow* other, bool keepNonNegative);

  // Window places kept in the settings key under "<name>_WindowRect".
  static void SetWindowRect(HWND window, const RECT* rect, HWND insertAfter);
  static bool SaveWindowRect(const char* valueName, const RECT& rect);
  static bool ReadWindowRect(const char* valueName, RECT* rect, bool* found);
  static bool LoadWindowRectOrDefault(const char* valueName, RECT* rect, int width, int height, HWND reference,
                                      int dx, int dy);
  static void KeepRectOnScreen(RECT* rect);
  // The stored place of the window named `name`, else the default place,
  // kept on the screen; an unreadable settings key is logged as a warning.
  void LoadWindowRect(RECT* rect, const char* name, int width, int height, HWND reference, int dx, int dy);
  // Stores a place (null: this window's rectangle) under a name (null:
  // this window's name).
  bool StoreWindowRect(const char* name, const RECT* rect);
  // The whole text of a window, however long.
  static CStr GetWindowText(HWND window);

  HWND GetWindowHandle() const { return m_Window; }
  const CStr& GetName() const { return m_Name; }
  const CStr& GetTitle() const { return m_Title; }
  CWindowOwner* GetOwner() const { return m_Owner; }
  const RECT& GetRect() const { return m_Rect; }
  int GetWidth() const { return m_Rect.right - m_Rect.left; }
  int GetHeight() const { return m_Rect.bottom - m_Rect.top; }
  bool IsShown() const { return m_Shown; }
  bool IsMinimized() const { return m_Minimized; }
  const RECT& GetDirtyRect() const { return m_DirtyRect; }
  bool LastPaintSucceeded() const { return m_LastPaintSucceeded; }
  HRESULT GetLastPaintError() const { return m_LastPaintError; }
  IDirectDrawClipper* GetClipper() const { return m_Clipper; }
  HANDLE GetTickThread() const { return m_TickThread; }

 protected:
  // Binds a new clipper to the window; throws a CDirectDrawError.
  void CreateClipper();
  void ReleaseClipper();

 private:
  static DWORD WINAPI TickThread(LPVOID window);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void LogHandlerException(UINT message, WPARAM wParam, LPARAM lParam, const CError* error);
  bool PaintTiles(IDirectDrawSurface2* backBuffer, const RECT& area, ThreadErrorState*& drawError);
  void LogPaintError();
  // Hands one input event to the controls with their repaints held back,
  // then paints what they invalidated at once.
  template <typename Broadcast>
  void BroadcastInput(Broadcast broadcast);

  HWND m_Window = nullptr;
  bool m_Shown = false;
  bool m_Minimized = false;
  bool m_MinimizeArgument = false;
  CWindowOwner* m_Owner = nullptr;
  CStr m_Name;
  CStr m_Title;
  // Set while input reaches the controls, so that their repaints collect
  // in the dirty rectangle and are painted once afterwards.
  bool m_InInputBroadcast = false;
  CDDControlList m_Controls;
  CTooltipManager m_Tooltips;
  PAINTSTRUCT m_PaintRecord{};
  RECT m_Rect{};
  // Window coordinates; all zero: nothing to paint.
  RECT m_DirtyRect{};
  IDirectDrawClipper* m_Clipper = nullptr;
  bool m_LastPaintSucceeded = true;
  HRESULT m_LastPaintError = 0;
  bool m_Destroying = false;
  bool m_InsideDestroyMessage = false;
  bool m_Moving = false;
  POINT m_MoveStart{};
  CDragRectWindow m_DragRect;
  bool m_SnapToEdges = false;
  int m_SnapDistance = 20;
  HANDLE m_TickThread = nullptr;
  DWORD m_TickInterval = 0;
  bool m_MouseMoved = false;
  LONG m_PendingTicks = 0;
  CriticalSection m_TickLock;
};
