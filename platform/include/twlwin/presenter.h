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
