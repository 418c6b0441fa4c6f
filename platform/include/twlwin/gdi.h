// Drawing: device contexts over memory bitmaps, brushes, pens, fonts, text
// and icons. Pixels live in memory; text is drawn with FreeType and the
// DejaVu fonts, so sizes and pixels are the same on every machine.
// Objects may be used from any thread, one thread at a time per DC.
#pragma once

#include "regions.h"
#include "types.h"

// ---- objects -------------------------------------------------------------

#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_MEMDC 10

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17

#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1)))
#define GDI_ERROR 0xFFFFFFFFL
#define CLR_INVALID 0xFFFFFFFF

TWLAPI HGDIOBJ GetStockObject(int object);
TWLAPI HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
TWLAPI BOOL DeleteObject(HGDIOBJ object);
TWLAPI DWORD GetObjectType(HGDIOBJ object);
TWLAPI int GetObjectA(HGDIOBJ object, int size, LPVOID buffer);
#define GetObject GetObjectA

// ---- system colours --------------------------------------------------------

#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_ACTIVEBORDER 10
#define COLOR_INACTIVEBORDER 11
#define COLOR_APPWORKSPACE 12
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_BTNSHADOW 16
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_INACTIVECAPTIONTEXT 19
#define COLOR_BTNHIGHLIGHT 20
#define COLOR_3DDKSHADOW 21
#define COLOR_3DLIGHT 22
#define COLOR_INFOTEXT 23
#define COLOR_INFOBK 24
#define COLOR_3DFACE COLOR_BTNFACE
#define COLOR_3DSHADOW COLOR_BTNSHADOW
#define COLOR_3DHIGHLIGHT COLOR_BTNHIGHLIGHT

// The colours of the layer's flat light theme. A brush value of
// COLOR_x + 1 (a window class background) stands for that colour wherever
// a brush is taken.
TWLAPI DWORD GetSysColor(int index);
TWLAPI HBRUSH GetSysColorBrush(int index);

// ---- bitmaps ---------------------------------------------------------------

#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L

#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1

typedef struct tagBITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
} BITMAP, *PBITMAP, *LPBITMAP;

typedef struct tagRGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER, *PBITMAPINFOHEADER, *LPBITMAPINFOHEADER;

typedef struct tagBITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO, *PBITMAPINFO, *LPBITMAPINFO;

typedef struct tagDIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3];
  HANDLE dshSection;
  DWORD dsOffset;
} DIBSECTION, *PDIBSECTION, *LPDIBSECTION;

// A bitmap of 1, 8, 16, 24 or 32 bits per pixel; the bits, when given, are
// rows of whole 16-bit words, top row first.
TWLAPI HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// Monochrome when the DC is a memory DC still holding its initial 1 x 1
// bitmap, as on Windows; 32 bits per pixel otherwise.
TWLAPI HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// 1, 4, 8, 16, 24 or 32 bits per pixel, BI_RGB or BI_BITFIELDS (16 and 32
// bits); a positive height is bottom-up, a negative one top-down. The
// colour table follows the header for 8 bits and fewer. `section` and
// `offset` must be null and 0.
TWLAPI HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                DWORD offset);
// Copies rows of the bitmap into `bits` in the format of `info`, or, with
// null bits, fills in the header (size, bit count, image size).
TWLAPI int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage);

// ---- device contexts -------------------------------------------------------

// A window's DC draws into the window's own pixel buffer: GetDC on its
// client area, GetWindowDC on the whole window. GetDC(NULL) gives a DC for
// measuring text. Both go back through ReleaseDC.
TWLAPI HDC GetDC(HWND window);
TWLAPI HDC GetWindowDC(HWND window);
TWLAPI int ReleaseDC(HWND window, HDC dc);

TWLAPI HDC CreateCompatibleDC(HDC dc);
TWLAPI BOOL DeleteDC(HDC dc);
TWLAPI HGDIOBJ GetCurrentObject(HDC dc, UINT type);

#define TRANSPARENT 1
#define OPAQUE 2

TWLAPI COLORREF SetTextColor(HDC dc, COLORREF colour);
TWLAPI COLORREF GetTextColor(HDC dc);
TWLAPI COLORREF SetBkColor(HDC dc, COLORREF colour);
TWLAPI COLORREF GetBkColor(HDC dc);
TWLAPI int SetBkMode(HDC dc, int mode);
TWLAPI int GetBkMode(HDC dc);

#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16

TWLAPI int SetROP2(HDC dc, int mode);
TWLAPI int GetROP2(HDC dc);

// Moves the origin of the DC's coordinates (logical 0,0) to `x, y` of the
// device; returns the previous origin.
TWLAPI BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT previous);
TWLAPI BOOL GetViewportOrgEx(HDC dc, LPPOINT origin);
// Narrows the clip rectangle of the DC (logical coordinates).
TWLAPI int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
TWLAPI int GetClipBox(HDC dc, LPRECT rect);


// ---- brushes, pens, drawing -----------------------------------------------

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL

typedef struct tagLOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
} LOGBRUSH, *PLOGBRUSH, *LPLOGBRUSH;

#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6

typedef struct tagLOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;
  COLORREF lopnColor;
} LOGPEN, *PLOGPEN, *LPLOGPEN;

