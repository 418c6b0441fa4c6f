// CPrimaryBlitter: every copy onto the screen goes through it. On an RGB
// display it hands the copy to DirectDraw. On an 8-bit palette display the
// program's pixels are indices into the display palette, which the system
// palette need not share: each copy is translated, index by index through
// a table, into a small conversion surface (320 x 200) and copied from
// there, piece by piece. On any other palette display (fewer than 8 bits,
// or without DDPF_RGB) every copy fails, for the rest of the object's life.
//
// The user interface owns the one instance. Everything but Init expects
// the caller to hold the display lock; the translation table may be read
// by others under it.
#pragma once

#include <windows.h>

#include <array>

#include "foundation/kernel/TypedObject.h"
#include "twlwin/ddraw.h"

class CPrimaryBlitter : public CTypedObject {
  TWL_DECLARE_CLASS(CPrimaryBlitter)
 public:
  static constexpr int kTableSize = 256;
  static constexpr DWORD kPieceWidth = 320;
  static constexpr DWORD kPieceHeight = 200;
  using TranslationTable = std::array<INT, kTableSize>;

  CPrimaryBlitter() noexcept;
  CPrimaryBlitter(const CPrimaryBlitter&) = delete;
  CPrimaryBlitter& operator=(const CPrimaryBlitter&) = delete;
  ~CPrimaryBlitter() override;

  // Starts over for the display's pixel format (the primary surface's):
  // Shutdown, then Setup under the display lock. Returns Setup's result.
  HRESULT Init(const DDPIXELFORMAT& format);
  // After a change of display mode. A format without palette copies
  // directly; an 8-bit palette with DDPF_RGB turns the conversion on
  // (building the table when it was off) and makes the conversion surface;
  // any other palette makes the blitter unsupported for good. Returns the
  // conversion surface's creation result, else 0.
  HRESULT Setup(const DDPIXELFORMAT& format);
  void Shutdown() noexcept;
  // After the display palette or the system palette changed: maps each
  // display palette index to the nearest system palette colour. Only with
  // the conversion on. Throws the GDI error when the display DC or the
  // system palette cannot be had.
  void BuildPaletteMap();
  // Remakes the conversion surface after a loss: restored, or else made
  // anew while the conversion is on.
  HRESULT Restore();

  // Copies the source rectangle to (x, y) of the destination, with the
  // flags and effects of IDirectDrawSurface::Blt (DDBLT_KEYSRC: the
  // source's colour key).
  HRESULT Blt(IDirectDrawSurface2* destination, int x, int y, IDirectDrawSurface2* source, const RECT& sourceRect,
              DWORD flags, DDBLTFX* effects);
  // The same without key or clipper.
  HRESULT CopyToSurface(IDirectDrawSurface2* destination, int x, int y, IDirectDrawSurface2* source,
                        const RECT& sourceRect);
  // Onto a device context with a raster operation.
  HRESULT BltToDC(HDC dc, int x, int y, IDirectDrawSurface2* source, const RECT& sourceRect, DWORD rop);

  bool IsInitialized() const { return m_Initialized; }
  bool IsConversionActive() const { return m_ConversionActive; }
  bool IsUnsupported() const { return m_Unsupported; }
  // The system palette index that serves as colour key on the conversion
  // surface.
  INT GetKeyIndex() const { return m_KeyIndex; }
  // Entry i: the system palette index that display palette index i shows
  // as.
  const TranslationTable& GetPaletteTranslationTable() const { return m_PaletteTranslationTable; }
  IDirectDrawSurface2* GetConvertSurface() const { return m_ConvertSurface; }

 private:
  HRESULT CreateConvertSurface();
  void DestroyConvertSurface() noexcept;
  // Translates the source rectangle into the destination at (x, y).
  HRESULT TranslateRect(IDirectDrawSurface2* destination, int x, int y, IDirectDrawSurface2* source,
                        const RECT& sourceRect) const;
  HRESULT BltConverted(IDirectDrawSurface2* destination, int x, int y, IDirectDrawSurface2* source,
                       const RECT& sourceRect, DWORD flags, DDBLTFX* effects, bool keyed);
  HRESULT BltToDCConverted(HDC dc, int x, int y, IDirectDrawSurface2* source, const RECT& sourceRect, DWORD rop);

  TranslationTable m_PaletteTranslationTable{};
  bool m_ConversionActive = false;
  bool m_Unsupported = false;
  INT m_KeyIndex = 0;
  IDirectDrawSurface2* m_ConvertSurface = nullptr;
  bool m_Initialized = false;
};
