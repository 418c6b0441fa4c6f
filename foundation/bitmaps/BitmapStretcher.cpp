#include "foundation/bitmaps/BitmapStretcher.h"

#include <cstddef>
#include <cstdint>

#include "foundation/bitmaps/LittleEndian.h"
#include "foundation/bitmaps/PixelFormat.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CBitmapStretcher, CTypedObject)

namespace {

constexpr DWORD kHalf = 0x8000;
constexpr DWORD kFractionMask = 0xFFFF;
// A fraction's weight in 1/32: its top five bits.
constexpr int kWeightShift = 11;

// T[v][k] = floor(v * k / 32) and T[v][33 - k] = v - floor(v * k / 32)
// for k = 1 to 16, so T[v][33 - w] + T[v][w] = v for every weight w from
// 1 to 31: a colour blended with itself stays exactly as it was. Kept by
// weight, then value, so that one pixel's weight picks two rows and its
// channels index them directly.
struct BlendTable {
  BYTE byWeight[33][256];

  BlendTable() : byWeight{} {
    for (DWORD v = 0; v < 256; ++v) {
      for (DWORD k = 1; k <= 16; ++k) {
        byWeight[k][v] = static_cast<BYTE>(v * k / 32);
        byWeight[33 - k][v] = static_cast<BYTE>(v - v * k / 32);
      }
    }
  }
};

const BlendTable& SharedBlendTable() {
  static const BlendTable table;
  return table;
}

template <int N>
DWORD ReadPixel(const BYTE* p) {
  if constexpr (N == 1) return p[0];
  if constexpr (N == 2) return ReadLE16(p);
  if constexpr (N == 3) return ReadLE16(p) | static_cast<DWORD>(p[2]) << 16;
  if constexpr (N == 4) return ReadLE32(p);
}

template <int N>
void WritePixel(BYTE* p, DWORD value) {
  if constexpr (N == 1) p[0] = static_cast<BYTE>(value);
  if constexpr (N == 2) WriteLE16(p, static_cast<WORD>(value));
  if constexpr (N == 3) {
    WriteLE16(p, static_cast<WORD>(value));
    p[2] = static_cast<BYTE>(value >> 16);
  }
  if constexpr (N == 4) WriteLE32(p, value);
}

INT LowestBit(DWORD mask) {
  if (mask == 0) return 0;
  INT shift = 0;
  while (!(mask & 1)) mask >>= 1, ++shift;
  return shift;
}

inline BYTE BlendWith(const BlendTable& table, DWORD a, DWORD b, DWORD weight) {
  return static_cast<BYTE>(table.byWeight[33 - weight][a] + table.byWeight[weight][b]);
}

// The weights of one blend: a's row and b's row of the table.
struct WeightRows {
  const BYTE* first;
  const BYTE* second;
  WeightRows(const BlendTable& table, DWORD weight) : first(table.byWeight[33 - weight]), second(table.byWeight[weight]) {}
  DWORD operator()(DWORD a, DWORD b) const { return static_cast<DWORD>(first[a] + second[b]); }
};

}  // namespace

CBitmapStretcher::CBitmapStretcher() noexcept { SharedBlendTable(); }

BYTE CBitmapStretcher::Blend(DWORD a, DWORD b, DWORD weight) { return BlendWith(SharedBlendTable(), a, b, weight); }

void CBitmapStretcher::SetFormat(const CPixelFormat& format) {
  m_ColorChannelsValid = false;
  if (!format.IsPalettized()) {
    m_RedMask = format.redMask;
    m_GreenMask = format.greenMask;
    m_BlueMask = format.blueMask;
    m_RedShift = LowestBit(m_RedMask);
    m_GreenShift = LowestBit(m_GreenMask);
    m_BlueShift = LowestBit(m_BlueMask);
    // Channel values index the blend table, which has 256 rows.
    m_ColorChannelsValid = (m_RedMask >> m_RedShift) <= 0xFF && (m_GreenMask >> m_GreenShift) <= 0xFF &&
                           (m_BlueMask >> m_BlueShift) <= 0xFF;
  }
  m_BytesPerPixel = static_cast<INT>((format.bitsPerPixel + 7) / 8);
  m_FormatSet = true;
}

template <int N>
void CBitmapStretcher::NearestRows(BYTE* destination, INT destinationPitch, INT width, INT height,
                                   const BYTE* source, INT sourcePitch, DWORD xStep, DWORD yStep, DWORD xStart,
                                   DWORD yStart) const {
  // Half a pixel ahead, so that positions round to the nearest pixel.
  DWORD y = yStart + kHalf;
  const BYTE* sourceRow = source;
  for (INT i = 0; i < height; ++i) {
    sourceRow += static_cast<ptrdiff_t>(y >> 16) * sourcePitch;
    y = (y & kFractionMask) + yStep;
    DWORD x = xStart + kHalf;
    const BYTE* from = sourceRow;
    BYTE* to = destination;
    for (INT j = 0; j < width; ++j) {
      from += static_cast<ptrdiff_t>(x >> 16) * N;
      WritePixel<N>(to, ReadPixel<N>(from));
      to += N;
      x = (x & kFractionMask) + xStep;
    }
    destination += destinationPitch;
  }
}

