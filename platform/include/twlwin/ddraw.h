// DirectDraw as the layer provides it: software surfaces in memory in the
// display's pixel format (8-bit palettized, 16-bit 5-6-5 or 5-5-5, 24 and 32
// bits), blits with colour fill, source colour keys, stretching and
// clippers, Lock and GetDC, and a simulated display whose mode can change.
// The primary surface is the screen of the window model: what is written to
// it lands in the windows it covers.
//
// Programs load "ddraw.dll" (LoadLibraryA) and take DirectDrawCreate,
// DirectDrawCreateClipper, DirectDrawEnumerateA and DirectDrawCreateEx from
// it. Objects are reference counted (thread-safe); a surface, clipper or
// DirectDraw object is used by one thread at a time, as the callers
// serialise on their own display lock. The display mode is thread-safe.
//
// A description (DDSURFACEDESC) holds a pointer, so it is larger than on
// 32-bit Windows: its dwSize is sizeof(DDSURFACEDESC) here.
#pragma once

#include "com.h"
#include "regions.h"
#include "windowing.h"

// ---- result codes ----------------------------------------------------------

#define MAKE_DDHRESULT(code) static_cast<HRESULT>(0x88760000u | (code))

#define DD_OK S_OK
#define DD_FALSE S_FALSE
#define DDENUMRET_CANCEL 0
#define DDENUMRET_OK 1

#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_INVALIDCAPS MAKE_DDHRESULT(100)
#define DDERR_INVALIDCLIPLIST MAKE_DDHRESULT(110)
#define DDERR_INVALIDMODE MAKE_DDHRESULT(120)
#define DDERR_INVALIDOBJECT MAKE_DDHRESULT(130)
#define DDERR_INVALIDPIXELFORMAT MAKE_DDHRESULT(145)
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_NOCLIPLIST MAKE_DDHRESULT(205)
#define DDERR_NOCOOPERATIVELEVELSET MAKE_DDHRESULT(212)
#define DDERR_NOCOLORKEY MAKE_DDHRESULT(215)
#define DDERR_NOEXCLUSIVEMODE MAKE_DDHRESULT(225)
#define DDERR_OUTOFVIDEOMEMORY MAKE_DDHRESULT(380)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_WASSTILLDRAWING MAKE_DDHRESULT(540)
#define DDERR_INVALIDDIRECTDRAWGUID MAKE_DDHRESULT(561)
#define DDERR_PRIMARYSURFACEALREADYEXISTS MAKE_DDHRESULT(564)
#define DDERR_REGIONTOOSMALL MAKE_DDHRESULT(566)
#define DDERR_CLIPPERISUSINGHWND MAKE_DDHRESULT(567)
#define DDERR_NOCLIPPERATTACHED MAKE_DDHRESULT(568)
#define DDERR_BLTFASTCANTCLIP MAKE_DDHRESULT(574)
#define DDERR_EXCLUSIVEMODEALREADYSET MAKE_DDHRESULT(581)
#define DDERR_NOTLOCKED MAKE_DDHRESULT(584)
#define DDERR_NODC MAKE_DDHRESULT(586)
#define DDERR_WRONGMODE MAKE_DDHRESULT(587)
#define DDERR_UNSUPPORTEDMODE MAKE_DDHRESULT(590)
#define DDERR_DCALREADYCREATED MAKE_DDHRESULT(620)

// ---- structures ------------------------------------------------------------

typedef struct _DDCOLORKEY {
  DWORD dwColorSpaceLowValue;
  DWORD dwColorSpaceHighValue;
} DDCOLORKEY, *LPDDCOLORKEY;

typedef struct _DDSCAPS {
  DWORD dwCaps;
} DDSCAPS, *LPDDSCAPS;

#define DDSCAPS_OFFSCREENPLAIN 0x00000040
#define DDSCAPS_PRIMARYSURFACE 0x00000200
#define DDSCAPS_SYSTEMMEMORY 0x00000800
#define DDSCAPS_VIDEOMEMORY 0x00004000
#define DDSCAPS_VISIBLE 0x00008000
#define DDSCAPS_LOCALVIDMEM 0x10000000

typedef struct _DDPIXELFORMAT {
  DWORD dwSize;  // 32
  DWORD dwFlags;
  DWORD dwFourCC;
  DWORD dwRGBBitCount;
  DWORD dwRBitMask;
  DWORD dwGBitMask;
  DWORD dwBBitMask;
  DWORD dwRGBAlphaBitMask;
} DDPIXELFORMAT, *LPDDPIXELFORMAT;

