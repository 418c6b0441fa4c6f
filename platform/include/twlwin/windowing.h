// Windows and their message queues: classes, creation and destruction,
// window data, posting and sending, timers, painting, placement, z-order,
// focus, activation, capture, key state and the virtual screen's metrics.
// A window belongs to the thread that created it; each thread has its own
// queue. Any thread may post or send to any window.
#pragma once

#include "messages.h"
#include "types.h"

typedef WORD ATOM;
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
typedef BOOL(CALLBACK* WNDENUMPROC)(HWND, LPARAM);

#ifndef ERROR_CANNOT_FIND_WND_CLASS
#define ERROR_INVALID_MENU_HANDLE 1401L
#define ERROR_TLW_WITH_WSCHILD 1406L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_WINDOW_OF_OTHER_THREAD 1408L
#define ERROR_INVALID_INDEX 1413L
#define ERROR_INVALID_THREAD_ID 1444L
#define ERROR_NO_WND_CLASS 1410L
#endif

#define MAKEINTATOM(i) (reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<ULONG_PTR>(p) >> 16) == 0)

// Class styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040
#define CS_PARENTDC 0x0080
#define CS_NOCLOSE 0x0200
#define CS_SAVEBITS 0x0800
#define CS_GLOBALCLASS 0x4000

typedef struct tagWNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
} WNDCLASSA, *LPWNDCLASSA;

typedef struct tagWNDCLASSEXA {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
} WNDCLASSEXA, *LPWNDCLASSEXA;

// Window styles.
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_ICONIC WS_MINIMIZE
#define WS_SIZEBOX WS_THICKFRAME
#define WS_CHILDWINDOW WS_CHILD
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_NOPARENTNOTIFY 0x00000004L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_ACCEPTFILES 0x00000010L
#define WS_EX_TRANSPARENT 0x00000020L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_CONTEXTHELP 0x00000400L
#define WS_EX_STATICEDGE 0x00020000L
#define WS_EX_APPWINDOW 0x00040000L
#define WS_EX_NOACTIVATE 0x08000000L

#define CW_USEDEFAULT (static_cast<int>(0x80000000))
// Parent of message-only windows: they receive messages but are never shown,
// found or enumerated.
#define HWND_MESSAGE (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-3)))

// Window data indices. GetWindowLongA and SetWindowLongA carry pointer-sized
// values, so the user-data slot and the window procedure hold pointers on
// 64-bit builds; byte offsets into the extra bytes read and write 32 bits.
#define GWL_WNDPROC (-4)
#define GWL_HINSTANCE (-6)
#define GWL_HWNDPARENT (-8)
#define GWL_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
#define GWLP_WNDPROC GWL_WNDPROC
#define GWLP_HINSTANCE GWL_HINSTANCE
#define GWLP_HWNDPARENT GWL_HWNDPARENT
#define GWLP_ID GWL_ID
#define GWLP_USERDATA GWL_USERDATA

#define GCL_MENUNAME (-8)
#define GCL_HBRBACKGROUND (-10)
#define GCL_HCURSOR (-12)
#define GCL_HICON (-14)
#define GCL_HMODULE (-16)
#define GCL_CBWNDEXTRA (-18)
#define GCL_CBCLSEXTRA (-20)
#define GCL_WNDPROC (-24)
#define GCL_STYLE (-26)
#define GCW_ATOM (-32)

TWLAPI ATOM RegisterClassA(const WNDCLASSA* windowClass);
TWLAPI ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
TWLAPI BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
TWLAPI BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA windowClass);
TWLAPI int GetClassNameA(HWND window, LPSTR buffer, int size);
TWLAPI LONG_PTR GetClassLongA(HWND window, int index);
TWLAPI LONG_PTR SetClassLongA(HWND window, int index, LONG_PTR value);

TWLAPI HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter);
#define CreateWindowA(c, n, s, x, y, w, h, p, m, i, a) CreateWindowExA(0, c, n, s, x, y, w, h, p, m, i, a)
TWLAPI BOOL DestroyWindow(HWND window);
TWLAPI BOOL IsWindow(HWND window);
TWLAPI LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
TWLAPI LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

TWLAPI LONG_PTR GetWindowLongA(HWND window, int index);
TWLAPI LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value);
TWLAPI LONG_PTR GetWindowLongPtrA(HWND window, int index);
TWLAPI LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
TWLAPI BOOL SetWindowTextA(HWND window, LPCSTR text);
TWLAPI int GetWindowTextA(HWND window, LPSTR buffer, int size);
TWLAPI int GetWindowTextLengthA(HWND window);
TWLAPI DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);
TWLAPI HWND GetDlgItem(HWND parent, int id);
TWLAPI int GetDlgCtrlID(HWND window);

// Queues.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002

TWLAPI BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
TWLAPI BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
TWLAPI LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
TWLAPI BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
TWLAPI BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
TWLAPI BOOL TranslateMessage(const MSG* message);
TWLAPI LRESULT DispatchMessageA(const MSG* message);
TWLAPI void PostQuitMessage(int exitCode);
TWLAPI BOOL WaitMessage();
TWLAPI BOOL InSendMessage();
TWLAPI DWORD GetMessageTime();
TWLAPI DWORD GetMessagePos();

// Timers.
#define USER_TIMER_MINIMUM 0x0000000A
TWLAPI UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure);
TWLAPI BOOL KillTimer(HWND window, UINT_PTR id);