template <int N>
void CBitmapStretcher::SmoothRows(BYTE* destination, INT destinationPitch, INT width, INT height,
                                  const BYTE* source, INT sourcePitch, DWORD xStep, DWORD yStep, DWORD xStart,
                                  DWORD yStart) const {
  const BlendTable& table = SharedBlendTable();
  const DWORD redMask = m_RedMask, greenMask = m_GreenMask, blueMask = m_BlueMask;
  const INT redShift = m_RedShift, greenShift = m_GreenShift, blueShift = m_BlueShift;
  auto red = [=](DWORD pixel) { return (pixel & redMask) >> redShift; };
  auto green = [=](DWORD pixel) { return (pixel & greenMask) >> greenShift; };
  auto blue = [=](DWORD pixel) { return (pixel & blueMask) >> blueShift; };
  auto compose = [=](DWORD r, DWORD g, DWORD b) { return r << redShift | g << greenShift | b << blueShift; };

  // A whole part in a start is taken as a move of the source, so that a
  // weight never leaves 0 to 31.
  const BYTE* sourceRow = source + static_cast<ptrdiff_t>(yStart >> 16) * sourcePitch;
  DWORD yFraction = yStart & kFractionMask;
  const ptrdiff_t xWhole = static_cast<ptrdiff_t>(xStart >> 16) * N;
  const DWORD xFractionStart = xStart & kFractionMask;
  for (INT i = 0; i < height; ++i) {
    const DWORD yWeight = yFraction >> kWeightShift;
    const WeightRows vertical(table, yWeight ? yWeight : 1);
    DWORD xFraction = xFractionStart;
    const BYTE* from = sourceRow + xWhole;
    BYTE* to = destination;
    for (INT j = 0; j < width; ++j) {
      const DWORD xWeight = xFraction >> kWeightShift;
      const DWORD pixel = ReadPixel<N>(from);
      DWORD result = pixel;
      if (xWeight != 0) {
        const WeightRows horizontal(table, xWeight);
        const DWORD right = ReadPixel<N>(from + N);
        DWORD r = horizontal(red(pixel), red(right));
        DWORD g = horizontal(green(pixel), green(right));
        DWORD b = horizontal(blue(pixel), blue(right));
        if (yWeight != 0) {
          const DWORD below = ReadPixel<N>(from + sourcePitch);
          const DWORD belowRight = ReadPixel<N>(from + sourcePitch + N);
          r = vertical(r, horizontal(red(below), red(belowRight)));
          g = vertical(g, horizontal(green(below), green(belowRight)));
          b = vertical(b, horizontal(blue(below), blue(belowRight)));
        }
        result = compose(r, g, b);
      } else if (yWeight != 0) {
        const DWORD below = ReadPixel<N>(from + sourcePitch);
        result = compose(vertical(red(pixel), red(below)), vertical(green(pixel), green(below)),
                         vertical(blue(pixel), blue(below)));
      }
      WritePixel<N>(to, result);
      to += N;
      const uint64_t x = static_cast<uint64_t>(xStep) + xFraction;
      from += static_cast<ptrdiff_t>(x >> 16) * N;
      xFraction = static_cast<DWORD>(x & kFractionMask);
    }
    const uint64_t y = static_cast<uint64_t>(yStep) + yFraction;
    sourceRow += static_cast<ptrdiff_t>(y >> 16) * sourcePitch;
    yFraction = static_cast<DWORD>(y & kFractionMask);
    destination += destinationPitch;
  }
}

void CBitmapStretcher::StretchNearest(void* destination, INT destinationPitch, INT width, INT height,
                                      const void* source, INT sourcePitch, DWORD xStep, DWORD yStep, DWORD xStart,
                                      DWORD yStart) const {
  if (!m_FormatSet || width <= 0 || height <= 0) return;
  BYTE* to = static_cast<BYTE*>(destination);
  const BYTE* from = static_cast<const BYTE*>(source);
  switch (m_BytesPerPixel) {
    case 1:
      return NearestRows<1>(to, destinationPitch, width, height, from, sourcePitch, xStep, yStep, xStart, yStart);
    case 2:
      return NearestRows<2>(to, destinationPitch, width, height, from, sourcePitch, xStep, yStep, xStart, yStart);
    case 3:
      return NearestRows<3>(to, destinationPitch, width, height, from, sourcePitch, xStep, yStep, xStart, yStart);
    case 4:
      return NearestRows<4>(to, destinationPitch, width, height, from, sourcePitch, xStep, yStep, xStart, yStart);
    default:
      return;
  }
}

void CBitmapStretcher::StretchSmooth(void* destination, INT destinationPitch, INT width, INT height,
                                     const void* source, INT sourcePitch, DWORD xStep, DWORD yStep, DWORD xStart,
                                     DWORD yStart) const {
  if (!m_FormatSet || width <= 0 || height <= 0) return;
  if (!m_ColorChannelsValid)
    return StretchNearest(destination, destinationPitch, width, height, source, sourcePitch, xStep, yStep, xStart,
                          yStart);
  BYTE* to = static_cast<BYTE*>(destination);
  const BYTE* from = static_cast<const BYTE*>(source);
  switch (m_BytesPerPixel) {
    case 1:
      return SmoothRows<1>(to, destinationPitch, width, height, from, sourcePitch, xStep, yStep, xStart, yStart);
    case 2:
      return SmoothRows<2>(to, destinationPitch, width, height, from, sourcePitch, xStep, yStep, xStart, yStart);
    case 3:
      return SmoothRows<3>(to, destinationPitch, width, height, from, sourcePitch, xStep, yStep, xStart, yStart);
    case 4:
      return SmoothRows<4>(to, destinationPitch, width, height, from, sourcePitch, xStep, yStep, xStart, yStart);
    default:
      return;
  }
}
