// CDisplayState: the display mode data of the user interface, as the skin
// renderers, the windows and the primary blitter read it: the DirectDraw
// object, the description of the display mode (size and pixel format), the
// colour key and the substitute colour (pixel values of the display
// format), the capabilities of off-screen surfaces, the colour table that
// maps colours to palette indices on an 8-bit display and a converter from
// a colour 0x00BBGGRR into a display pixel. On an 8-bit display it also
// keeps the 256-entry palette made from a skin's colours.
//
// The user interface owns one and installs it as the current one; the
// renderers find it there. Read and changed only under the display lock.
#pragma once

#include <array>
#include <optional>

#include <windows.h>

#include "foundation/bitmaps/ColorTable.h"
#include "foundation/bitmaps/PixelConverter.h"
#include "foundation/bitmaps/PixelFormat.h"
#include "twlwin/ddraw.h"
#include "twlwin/palettes.h"

class CDisplayState {
 public:
  static constexpr int kPaletteSize = 256;
  static constexpr int kKeyIndex = 10;
  static constexpr int kFirstFixedColor = 11;
  static constexpr int kFixedColorCount = 44;
  static constexpr int kFirstSkinColor = kFirstFixedColor + kFixedColorCount;
  static constexpr int kMaxSkinColors = 191;
  // A free palette entry.
  static constexpr DWORD kFreeEntry = 0xFFFFFFFF;
  // The colour of the key entry of an 8-bit palette (green 1): skin colours
  // equal to it show black.
  static constexpr DWORD kKeyColor = 0x000100;
  static const std::array<DWORD, kFixedColorCount> kFixedColors;

  CDisplayState() noexcept = default;
  CDisplayState(const CDisplayState&) = delete;
  CDisplayState& operator=(const CDisplayState&) = delete;
  ~CDisplayState();

  // The state the renderers use; null while none is installed.
  static CDisplayState* GetCurrent();
  static void SetCurrent(CDisplayState* state);

  // Whether the renderers can draw in a pixel format: it must have
  // DDPF_RGB, and a palette format must have at least 8 bits.
  static bool IsSupportedFormat(const DDPIXELFORMAT& format);

  // SetDirectDraw and SetMode with the display's current mode. Returns
  // DirectDraw's code when the mode cannot be read and DDERR_UNSUPPORTEDMODE
  // for a mode the renderers cannot draw in; after a failure the state
  // holds nothing.
  HRESULT Init(IDirectDraw2* draw);
  // Takes a reference to the DirectDraw object (null: none) and releases
  // the one held before.
  void SetDirectDraw(IDirectDraw2* draw);
  // Keeps the mode's description and derives from it the pixel format,
  // bytes per pixel, colour key and substitute colour (RGB modes), the
  // colour table (8-bit modes) and the colour converter. An unsupported
  // mode is kept as well (so that a later look can tell whether it
  // changed) but gives DDERR_UNSUPPORTEDMODE and no converter.
  HRESULT SetMode(const DDSURFACEDESC& mode);
  // True when the description differs in any byte from the kept one.
  bool HasModeChanged(const DDSURFACEDESC& mode) const;
  // Releases the DirectDraw object and the palette and forgets the mode.
  void Exit() noexcept;

  // 8-bit displays: builds the palette from the colours a skin marked or
  // counted in a 5-6-5 table (reduced to at most 191), refills the colour
  // table, makes the key index 10 the colour key and the entry nearest
  // black the substitute colour, and creates the GDI palette. Throws the
  // GDI error when the display DC or the palette cannot be made.
  void BuildPalette(const CColorTable& skinColors);

  // An off-screen surface of width x height in the display format, asked
  // for its IDirectDrawSurface2 interface, under the display lock. After a
  // failure `surface` is null.
  // `extraCaps` adds to the off-screen caps (DDSCAPS_VIDEOMEMORY, say).
  HRESULT CreateOffscreenSurface(DWORD width, DWORD height, IDirectDrawSurface2** surface, DWORD extraCaps = 0) const;

  // A colour 0x00BBGGRR as a display pixel value.
  DWORD ConvertColor(DWORD color) const;

  IDirectDraw2* GetDirectDraw() const { return m_DirectDraw; }
  const DDSURFACEDESC& GetModeDescription() const { return m_Mode; }
  const DDPIXELFORMAT& GetPixelFormat() const { return m_Mode.ddpfPixelFormat; }
  const CPixelFormat& GetFormat() const { return m_Format; }
  bool IsPalettized() const { return m_Format.IsPalettized(); }
  DWORD GetBytesPerPixel() const { return m_BytesPerPixel; }
  DWORD GetModeWidth() const { return m_ModeWidth; }
  DWORD GetModeHeight() const { return m_ModeHeight; }
  DWORD GetColorKey() const { return m_ColorKey; }
  DWORD GetSubstituteColor() const { return m_SubstituteColor; }
  DWORD GetOffscreenCaps() const { return DDSCAPS_OFFSCREENPLAIN; }
  const CColorTable* GetColorTable() const { return m_ColorTable ? &*m_ColorTable : nullptr; }
  // 8-bit displays after BuildPalette: the entries (0x00BBGGRR, free ones
  // kFreeEntry) and the GDI palette.
  const std::array<DWORD, kPaletteSize>& GetPaletteEntries() const { return m_Palette; }
  HPALETTE GetPalette() const { return m_PaletteHandle; }

 private:
  void ComputeRGBKey();
  void PrepareColorConverter();
  void FillPaletteEntries(const CColorTable& skinColors);
  void FillColorTable();
  void CreateGDIPalette();
  void DeletePalette() noexcept;

  IDirectDraw2* m_DirectDraw = nullptr;
  DDSURFACEDESC m_Mode{};
  CPixelFormat m_Format;
  DWORD m_BytesPerPixel = 0;
  DWORD m_ModeWidth = 0;
  DWORD m_ModeHeight = 0;
  DWORD m_ColorKey = 0;
  DWORD m_SubstituteColor = 0;
  // 8-bit modes only.
  std::optional<CColorTable> m_ColorTable;
  std::optional<CPixelConverter> m_ColorConverter;
  std::array<DWORD, kPaletteSize> m_Palette{};
  HPALETTE m_PaletteHandle = nullptr;
};