#define DDPF_ALPHAPIXELS 0x00000001
#define DDPF_FOURCC 0x00000004
#define DDPF_PALETTEINDEXED4 0x00000008
#define DDPF_PALETTEINDEXED8 0x00000020
#define DDPF_RGB 0x00000040
#define DDPF_YUV 0x00000200
#define DDPF_PALETTEINDEXED1 0x00000800
#define DDPF_PALETTEINDEXED2 0x00001000

typedef struct _DDSURFACEDESC {
  DWORD dwSize;  // sizeof(DDSURFACEDESC)
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  LONG lPitch;
  DWORD dwBackBufferCount;
  DWORD dwRefreshRate;
  DWORD dwAlphaBitDepth;
  DWORD dwReserved;
  LPVOID lpSurface;
  DDCOLORKEY ddckCKDestOverlay;
  DDCOLORKEY ddckCKDestBlt;
  DDCOLORKEY ddckCKSrcOverlay;
  DDCOLORKEY ddckCKSrcBlt;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS ddsCaps;
} DDSURFACEDESC, *LPDDSURFACEDESC;

#define DDSD_CAPS 0x00000001
#define DDSD_HEIGHT 0x00000002
#define DDSD_WIDTH 0x00000004
#define DDSD_PITCH 0x00000008
#define DDSD_LPSURFACE 0x00000800
#define DDSD_PIXELFORMAT 0x00001000
#define DDSD_CKSRCBLT 0x00010000
#define DDSD_REFRESHRATE 0x00040000

// 100 bytes, as callers fill in dwSize. Only the fill colour is read.
typedef struct _DDBLTFX {
  DWORD dwSize;
  DWORD dwDDFX;
  DWORD dwROP;
  DWORD dwDDROP;
  DWORD dwRotationAngle;
  DWORD dwZBufferOpCode;
  DWORD dwZBufferLow;
  DWORD dwZBufferHigh;
  DWORD dwZBufferBaseDest;
  DWORD dwZDestConstBitDepth;
  DWORD dwZDestConst;
  DWORD dwZSrcConstBitDepth;
  DWORD dwZSrcConst;
  DWORD dwAlphaEdgeBlendBitDepth;
  DWORD dwAlphaEdgeBlend;
  DWORD dwReserved;
  DWORD dwAlphaDestConstBitDepth;
  DWORD dwAlphaDestConst;
  DWORD dwAlphaSrcConstBitDepth;
  DWORD dwAlphaSrcConst;
  DWORD dwFillColor;
  DDCOLORKEY ddckDestColorkey;
  DDCOLORKEY ddckSrcColorkey;
} DDBLTFX, *LPDDBLTFX;

#define DDBLT_COLORFILL 0x00000400
#define DDBLT_KEYSRC 0x00008000
#define DDBLT_WAIT 0x01000000

#define DDBLTFAST_NOCOLORKEY 0x00000000
#define DDBLTFAST_SRCCOLORKEY 0x00000001
#define DDBLTFAST_WAIT 0x00000010

#define DDLOCK_SURFACEMEMORYPTR 0x00000000
#define DDLOCK_WAIT 0x00000001
#define DDLOCK_READONLY 0x00000010
#define DDLOCK_WRITEONLY 0x00000020
#define DDLOCK_NOSYSLOCK 0x00000800

#define DDCKEY_COLORSPACE 0x00000001
#define DDCKEY_SRCBLT 0x00000008

#define DDSCL_FULLSCREEN 0x00000001
#define DDSCL_NORMAL 0x00000008
#define DDSCL_EXCLUSIVE 0x00000010

#define DDEDM_REFRESHRATES 0x00000001

