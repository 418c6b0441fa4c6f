// Resources: data built into a module (the program, a plug-in, this layer)
// and found by type and name. Each module carries a table generated at
// build time from its resource list (cmake/TwlResources.cmake); the table
// registers itself with the layer when the module is loaded and leaves when
// it is unloaded.
//
// How the generated tables keep each kind of resource:
// - RT_GROUP_ICON, RT_GROUP_CURSOR: a whole .ico or .cur file;
// - RT_BITMAP: a packed DIB (a .bmp file without its 14-byte file header);
// - RT_STRING: one UTF-8 string without terminator, named by its string id
//   (not the blocks of sixteen strings that Windows keeps);
// - RT_VERSION: a version block with the fixed information only;
// - any other type (RT_RCDATA, "RAWDATA", ...): the file's bytes as they are.
#pragma once

#include "types.h"

// The window manager's header declares these too.
#ifndef IS_INTRESOURCE
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)
#endif
#ifndef MAKEINTRESOURCEA
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#endif
#ifndef MAKEINTRESOURCE
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#endif

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_VERSION MAKEINTRESOURCE(16)

// Names may also be given as text: "#131" is the number 131; other names
// compare without regard to ASCII case.
TWLAPI HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
TWLAPI DWORD SizeofResource(HMODULE module, HRSRC resource);
TWLAPI HGLOBAL LoadResource(HMODULE module, HRSRC resource);
// The resource's bytes, valid while its module stays loaded.
TWLAPI LPVOID LockResource(HGLOBAL resource);

// The string of that id, cut to the buffer without splitting a UTF-8
// character; the answer is the number of bytes copied (0: none found).
TWLAPI int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);

// Icons and cursors of a module, or with a null instance those of the
// system. Loading the same one again gives the same handle; they stay for
// the life of the process.
#define IDI_APPLICATION MAKEINTRESOURCE(32512)
#define IDI_HAND MAKEINTRESOURCE(32513)
#define IDI_QUESTION MAKEINTRESOURCE(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCE(32515)
#define IDI_ASTERISK MAKEINTRESOURCE(32516)
#define IDI_ERROR IDI_HAND
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_INFORMATION IDI_ASTERISK

#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)

TWLAPI HICON LoadIconA(HINSTANCE instance, LPCSTR name);
TWLAPI HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);

#define IMAGE_BITMAP 0u
#define IMAGE_ICON 1u
#define IMAGE_CURSOR 2u

#define LR_DEFAULTCOLOR 0x00000000u
#define LR_MONOCHROME 0x00000001u
#define LR_LOADFROMFILE 0x00000010u
#define LR_LOADTRANSPARENT 0x00000020u
#define LR_DEFAULTSIZE 0x00000040u
#define LR_VGACOLOR 0x00000080u
#define LR_LOADMAP3DCOLORS 0x00001000u
#define LR_CREATEDIBSECTION 0x00002000u
#define LR_SHARED 0x00008000u

// Bitmaps, icons and cursors from a module's resources, at their own size
// (a width or height other than 0 or the picture's own is not offered:
// pictures are not scaled), in their own colours. A bitmap is new at every
// call unless LR_SHARED asks for the shared one; DeleteObject frees it.
// Icons and cursors are always shared; for them the size picks the image.
TWLAPI HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);

// --- What the generated tables use; not for product code. ---

typedef struct TWL_RESOURCE {
  WORD typeId;           // with a null typeName
  const char* typeName;  // upper case
  WORD nameId;           // with a null nameText
  const char* nameText;  // upper case
  const BYTE* data;
  DWORD size;
} TWL_RESOURCE;

#define TWL_RESOURCE_TABLE_VERSION 1u

typedef struct TWL_RESOURCE_TABLE {
  DWORD version;
  DWORD count;
  const TWL_RESOURCE* resources;
} TWL_RESOURCE_TABLE;

// `anchor` is any address inside the module that carries the table.
TWLAPI void TwlRegisterResources(const TWL_RESOURCE_TABLE* table, const void* anchor);
TWLAPI void TwlUnregisterResources(const TWL_RESOURCE_TABLE* table);