TWLAPI HBRUSH CreateSolidBrush(COLORREF colour);
// Pens are drawn one pixel wide whatever their width; dashed styles are
// drawn solid.
TWLAPI HPEN CreatePen(int style, int width, COLORREF colour);

TWLAPI COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
TWLAPI COLORREF GetPixel(HDC dc, int x, int y);
TWLAPI int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
TWLAPI int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
TWLAPI BOOL InvertRect(HDC dc, const RECT* rect);
// Outlined with the pen and filled with the brush; right and bottom are
// outside, as for FillRect.
TWLAPI BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
TWLAPI BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
// Draws from the current position up to, not including, `x, y`.
TWLAPI BOOL LineTo(HDC dc, int x, int y);

// Raster operations: the result of each bit from the brush (P), the source
// (S) and the destination (D).
#define SRCCOPY 0x00CC0020
#define SRCPAINT 0x00EE0086
#define SRCAND 0x008800C6
#define SRCINVERT 0x00660046
#define SRCERASE 0x00440328
#define NOTSRCCOPY 0x00330008
#define NOTSRCERASE 0x001100A6
#define MERGECOPY 0x00C000CA
#define MERGEPAINT 0x00BB0226
#define PATCOPY 0x00F00021
#define PATPAINT 0x00FB0A09
#define PATINVERT 0x005A0049
#define DSTINVERT 0x00550009
#define BLACKNESS 0x00000042
#define WHITENESS 0x00FF0062

// Both rectangles are clipped to their bitmaps and to the destination's
// clip rectangle. From a monochrome source, 0 bits become the destination's
// text colour and 1 bits its background colour; into a monochrome
// destination, pixels of the source's background colour become 1.
TWLAPI BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
TWLAPI BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
// Scales with the nearest source pixel.
TWLAPI BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                       int sourceWidth, int sourceHeight, DWORD rop);

// ---- fonts and text -------------------------------------------------------

#define LF_FACESIZE 32

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define OEM_CHARSET 255

#define OUT_DEFAULT_PRECIS 0
#define OUT_STRING_PRECIS 1
#define OUT_CHARACTER_PRECIS 2
#define OUT_STROKE_PRECIS 3
#define OUT_TT_PRECIS 4
#define CLIP_DEFAULT_PRECIS 0
#define CLIP_CHARACTER_PRECIS 1
#define CLIP_STROKE_PRECIS 2
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
#define FF_SCRIPT 0x40
#define FF_DECORATIVE 0x50

typedef struct tagLOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
} LOGFONTA, *PLOGFONTA, *LPLOGFONTA;
typedef LOGFONTA LOGFONT;

typedef struct tagTEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
} TEXTMETRICA, *PTEXTMETRICA, *LPTEXTMETRICA;
typedef TEXTMETRICA TEXTMETRIC;

// Face names map to the DejaVu faces: fixed-pitch names (Courier, Console,
// Mono, ...) or FIXED_PITCH / FF_MODERN to DejaVu Sans Mono, serif names
// (Times, Georgia, "Serif" without "Sans", ...) or FF_ROMAN to DejaVu Serif,
// everything else to DejaVu Sans. A negative height is the character height
// in pixels, a positive one the cell height (ascent + descent), 0 a default
// of 11 pixels character height. Weights from 600 are bold.
TWLAPI HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                         DWORD quality, DWORD pitchAndFamily, LPCSTR face);
TWLAPI HFONT CreateFontIndirectA(const LOGFONTA* font);

#define TA_NOUPDATECP 0
#define TA_UPDATECP 1
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24

TWLAPI UINT SetTextAlign(HDC dc, UINT align);
TWLAPI UINT GetTextAlign(HDC dc);
TWLAPI BOOL GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics);
// Text is UTF-8; `length` counts bytes.
TWLAPI BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size);
TWLAPI BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
#define GetTextMetrics GetTextMetricsA
#define GetTextExtentPoint32 GetTextExtentPoint32A
#define TextOut TextOutA

#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#define DT_NOCLIP 0x00000100
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800
#define DT_EDITCONTROL 0x00002000
#define DT_END_ELLIPSIS 0x00008000

// Lines break at line feeds (CR LF counts once) unless DT_SINGLELINE, and
// at spaces to fit the width with DT_WORDBREAK. '&' marks the next
// character as a mnemonic unless DT_NOPREFIX ("&&" is one '&'). Returns the
// height of the text, 0 on failure.
TWLAPI int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format);
#define DrawText DrawTextA

// ---- icons -------------------------------------------------------------------

typedef struct _ICONINFO {
  BOOL fIcon;
  DWORD xHotspot;
  DWORD yHotspot;
  HBITMAP hbmMask;
  HBITMAP hbmColor;
} ICONINFO, *PICONINFO;

#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003

// The mask is a monochrome bitmap; the colour bitmap is 32 bits per pixel
// and its alpha counts when any pixel has some.
TWLAPI HICON CreateIconIndirect(PICONINFO info);
// Fills `info` with new bitmaps that the caller deletes. The hotspot of an
// icon is its centre.
TWLAPI BOOL GetIconInfo(HICON icon, PICONINFO info);
TWLAPI HICON CopyIcon(HICON icon);
TWLAPI BOOL DestroyIcon(HICON icon);
TWLAPI BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
// Width and height 0 draw at the icon's own size; other sizes scale it.
TWLAPI BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFree,
                       UINT flags);