// 316 bytes. The layer reports what the testing header set (by default a
// device that blits, fills, stretches and keys in every direction).
typedef struct _DDCAPS {
  DWORD dwSize;
  DWORD dwCaps;
  DWORD dwCaps2;
  DWORD dwCKeyCaps;
  DWORD dwFXCaps;
  DWORD dwFXAlphaCaps;
  DWORD dwPalCaps;
  DWORD dwSVCaps;
  DWORD dwAlphaBltConstBitDepths;
  DWORD dwAlphaBltPixelBitDepths;
  DWORD dwAlphaBltSurfaceBitDepths;
  DWORD dwAlphaOverlayConstBitDepths;
  DWORD dwAlphaOverlayPixelBitDepths;
  DWORD dwAlphaOverlaySurfaceBitDepths;
  DWORD dwZBufferBitDepths;
  DWORD dwVidMemTotal;
  DWORD dwVidMemFree;
  DWORD dwMaxVisibleOverlays;
  DWORD dwCurrVisibleOverlays;
  DWORD dwNumFourCCCodes;
  DWORD dwAlignBoundarySrc;
  DWORD dwAlignSizeSrc;
  DWORD dwAlignBoundaryDest;
  DWORD dwAlignSizeDest;
  DWORD dwAlignStrideAlign;
  DWORD dwRops[8];
  DDSCAPS ddsCaps;
  DWORD dwMinOverlayStretch;
  DWORD dwMaxOverlayStretch;
  DWORD dwMinLiveVideoStretch;
  DWORD dwMaxLiveVideoStretch;
  DWORD dwMinHwCodecStretch;
  DWORD dwMaxHwCodecStretch;
  DWORD dwReserved1;
  DWORD dwReserved2;
  DWORD dwReserved3;
  DWORD dwSVBCaps;
  DWORD dwSVBCKeyCaps;
  DWORD dwSVBFXCaps;
  DWORD dwSVBRops[8];
  DWORD dwVSBCaps;
  DWORD dwVSBCKeyCaps;
  DWORD dwVSBFXCaps;
  DWORD dwVSBRops[8];
  DWORD dwSSBCaps;
  DWORD dwSSBCKeyCaps;
  DWORD dwSSBFXCaps;
  DWORD dwSSBRops[8];
  DWORD dwMaxVideoPorts;
  DWORD dwCurrVideoPorts;
  DWORD dwSVBCaps2;
} DDCAPS, *LPDDCAPS;

#define DDCAPS_BLT 0x00000040
#define DDCAPS_BLTSTRETCH 0x00000200
#define DDCAPS_OVERLAY 0x00000800
#define DDCAPS_COLORKEY 0x00400000
#define DDCAPS_BLTCOLORFILL 0x04000000
#define DDCAPS_CANCLIP 0x20000000
#define DDCAPS_CANCLIPSTRETCHED 0x40000000
#define DDCAPS_CANBLTSYSMEM 0x80000000
#define DDCKEYCAPS_SRCBLT 0x00000200

// ---- interface ids ---------------------------------------------------------

