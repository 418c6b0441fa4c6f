#include "foundation/bitmapfiles/GIFFrame.h"

#include <algorithm>
#include <cstring>

#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/bitmapfiles/CountedReference.h"
#include "foundation/bitmapfiles/GIFAnimation.h"
#include "foundation/bitmapfiles/GIFIndexBuffer.h"
#include "foundation/bitmapfiles/StreamReading.h"
#include "foundation/bitmaps/BitmapError.h"
#include "foundation/bitmaps/ColorPalette.h"
#include "foundation/bitmaps/LittleEndian.h"
#include "foundation/streams/Stream.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CGIFFrame, CDIBitmap)

namespace {

constexpr WORD kBackgroundColor = 0;  // black

CPixelFormat CanvasFormat() {
  CPixelFormat format;
  format.SetMasks(16, 0xF800, 0x7E0, 0x1F);
  return format;
}

// A palette entry 0x00BBGGRR as an RGB565 pixel.
WORD ToRGB565(DWORD color) {
  return static_cast<WORD>(((color & 0xF8) << 8) | ((color >> 5) & 0x7E0) | ((color >> 19) & 0x1F));
}

// The pixel block of a top-down bitmap with rows padded to 4 bytes.
uint64_t PixelBlockSize(DWORD width, DWORD height, DWORD bits) {
  const uint64_t bytesPerRow = (static_cast<uint64_t>(width) * bits + 7) / 8;
  return (bytesPerRow + ((0 - bytesPerRow) & 3)) * height;
}

// Whether the image may be placed on the screen: separate frames must lie
// within it, composed ones must start on it (the rest is clipped).
bool FitsScreen(const GIFImageDescriptor& image, const CGIFAnimation& animation, bool compose) {
  if (compose) return image.left <= animation.GetScreenWidth() && image.top <= animation.GetScreenHeight();
  return uint64_t{image.left} + image.width <= animation.GetScreenWidth() &&
         uint64_t{image.top} + image.height <= animation.GetScreenHeight();
}

// The smallest n for which 2^n reaches the count.
DWORD BitsForCount(DWORD count) {
  DWORD bits = 0;
  while (bits < 32 && (uint64_t{1} << bits) < count) ++bits;
  return bits;
}

}  // namespace

CGIFFrame::~CGIFFrame() = default;

DWORD CGIFFrame::DisposalOfMethod(DWORD method) {
  switch (method) {
    case 2: return kRestoreBackground;
    case 3: return kRestorePrevious;
    default: return kLeaveInPlace;
  }
}

void CGIFFrame::Reset() {
  Free();
  m_Delay = 0;
  m_Disposal = kLeaveInPlace;
  m_Left = m_Top = 0;
  m_RectangleDisposal = kLeaveInPlace;
  m_RectangleLeft = m_RectangleTop = m_RectangleWidth = m_RectangleHeight = 0;
}

// Graphic control is read into the frame; every other extension is passed
// over, an empty one included.
void CGIFFrame::ReadExtension(CStream& stream) {
  const BYTE label = ReadByteExactly(stream);
  if (label == kGIFGraphicControlLabel) {
    if (ReadByteExactly(stream) != GIFGraphicControl::kSize) ThrowCorruptedFile(stream);
    BYTE control[GIFGraphicControl::kSize];
    ReadExactly(stream, control, sizeof control);
    m_GraphicControl = GIFGraphicControl::Parse(control);
    m_HasGraphicControl = true;
  }
  SkipGIFSubBlocks(stream);
}