// Painting. The device context of a paint cycle comes from the GDI layer.
typedef struct tagPAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
} PAINTSTRUCT, *PPAINTSTRUCT, *LPPAINTSTRUCT;

TWLAPI BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
TWLAPI BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase);
TWLAPI BOOL ValidateRect(HWND window, const RECT* rect);
TWLAPI BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
TWLAPI int GetUpdateRgn(HWND window, HRGN region, BOOL erase);
TWLAPI BOOL UpdateWindow(HWND window);
TWLAPI HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
TWLAPI BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// Placement and state.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOCOPYBITS 0x0100
#define SWP_NOOWNERZORDER 0x0200
#define SWP_NOSENDCHANGING 0x0400

#define HWND_TOP (reinterpret_cast<HWND>(0))
#define HWND_BOTTOM (reinterpret_cast<HWND>(1))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-2)))

#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5
#define GW_ENABLEDPOPUP 6

#define GA_PARENT 1
#define GA_ROOT 2
#define GA_ROOTOWNER 3

TWLAPI BOOL ShowWindow(HWND window, int command);
TWLAPI BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
TWLAPI BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
TWLAPI BOOL BringWindowToTop(HWND window);
TWLAPI BOOL IsWindowVisible(HWND window);
TWLAPI BOOL IsIconic(HWND window);
TWLAPI BOOL IsZoomed(HWND window);
TWLAPI BOOL EnableWindow(HWND window, BOOL enable);
TWLAPI BOOL IsWindowEnabled(HWND window);

TWLAPI BOOL GetWindowRect(HWND window, LPRECT rect);
TWLAPI BOOL GetClientRect(HWND window, LPRECT rect);
TWLAPI BOOL ClientToScreen(HWND window, LPPOINT point);
TWLAPI BOOL ScreenToClient(HWND window, LPPOINT point);
TWLAPI int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
TWLAPI BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
TWLAPI BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);
TWLAPI HWND WindowFromPoint(POINT point);

// Hierarchy and z-order. The top-level walk (GetTopWindow(NULL), then
// GW_HWNDNEXT) covers every program on the desktop.
TWLAPI HWND GetParent(HWND window);
TWLAPI HWND GetAncestor(HWND window, UINT flags);
TWLAPI HWND GetWindow(HWND window, UINT command);
TWLAPI HWND GetTopWindow(HWND window);
TWLAPI HWND GetDesktopWindow();
TWLAPI BOOL IsChild(HWND parent, HWND window);
TWLAPI BOOL EnumWindows(WNDENUMPROC callback, LPARAM parameter);
TWLAPI HWND FindWindowA(LPCSTR className, LPCSTR windowName);

// Focus, activation, capture.
TWLAPI HWND SetFocus(HWND window);
TWLAPI HWND GetFocus();
TWLAPI HWND SetActiveWindow(HWND window);
TWLAPI HWND GetActiveWindow();
TWLAPI BOOL SetForegroundWindow(HWND window);
TWLAPI HWND GetForegroundWindow();
TWLAPI BOOL AllowSetForegroundWindow(DWORD processId);
TWLAPI HWND SetCapture(HWND window);
TWLAPI BOOL ReleaseCapture();
TWLAPI HWND GetCapture();

// Keyboard and mouse state.
TWLAPI SHORT GetKeyState(int virtualKey);
TWLAPI SHORT GetAsyncKeyState(int virtualKey);
TWLAPI UINT MapVirtualKeyA(UINT code, UINT mapType);
TWLAPI BOOL GetCursorPos(LPPOINT point);
TWLAPI BOOL SetCursorPos(int x, int y);

// Metrics of the virtual screen.
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CYMENU 15
#define SM_CXFULLSCREEN 16
#define SM_CYFULLSCREEN 17
#define SM_MOUSEPRESENT 19
#define SM_SWAPBUTTON 23
#define SM_CXMIN 28
#define SM_CYMIN 29
#define SM_CXSIZE 30
#define SM_CYSIZE 31
#define SM_CXFRAME 32
#define SM_CYFRAME 33
#define SM_CXMINTRACK 34
#define SM_CYMINTRACK 35
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37
#define SM_CXFIXEDFRAME SM_CXDLGFRAME
#define SM_CYFIXEDFRAME SM_CYDLGFRAME
#define SM_CXSIZEFRAME SM_CXFRAME
#define SM_CYSIZEFRAME SM_CYFRAME
#define SM_CMOUSEBUTTONS 43
#define SM_CXEDGE 45
#define SM_CYEDGE 46
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SM_CYSMCAPTION 51
#define SM_CXMAXIMIZED 61
#define SM_CYMAXIMIZED 62
#define SM_MOUSEWHEELPRESENT 75
#define SM_XVIRTUALSCREEN 76
#define SM_YVIRTUALSCREEN 77
#define SM_CXVIRTUALSCREEN 78
#define SM_CYVIRTUALSCREEN 79
#define SM_CMONITORS 80

#define SPI_GETSCREENSAVEACTIVE 0x0010
#define SPI_SETSCREENSAVEACTIVE 0x0011
#define SPI_GETWORKAREA 0x0030

TWLAPI int GetSystemMetrics(int index);
TWLAPI BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT winIni);
TWLAPI UINT GetDoubleClickTime();