// {6C14DB80-A733-11CE-A521-0020AF0BE560}
inline constexpr IID IID_IDirectDraw = {0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
// {B3A6F3E0-2B43-11CF-A2DE-00AA00B93356}
inline constexpr IID IID_IDirectDraw2 = {0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
// {15E65EC0-3B9C-11D2-B92F-00609797EA5B}
inline constexpr IID IID_IDirectDraw7 = {0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
// {6C14DB81-A733-11CE-A521-0020AF0BE560}
inline constexpr IID IID_IDirectDrawSurface = {0x6C14DB81, 0xA733, 0x11CE,
                                               {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
// {57805885-6EEC-11CF-9441-A82303C10E27}
inline constexpr IID IID_IDirectDrawSurface2 = {0x57805885, 0x6EEC, 0x11CF,
                                                {0x94, 0x41, 0xA8, 0x23, 0x03, 0xC1, 0x0E, 0x27}};
// {DA044E00-69B2-11D0-A1D5-00AA00B8DFBB}
inline constexpr IID IID_IDirectDrawSurface3 = {0xDA044E00, 0x69B2, 0x11D0,
                                                {0xA1, 0xD5, 0x00, 0xAA, 0x00, 0xB8, 0xDF, 0xBB}};
// {0B2B8630-AD35-11D0-8EA6-00609797EA5B}
inline constexpr IID IID_IDirectDrawSurface4 = {0x0B2B8630, 0xAD35, 0x11D0,
                                                {0x8E, 0xA6, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
// {6C14DB85-A733-11CE-A521-0020AF0BE560}
inline constexpr IID IID_IDirectDrawClipper = {0x6C14DB85, 0xA733, 0x11CE,
                                               {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

// ---- interfaces ------------------------------------------------------------

struct IDirectDrawSurface;

// Limits blits to a list of rectangles of the destination, or, bound to a
// window, to that window's visible pixels on the screen.
struct IDirectDrawClipper : IUnknown {
  // The clip list (destination coordinates), or with a window its visible
  // region in screen coordinates, cut to `rect` when given. With null data
  // only the size needed is returned.
  virtual HRESULT GetClipList(LPRECT rect, LPRGNDATA data, LPDWORD size) = 0;
  virtual HRESULT GetHWnd(HWND* window) = 0;
  // Rectangles of RDH_RECTANGLES data; null removes the list.
  virtual HRESULT SetClipList(LPRGNDATA data, DWORD flags) = 0;
  // Null unbinds the window.
  virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;
};
typedef IDirectDrawClipper* LPDIRECTDRAWCLIPPER;

struct IDirectDrawSurface : IUnknown {
  // Copies `source` (its rectangle, null: all of it) into `destination`
  // (null: all of this surface), stretching when the sizes differ, or fills
  // it with fx->dwFillColor (DDBLT_COLORFILL). DDBLT_KEYSRC skips source
  // pixels of the source's colour key. A clipper limits what is written;
  // without one, a rectangle reaching outside its surface is
  // DDERR_INVALIDRECT and nothing is written.
  virtual HRESULT Blt(LPRECT destination, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags,
                      LPDDBLTFX fx) = 0;
  // The same without stretching or clipper, to (x, y) of this surface.
  virtual HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags) = 0;
  virtual HRESULT GetCaps(LPDDSCAPS caps) = 0;
  virtual HRESULT GetClipper(LPDIRECTDRAWCLIPPER* clipper) = 0;
  virtual HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
  // A DC drawing into the surface through the GDI calls until ReleaseDC.
  virtual HRESULT GetDC(HDC* dc) = 0;
  virtual HRESULT GetPixelFormat(LPDDPIXELFORMAT format) = 0;
  virtual HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) = 0;
  virtual HRESULT IsLost() = 0;
  // Fills desc->lpSurface (the rectangle's first pixel) and lPitch.
  virtual HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) = 0;
  virtual HRESULT ReleaseDC(HDC dc) = 0;
  virtual HRESULT Restore() = 0;
  virtual HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) = 0;
  virtual HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
  virtual HRESULT Unlock(LPVOID pointer) = 0;
};
typedef IDirectDrawSurface* LPDIRECTDRAWSURFACE;

// The later surface interfaces add nothing the system calls; programs ask
// for them to learn what the display offers.
struct IDirectDrawSurface2 : IDirectDrawSurface {};
struct IDirectDrawSurface3 : IDirectDrawSurface2 {};
struct IDirectDrawSurface4 : IDirectDrawSurface3 {};
typedef IDirectDrawSurface2* LPDIRECTDRAWSURFACE2;
typedef IDirectDrawSurface3* LPDIRECTDRAWSURFACE3;
typedef IDirectDrawSurface4* LPDIRECTDRAWSURFACE4;

typedef HRESULT(CALLBACK* LPDDENUMMODESCALLBACK)(LPDDSURFACEDESC desc, LPVOID context);

struct IDirectDraw : IUnknown {
  virtual HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) = 0;
  // DDSCAPS_PRIMARYSURFACE (one per process) or an off-screen surface of
  // dwWidth x dwHeight in the display format.
  virtual HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) = 0;
  // Calls back for each display mode (matching `filter` when given) until
  // the callback answers DDENUMRET_CANCEL.
  virtual HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC filter, LPVOID context,
                                   LPDDENUMMODESCALLBACK callback) = 0;
  virtual HRESULT GetCaps(LPDDCAPS driver, LPDDCAPS emulation) = 0;
  virtual HRESULT GetDisplayMode(LPDDSURFACEDESC desc) = 0;
  virtual HRESULT RestoreDisplayMode() = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
  virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) = 0;
};
typedef IDirectDraw* LPDIRECTDRAW;

struct IDirectDraw2 : IDirectDraw {
  using IDirectDraw::SetDisplayMode;
  virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                 DWORD flags) = 0;
};
typedef IDirectDraw2* LPDIRECTDRAW2;

// Only created to learn that the display offers it.
struct IDirectDraw7 : IUnknown {};
typedef IDirectDraw7* LPDIRECTDRAW7;

// ---- entry points of "ddraw.dll" -------------------------------------------

typedef BOOL(CALLBACK* LPDDENUMCALLBACKA)(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context);

#define DDCREATE_HARDWAREONLY (reinterpret_cast<GUID*>(1))
#define DDCREATE_EMULATIONONLY (reinterpret_cast<GUID*>(2))

typedef HRESULT(WINAPI* LPDIRECTDRAWCREATE)(GUID* driver, LPDIRECTDRAW* object, IUnknown* outer);
typedef HRESULT(WINAPI* LPDIRECTDRAWCREATECLIPPER)(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer);
typedef HRESULT(WINAPI* LPDIRECTDRAWENUMERATEA)(LPDDENUMCALLBACKA callback, LPVOID context);
typedef HRESULT(WINAPI* LPDIRECTDRAWCREATEEX)(GUID* driver, LPVOID* object, REFIID iid, IUnknown* outer);