bool CGIFFrame::Decode(CStream& stream, const CGIFAnimation& animation, bool compose, bool continuing) {
  if (!compose || !continuing) Reset();
  m_HasGraphicControl = false;
  try {
    for (;;) {
      BYTE introducer = 0;
      if (stream.Read(&introducer, 1) != 1 || introducer == kGIFTrailer) return false;
      if (introducer == kGIFImageSeparator) break;
      if (introducer != kGIFExtensionIntroducer) ThrowCorruptedFile(stream);
      ReadExtension(stream);
    }
    m_ImageDescriptor = ReadGIFImageDescriptor(stream);
    // Refused by its descriptor, before its data costs anything.
    if (!FitsScreen(m_ImageDescriptor, animation, compose)) ThrowCorruptedFile(stream);
    CountedReference<CColorPalette> palette;
    DWORD colorBits = 0;
    if (m_ImageDescriptor.HasLocalTable()) {
      colorBits = m_ImageDescriptor.LocalTableBits();
      palette.Adopt(ReadGIFColorTable(stream, colorBits));
    } else {
      if (!animation.GetGlobalPalette()) ThrowUnsupportedBitmapFormat(stream);
      palette.Share(animation.GetGlobalPalette());
      colorBits = BitsForCount(palette.Get()->GetCount());
    }
    if (colorBits < 1 || colorBits > 8) ThrowUnsupportedBitmapFormat(stream);
    m_ImageDescriptor.minimumCodeSize = ReadByteExactly(stream);

    GIFIndexBuffer indices;
    indices.Decode(stream, m_ImageDescriptor.minimumCodeSize, m_ImageDescriptor.width, m_ImageDescriptor.height,
                   GIFPixelDepth(colorBits), colorBits);
    const bool made = compose ? ComposeFrame(indices, palette.Get(), animation, continuing)
                              : BuildFrame(indices, palette.Get(), colorBits, animation);
    if (!made) ThrowCorruptedFile(stream);
    return true;
  } catch (...) {
    Reset();
    throw;
  }
}

bool CGIFFrame::BuildFrame(const GIFIndexBuffer& indices, CColorPalette* palette, DWORD colorBits,
                           const CGIFAnimation& animation) {
  const bool transparent = m_HasGraphicControl && m_GraphicControl.HasTransparency();
  if (m_HasGraphicControl) {
    m_Disposal = DisposalOfMethod(m_GraphicControl.DisposalMethod());
    m_Delay = m_GraphicControl.delay * 10u;
  }
  m_Left = m_ImageDescriptor.left;
  m_Top = m_ImageDescriptor.top;

  const DWORD depth = GIFPixelDepth(colorBits);
  if (!animation.HasRoomFor(PixelBlockSize(m_ImageDescriptor.width, m_ImageDescriptor.height, depth)))
    ThrowBitmapError(kTooLargeKey, kTooLargeText);
  CPixelFormat format;
  format.SetIndexed(depth, palette);
  Create(m_ImageDescriptor.width, m_ImageDescriptor.height, kPadToFourBytes, format, true);
  indices.Unpack(*this, m_ImageDescriptor.IsInterlaced());
  if (transparent) {
    // An index equal to the count passes and matches no colour.
    if (m_GraphicControl.transparentIndex > palette->GetCount()) return false;
    SetColorKey(m_GraphicControl.transparentIndex);
    SetColorKeyFlag(true);
  }
  return true;
}

void CGIFFrame::FillRectangle(DWORD left, DWORD top, DWORD width, DWORD height, WORD color) {
  // Clipped to the canvas.
  const DWORD right = static_cast<DWORD>(std::min<uint64_t>(uint64_t{left} + width, GetWidth()));
  const DWORD bottom = static_cast<DWORD>(std::min<uint64_t>(uint64_t{top} + height, GetHeight()));
  const size_t stride = static_cast<size_t>(GetBytesPerRow()) + GetRowPadding();
  for (DWORD y = top; y < bottom; ++y) {
    BYTE* row = GetPixels() + stride * y;
    for (DWORD x = left; x < right; ++x) WriteLE16(row + 2 * static_cast<size_t>(x), color);
  }
}

// The canvas before this frame's image: the last frame that is not
// restored to the one before it, with its own area cleared when it asked
// for that; black without one.
void CGIFFrame::PrepareCanvas(const CGIFAnimation& animation) {
  const CGIFFrame* previous = nullptr;
  for (INT i = animation.GetFrameCount() - 1; i >= 0 && !previous; --i) {
    const CGIFFrame* frame = animation.GetFrame(i);
    if (frame != this && frame->m_RectangleDisposal != kRestorePrevious) previous = frame;
  }
  if (!previous || previous->GetDataSize() != GetDataSize()) {
    std::memset(GetPixels(), 0, GetDataSize());
    return;
  }
  std::memcpy(GetPixels(), previous->GetPixels(), GetDataSize());
  if (previous->m_RectangleDisposal == kRestoreBackground)
    FillRectangle(previous->m_RectangleLeft, previous->m_RectangleTop, previous->m_RectangleWidth,
                  previous->m_RectangleHeight, kBackgroundColor);
}

