// Test controls of the drawing side: dump pixels to PNG files, see which
// font file a font uses, and read the tray icons the program has added.
// Product code never includes this header.
#pragma once

#include "gdi.h"
#include "presenter.h"

// Writes the bitmap as an 8-bit RGB PNG file. FALSE with the error set when
// the handle is not a bitmap or the file cannot be written.
TWLAPI BOOL TwlTestSaveBitmapPng(HBITMAP bitmap, LPCSTR path);
// Writes what the DC draws on (its bitmap, or its window's area).
TWLAPI BOOL TwlTestSaveDcPng(HDC dc, LPCSTR path);

// A window with its visible children, and the whole virtual screen, as
// they look now.
TWLAPI BOOL TwlTestSaveWindowPng(HWND window, LPCSTR path);
TWLAPI BOOL TwlTestSaveScreenPng(LPCSTR path);
// One pixel of the composed window (window coordinates), CLR_INVALID
// outside it or outside its shape.
TWLAPI COLORREF TwlTestGetWindowPixel(HWND window, int x, int y);
// The composed window's pixels, rows top first, into a width x height
// buffer (the window's size; see GetWindowRect), CLR_INVALID outside the
// window's shape. FALSE when the sizes differ or the window is gone.
TWLAPI BOOL TwlTestGetWindowPixels(HWND window, COLORREF* pixels, int width, int height);

// Writes pixels onto the screen as the primary surface does: into every
// window the area covers, each within its visible region, or with
// `onlyWindow` into that window alone. Pixels as TwlReadScreenPixels takes
// them (twlwin/presenter.h). FALSE when the area is not on the screen.
TWLAPI BOOL TwlTestWriteScreenPixels(const RECT* area, const DWORD* rows, int stride, HWND onlyWindow);

// ExtCreateRegion refuses region data of more than `maxRects` rectangles,
// as large region data can fail on Windows; 0xFFFFFFFF lifts the limit.
TWLAPI void TwlTestLimitExtCreateRegion(DWORD maxRects);

// The font file behind a font, e.g. ".../DejaVuSansMono.ttf"; returns the
// length copied, 0 for a bad handle.
TWLAPI DWORD TwlTestGetFontFile(HFONT font, LPSTR buffer, DWORD size);

// The notification-area icons as Shell_NotifyIconA left them, in the order
// they were added.
typedef TWLNOTIFYICON TWLTEST_NOTIFYICON;

TWLAPI UINT TwlTestGetNotifyIconCount();
TWLAPI BOOL TwlTestGetNotifyIcon(UINT index, TWLTEST_NOTIFYICON* icon);
// A mouse event over icon `index`, as the tray reports it: the icon's
// callback message is posted to its window with wParam the icon's id and
// lParam the mouse message (WM_MOUSEMOVE, WM_LBUTTONDOWN, ...). The cursor
// does not move. FALSE when there is no such icon, it has no callback
// message, or the post fails.
TWLAPI BOOL TwlTestPostNotifyIconMessage(UINT index, UINT mouseMessage);
