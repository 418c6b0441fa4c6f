// Copies on an 8-bit display: each byte goes through the translation table,
// through the conversion surface in pieces of at most 320 x 200 pixels.
#include <cstdint>
#include <cstring>

#include "display/paint/PrimaryBlitter.h"

namespace {

void TranslateRow(BYTE* out, const BYTE* in, DWORD width, const CPrimaryBlitter::TranslationTable& table) {
  DWORD x = 0;
  for (; x + 4 <= width; x += 4) {
    uint32_t four;
    std::memcpy(&four, in + x, 4);
    const uint32_t translated =
        static_cast<uint32_t>(table[four & 0xFF] & 0xFF) | static_cast<uint32_t>(table[four >> 8 & 0xFF] & 0xFF) << 8 |
        static_cast<uint32_t>(table[four >> 16 & 0xFF] & 0xFF) << 16 |
        static_cast<uint32_t>(table[four >> 24] & 0xFF) << 24;
    std::memcpy(out + x, &translated, 4);
  }
  for (; x < width; ++x) out[x] = static_cast<BYTE>(table[in[x]]);
}

// Calls piece(part) for the source rectangle in bands of 200 rows from its
// top and, within a band, pieces of 320 columns from its left, the last of
// each cut short; stops at the first failure and returns it.
template <class Piece>
HRESULT ForEachPiece(const RECT& source, Piece piece) {
  for (LONG top = source.top; top < source.bottom; top += CPrimaryBlitter::kPieceHeight) {
    const LONG bottom = source.bottom - top > static_cast<LONG>(CPrimaryBlitter::kPieceHeight)
                            ? top + static_cast<LONG>(CPrimaryBlitter::kPieceHeight)
                            : source.bottom;
    for (LONG left = source.left; left < source.right; left += CPrimaryBlitter::kPieceWidth) {
      const LONG right = source.right - left > static_cast<LONG>(CPrimaryBlitter::kPieceWidth)
                             ? left + static_cast<LONG>(CPrimaryBlitter::kPieceWidth)
                             : source.right;
      if (HRESULT result = piece(RECT{left, top, right, bottom}); FAILED(result)) return result;
    }
  }
  return DD_OK;
}

}  // namespace

HRESULT CPrimaryBlitter::TranslateRect(IDirectDrawSurface2* destination, int x, int y, IDirectDrawSurface2* source,
                                       const RECT& sourceRect) const {
  const DWORD width = static_cast<DWORD>(sourceRect.right - sourceRect.left);
  const DWORD height = static_cast<DWORD>(sourceRect.bottom - sourceRect.top);
  RECT from = sourceRect;
  DDSURFACEDESC in{};
  in.dwSize = sizeof in;
  if (HRESULT result = source->Lock(&from, &in, DDLOCK_WAIT | DDLOCK_READONLY, nullptr); FAILED(result))
    return result;
  RECT to{x, y, x + static_cast<LONG>(width), y + static_cast<LONG>(height)};
  DDSURFACEDESC out{};
  out.dwSize = sizeof out;
  if (HRESULT result = destination->Lock(&to, &out, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr); FAILED(result)) {
    source->Unlock(nullptr);
    return result;
  }
  const BYTE* inRow = static_cast<const BYTE*>(in.lpSurface);
  BYTE* outRow = static_cast<BYTE*>(out.lpSurface);
  for (DWORD row = 0; row < height; ++row, inRow += in.lPitch, outRow += out.lPitch)
    TranslateRow(outRow, inRow, width, m_PaletteTranslationTable);
  const HRESULT written = destination->Unlock(nullptr);
  const HRESULT read = source->Unlock(nullptr);
  return FAILED(written) ? written : read;
}

HRESULT CPrimaryBlitter::BltConverted(IDirectDrawSurface2* destination, int x, int y, IDirectDrawSurface2* source,
                                      const RECT& sourceRect, DWORD flags, DDBLTFX* effects, bool keyed) {
  if (!m_ConvertSurface) return E_FAIL;
  if (sourceRect.right <= sourceRect.left || sourceRect.bottom <= sourceRect.top) return DDERR_INVALIDRECT;
  // Pixels of the display palette's key entry translate to the key index,
  // so a keyed copy leaves the destination alone there.
  DDCOLORKEY key{static_cast<DWORD>(m_KeyIndex), static_cast<DWORD>(m_KeyIndex)};
  if (HRESULT result = m_ConvertSurface->SetColorKey(DDCKEY_SRCBLT, keyed ? &key : nullptr); FAILED(result))
    return result;
  flags |= DDBLT_WAIT;
  return ForEachPiece(sourceRect, [&](const RECT& part) {
    if (HRESULT result = TranslateRect(m_ConvertSurface, 0, 0, source, part); FAILED(result)) return result;
    const LONG width = part.right - part.left;
    const LONG height = part.bottom - part.top;
    RECT target{x + (part.left - sourceRect.left), y + (part.top - sourceRect.top), 0, 0};
    target.right = target.left + width;
    target.bottom = target.top + height;
    RECT converted{0, 0, width, height};
    return destination->Blt(&target, m_ConvertSurface, &converted, flags, effects);
  });
}

HRESULT CPrimaryBlitter::BltToDCConverted(HDC dc, int x, int y, IDirectDrawSurface2* source, const RECT& sourceRect,
                                          DWORD rop) {
  if (!m_ConvertSurface) return E_FAIL;
  return ForEachPiece(sourceRect, [&](const RECT& part) {
    if (HRESULT result = TranslateRect(m_ConvertSurface, 0, 0, source, part); FAILED(result)) return result;
    HDC surfaceDC = nullptr;
    if (HRESULT result = m_ConvertSurface->GetDC(&surfaceDC); FAILED(result)) return result;
    const BOOL copied = BitBlt(dc, x + (part.left - sourceRect.left), y + (part.top - sourceRect.top),
                               part.right - part.left, part.bottom - part.top, surfaceDC, 0, 0, rop);
    m_ConvertSurface->ReleaseDC(surfaceDC);
    return copied ? DD_OK : E_FAIL;
  });
}