bool CGIFFrame::ComposeFrame(const GIFIndexBuffer& indices, const CColorPalette* palette,
                             const CGIFAnimation& animation, bool continuing) {
  const DWORD screenWidth = animation.GetScreenWidth();
  const DWORD screenHeight = animation.GetScreenHeight();
  const GIFImageDescriptor& image = m_ImageDescriptor;
  if (image.left > screenWidth || image.top > screenHeight) return false;

  // Every index the image can hold has a colour; those beyond the palette
  // are black.
  WORD colors[256] = {};
  for (DWORD i = 0; i < std::min<DWORD>(palette->GetCount(), 256); ++i) colors[i] = ToRGB565(palette->GetEntries()[i]);

  DWORD rectangleDisposal = kLeaveInPlace;
  DWORD delay = m_Delay;
  if (m_HasGraphicControl) {
    rectangleDisposal = DisposalOfMethod(m_GraphicControl.DisposalMethod());
    delay = m_GraphicControl.delay * 10u;
  }
  const bool transparent = m_HasGraphicControl && m_GraphicControl.HasTransparency();
  // An image shown for no time that is disposed of at once is not drawn.
  const bool drawn = !(delay == 0 && rectangleDisposal != kLeaveInPlace);

  if (!continuing) {
    if (!animation.HasRoomFor(PixelBlockSize(screenWidth, screenHeight, 16)))
      ThrowBitmapError(kTooLargeKey, kTooLargeText);
    Create(screenWidth, screenHeight, kPadToFourBytes, CanvasFormat(), true);
    // The padding is never drawn; it must not keep what the memory held.
    for (DWORD y = 0; GetRowPadding() && y < screenHeight; ++y)
      std::memset(GetPixels() + (static_cast<size_t>(GetBytesPerRow()) + GetRowPadding()) * y + GetBytesPerRow(), 0,
                  GetRowPadding());
    const bool coversScreen = image.width == screenWidth && image.height == screenHeight && !transparent;
    // Only an image drawn over the whole screen, with no pixel left out,
    // makes the canvas's earlier contents irrelevant.
    if (!(drawn && coversScreen)) PrepareCanvas(animation);
  }

  m_Left = m_Top = 0;
  m_Disposal = kLeaveInPlace;
  m_RectangleLeft = image.left;
  m_RectangleTop = image.top;
  m_RectangleWidth = image.width;
  m_RectangleHeight = image.height;
  m_RectangleDisposal = rectangleDisposal;
  m_Delay = delay;

  if (!drawn) {
    if (rectangleDisposal == kRestoreBackground)
      FillRectangle(image.left, image.top, image.width, image.height, kBackgroundColor);
    m_RectangleDisposal = kLeaveInPlace;
    return true;
  }

  // Parts of the image beyond the canvas are clipped.
  const DWORD visibleWidth = std::min<DWORD>(image.width, screenWidth - image.left);
  const size_t stride = static_cast<size_t>(GetBytesPerRow()) + GetRowPadding();
  BYTE* const pixels = GetPixels();
  indices.ForEachRow(image.IsInterlaced(), [&](DWORD row, CBitFieldCursor cursor) {
    const uint64_t y = uint64_t{image.top} + row;
    if (y >= screenHeight) return;
    BYTE* out = pixels + stride * y + 2 * static_cast<size_t>(image.left);
    for (DWORD x = 0; x < visibleWidth; ++x) {
      const DWORD index = cursor.Read();
      if (!transparent || index != m_GraphicControl.transparentIndex) WriteLE16(out + 2 * static_cast<size_t>(x), colors[index]);
    }
  });
  return true;
}
