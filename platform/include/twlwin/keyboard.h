// Keyboard shortcuts and key names: accelerator tables, which turn key
// presses into commands before the focus window sees them, and the English
// names of keys. Tables are process-wide; any thread may use them.
#pragma once

#include "messages.h"
#include "types.h"

// Virtual keys beyond those the window messages name.
#ifndef VK_SNAPSHOT
#define VK_SNAPSHOT 0x2C
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_F13 0x7C
#define VK_F24 0x87
#define VK_SCROLL 0x91
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE
#endif

#define FVIRTKEY 0x01
#define FNOINVERT 0x02
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10

// key is a virtual key with FVIRTKEY, else the character typed.
typedef struct tagACCEL {
  BYTE fVirt;
  WORD key;
  WORD cmd;
} ACCEL, *LPACCEL;

TWLAPI HACCEL CreateAcceleratorTableA(LPACCEL entries, int count);
TWLAPI BOOL DestroyAcceleratorTable(HACCEL table);
// When the message is a key press that an entry of the table names, with
// exactly the entry's Shift, Ctrl and Alt state (GetKeyState), sends
// WM_COMMAND with the entry's command in the low word and 1 in the high
// word to `window`, whatever window has the focus, and answers TRUE: the
// caller then neither translates nor dispatches the message, so the focus
// window never sees that key press. Virtual-key entries match WM_KEYDOWN
// and WM_SYSKEYDOWN, character entries WM_CHAR and WM_SYSCHAR.
TWLAPI int TranslateAcceleratorA(HWND window, HACCEL table, LPMSG message);

// The name of the key whose scan code is in bits 16-23 of lParam (bit 24:
// an extended key; bit 25: left and right keys share one name), as a US
// English keyboard calls it ("Tab", "Right Shift", "Num 7", "F12").
// Answers the bytes copied; 0 for a key without a name.
TWLAPI int GetKeyNameTextA(LONG lParam, LPSTR buffer, int size);
