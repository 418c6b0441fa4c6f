// Palettes and the display DC. Only an 8-bit display has a system palette
// (see the testing header for its size): realising a palette there puts its
// colours into the system palette, what 8-bit pixels on the screen show,
// and tells the top-level windows with WM_PALETTECHANGED. On other displays
// the system palette is empty and realising changes nothing.
// Thread-safe; a DC is used by one thread at a time.
#pragma once

#include "gdi.h"

#define OBJ_PAL 5
#define DEFAULT_PALETTE 15

#define PC_RESERVED 0x01
#define PC_EXPLICIT 0x02
#define PC_NOCOLLAPSE 0x04

typedef struct tagPALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
} PALETTEENTRY, *PPALETTEENTRY, *LPPALETTEENTRY;

typedef struct tagLOGPALETTE {
  WORD palVersion;  // 0x300
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[1];
} LOGPALETTE, *PLOGPALETTE, *LPLOGPALETTE;

// A DC of the display ("DISPLAY"): for asking about the display, such as
// its system palette. What is drawn on it shows nowhere. DeleteDC frees it.
TWLAPI HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* mode);
#define CreateDC CreateDCA

// Copies system palette entries from `first` on; returns how many were
// copied, or with null entries the size of the system palette. 0 when the
// display has no palette.
TWLAPI UINT GetSystemPaletteEntries(HDC dc, UINT first, UINT count, LPPALETTEENTRY entries);

// 1 to 256 entries; the flags of each entry count when it is realised:
// PC_EXPLICIT (the low word is a system palette index), PC_NOCOLLAPSE and
// PC_RESERVED (a system entry of its own), or 0 (an equal system colour
// when there is one).
TWLAPI HPALETTE CreatePalette(const LOGPALETTE* palette);
// Returns the palette selected before (the default palette at first).
TWLAPI HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
// Maps the DC's palette into the system palette: in the foreground its
// entries take the free system entries in order; in the background they
// only take the nearest colours already there. Returns the number of
// entries that took a system entry of their own; GDI_ERROR for a bad DC.
TWLAPI UINT RealizePalette(HDC dc);
// Makes the next realisation of the palette map it afresh.
TWLAPI BOOL UnrealizeObject(HGDIOBJ object);
