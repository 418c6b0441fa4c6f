// Window hooks: procedures that see events of a thread's windows before
// they happen and may refuse them. Only computer-based-training (WH_CBT)
// hooks exist; the window manager asks them before it activates a window
// (HCBT_ACTIVATE) and before it minimises, maximises or restores one
// (HCBT_MINMAX). A hook runs on the thread it was installed for; the most
// recently installed runs first and hands on with CallNextHookEx. Any
// thread may install or remove hooks, also from inside a hook.
#pragma once

#include "types.h"

typedef LRESULT(CALLBACK* HOOKPROC)(int code, WPARAM wParam, LPARAM lParam);

#define WH_CBT 5

#define HCBT_MOVESIZE 0
#define HCBT_MINMAX 1
#define HCBT_QS 2
#define HCBT_CREATEWND 3
#define HCBT_DESTROYWND 4
#define HCBT_ACTIVATE 5
#define HCBT_CLICKSKIPPED 6
#define HCBT_KEYSKIPPED 7
#define HCBT_SYSCOMMAND 8
#define HCBT_SETFOCUS 9

// HCBT_ACTIVATE: wParam is the window about to become active, lParam
// points to this record. HCBT_MINMAX: wParam is the window, the low word of
// lParam the SW_ command. A hook that answers non-zero refuses the change.
typedef struct tagCBTACTIVATESTRUCT {
  BOOL fMouse;
  HWND hWndActive;
} CBTACTIVATESTRUCT, *LPCBTACTIVATESTRUCT;

#define ERROR_INVALID_HOOK_HANDLE 1404L
#define ERROR_INVALID_HOOK_FILTER 1426L
#define ERROR_INVALID_FILTER_PROC 1427L

// threadId 0 hooks every thread of this process; another id must name a
// thread of this process. The module handle is not needed.
TWLAPI HHOOK SetWindowsHookExA(int kind, HOOKPROC procedure, HINSTANCE module, DWORD threadId);
TWLAPI BOOL UnhookWindowsHookEx(HHOOK hook);
// Runs the next hook of the chain that is running on this thread and
// answers what it answers; 0 (allow) when there is none. The hook handle is
// not needed: the chain is the one this thread is inside.
TWLAPI LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
