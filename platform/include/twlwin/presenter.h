// The seam between the headless window model and a presenter that shows it
// on a real desktop: listeners that hear of every change a presenter must
// mirror, input entering the model at screen points, and the pixels of a
// top-level window or of the whole screen copied out row by row.
//
// The screen: every window keeps its own pixel buffer, the size of its
// window rectangle. Drawing through a window DC lands in that buffer (cut to
// the window's shape); writes to the screen (the DirectDraw primary
// surface) land in the buffers of the windows they cover, each cut to its
// visible region, or with a clipper bound to a window in that window's
// alone. Reading the screen composes the buffers: each window shows its own
// pixels in its visible region, the desktop colour fills the rest. A
// presenter shows each top-level window's composed pixels as a real window.
//
// Threading: any thread may call these functions. Listeners run on the
// thread that made the change, after the change, with no lock of the layer
// held; they may call back into the layer but should return quickly (a
// presenter queues the work for its own thread). A window's pixels are
// guarded by a lock of their own, so a presenter may read them while the
// window's thread draws.
#pragma once

#include "types.h"

// What changed. Every event names a top-level window of this process;
// changes to child windows come as TWL_SCREEN_PIXELS of their top-level
// window, since they change only what it looks like.
#define TWL_SCREEN_CREATED 1   // rect: the window rectangle (screen)
#define TWL_SCREEN_DESTROYED 2
#define TWL_SCREEN_SHOWN 3     // rect: the window rectangle (screen)
#define TWL_SCREEN_HIDDEN 4
#define TWL_SCREEN_MOVED 5     // rect: the window rectangle (screen)
#define TWL_SCREEN_RESIZED 6   // rect: the window rectangle (screen)
#define TWL_SCREEN_RESHAPED 7  // the shape changed: read it with GetWindowRgn
#define TWL_SCREEN_ZORDER 8    // the window moved in the z-order
#define TWL_SCREEN_PIXELS 9    // rect: what may have changed, window coordinates
// Three events are not of one window's place or pixels: the cursor on
// show changed (read it with GetCursor; window null); a notification-area
// icon was added, changed or deleted (read them with TwlGetNotifyIcon;
// window: the icon's); the mouse capture changed (window: the top-level
// window of the capturing window, null when it was released).
#define TWL_SCREEN_CURSOR 10
#define TWL_SCREEN_TRAY 11
#define TWL_SCREEN_CAPTURE 12

typedef struct {
  UINT kind;
  HWND window;
  RECT rect;  // empty where the kind says nothing of it
} TWLSCREENEVENT;

typedef void(CALLBACK* TWLSCREENLISTENER)(const TWLSCREENEVENT* event, void* context);

// Adds a listener; returns a cookie for TwlRemoveScreenListener, 0 when the
// listener is null. Once removal returns, the listener is not called again.
TWLAPI DWORD TwlAddScreenListener(TWLSCREENLISTENER listener, void* context);
TWLAPI BOOL TwlRemoveScreenListener(DWORD cookie);

// Input from the desktop, at screen points. Mouse events go to the capture
// window, else to the topmost visible window whose shape holds the point
// (down to its deepest enabled child); keys and the wheel go to the focus
// window of the foreground window's thread. Each queues the messages the
// event makes and returns FALSE when no window takes it. Buttons are
// VK_LBUTTON, VK_RBUTTON and VK_MBUTTON.
TWLAPI BOOL TwlInputMouseMove(int x, int y);
TWLAPI BOOL TwlInputMouseButton(int button, BOOL down, int x, int y);
TWLAPI BOOL TwlInputMouseWheel(int x, int y, int delta);
TWLAPI BOOL TwlInputKey(UINT virtualKey, BOOL down);
// The desktop activated a top-level window (its real window got the focus):
// it becomes the foreground window, activated on its own thread.
TWLAPI BOOL TwlInputActivate(HWND window);
// The desktop's frame moved or sized a top-level window: the window takes
// the rectangle (screen coordinates) on its own thread, as SetWindowPos.
TWLAPI BOOL TwlInputPlaceWindow(HWND window, const RECT* rect);

// Pixels as 32-bit words 0x00RRGGBB, `stride` bytes from one row to the
// next, rows top first; `area` must lie inside what is read.
// A top-level window with its children, window coordinates: pixels outside
// the window's shape are 0. FALSE for a window that is not a top-level
// window of this process.
TWLAPI BOOL TwlReadWindowPixels(HWND window, const RECT* area, DWORD* rows, int stride);
// The composed screen, screen coordinates.
TWLAPI BOOL TwlReadScreenPixels(const RECT* area, DWORD* rows, int stride);

// A top-level window with its visible children, and the whole virtual
// screen, as they look now, written as an 8-bit RGB PNG file (for the
// program's snapshot hook). FALSE with the error set when the window is
// gone or the file cannot be written.
TWLAPI BOOL TwlSaveWindowPng(HWND window, LPCSTR path);
TWLAPI BOOL TwlSaveScreenPng(LPCSTR path);

// Tracked menus: a presenter shows the menu (read through the menu calls)
// at the screen point and answers the chosen item's id, 0 when the user
// dismissed it, -1 when it could not be shown. It runs on the thread that
// called TrackPopupMenu with no lock of the layer held. Null brings back
// the testing header's scripted answers.
typedef int(CALLBACK* TWLMENUPRESENTER)(HMENU menu, UINT flags, int x, int y, HWND owner, void* context);
TWLAPI void TwlSetMenuPresenter(TWLMENUPRESENTER presenter, void* context);

// Whether the cursor shows (ShowCursor's count is 0 or more); which one
// shows is GetCursor's.
TWLAPI BOOL TwlIsCursorShown(void);

// The notification-area icons as Shell_NotifyIconA left them, in the order
// they were added (TWL_SCREEN_TRAY tells of changes).
typedef struct {
  HWND hWnd;
  UINT uID;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[64];
} TWLNOTIFYICON;
TWLAPI UINT TwlGetNotifyIconCount(void);
TWLAPI BOOL TwlGetNotifyIcon(UINT index, TWLNOTIFYICON* icon);

// Loads the desktop presenter (libtwlqt.so beside this library) and starts
// it, when a desktop is there (a display named and TWL_HEADLESS unset);
// FALSE otherwise or when it cannot start, and the program runs headless.
// Stopping closes its real windows; both are for the program's main thread.
TWLAPI BOOL TwlStartPresenter(void);
TWLAPI void TwlStopPresenter(void);
