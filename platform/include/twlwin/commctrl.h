// Common controls: image lists now, the control window classes as they are
// added. Image lists may be shared between threads (one draws while
// another adds); each list has its own lock.
#pragma once

#include "gdi.h"

TWLAPI void InitCommonControls();

// ---- image lists -------------------------------------------------------------

struct _IMAGELIST;
typedef struct _IMAGELIST* HIMAGELIST;

#define ILC_MASK 0x00000001
#define ILC_COLOR 0x00000000
#define ILC_COLORDDB 0x000000FE
#define ILC_COLOR4 0x00000004
#define ILC_COLOR8 0x00000008
#define ILC_COLOR16 0x00000010
#define ILC_COLOR24 0x00000018
#define ILC_COLOR32 0x00000020

#define ILD_NORMAL 0x00000000
#define ILD_TRANSPARENT 0x00000001
#define ILD_BLEND25 0x00000002
#define ILD_BLEND50 0x00000004
#define ILD_MASK 0x00000010
#define ILD_FOCUS ILD_BLEND25
#define ILD_SELECTED ILD_BLEND50

#define CLR_NONE 0xFFFFFFFFL
#define CLR_DEFAULT 0xFF000000L

// Every image is kept at the list's size (icons of another size are
// scaled) with its alpha, whatever colour depth the flags ask for.
TWLAPI HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
// The shell's system image lists cannot be destroyed: FALSE.
TWLAPI BOOL ImageList_Destroy(HIMAGELIST list);
TWLAPI int ImageList_GetImageCount(HIMAGELIST list);
TWLAPI BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);
// Index -1 appends a copy of the icon; an existing index replaces that
// image. Returns the index, or -1.
TWLAPI int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
#define ImageList_AddIcon(list, icon) ImageList_ReplaceIcon(list, -1, icon)
// A new icon made from the image; the caller destroys it.
TWLAPI HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
// ILD_SELECTED and ILD_FOCUS blend the image with the highlight colour;
// ILD_MASK draws the mask in black.
TWLAPI BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
