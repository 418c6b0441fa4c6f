// Pixel blocks for plug-ins: a block converted from one pixel format into
// another, a BMP picture loaded through the file system into a block of
// the host heap, and a BMP picture converted into the caller's block.
//
// Formats cross as DirectDraw pixel-format records. Every record, size,
// depth and channel mask is checked before a pixel is touched: a
// destination must be RGB (there is no colour table to map colours to
// palette indices), and a palettized source needs its palette, so that no
// conversion reads through a table that is not there.
#include <bit>
#include <cstring>
#include <memory>

#include "foundation/bitmaps/ColorPalette.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/PixelConverter.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {

namespace {

// Read-only; others may read meanwhile.
constexpr DWORD kLoadFlags = 0x100001;
// A source with alpha may not say its colours are premultiplied.
constexpr DWORD kAlphaPremultiplied = 0x10;

bool IsAcceptedDepth(DWORD bits) {
  return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Zero, or one run of set bits.
bool IsOneRun(DWORD mask) {
  if (mask == 0) return true;
  const DWORD shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

bool HasSoundMasks(const CPixelFormat& format) {
  const auto masks = format.GetMasks();
  for (size_t i = 0; i < masks.size(); ++i) {
    if (!IsOneRun(masks[i])) return false;
    for (size_t j = i + 1; j < masks.size(); ++j)
      if (masks[i] & masks[j]) return false;
  }
  return true;
}

// A palettized format names exactly the index flag of its depth.
bool HasConsistentIndexFlag(const CPixelFormat& format) {
  const DWORD indexFlags = format.flags & kPixelIndexedMask;
  return indexFlags == 0 || indexFlags == CPixelFormat::IndexedFlagForDepth(format.bitsPerPixel);
}

// The record as a pixel format; a palettized one gets `palette`'s 2^bits
// entries when a palette is given. The record's size is kept for the
// checks.
CPixelFormat FormatOfRecord(const DDPIXELFORMAT& record, const DWORD* palette) {
  CPixelFormat format;
  format.size = record.dwSize;
  format.flags = record.dwFlags;
  format.fourCC = record.dwFourCC;
  format.bitsPerPixel = record.dwRGBBitCount;
  if (!format.IsPalettized()) {
    format.SetMasks(record.dwRGBBitCount, record.dwRBitMask, record.dwGBitMask, record.dwBBitMask,
                    record.dwRGBAlphaBitMask);
    format.flags = record.dwFlags;
    return format;
  }
  if (palette && format.bitsPerPixel <= 8) {
    auto* entries = new CColorPalette;
    entries->SetEntries(DWORD{1} << format.bitsPerPixel, palette);
    format.SetPalette(entries);
    entries->Release();
  }
  return format;
}

// What a conversion needs of both formats beyond the records' own checks.
bool IsConvertiblePair(const CPixelFormat& destination, const CPixelFormat& source) {
  if (!IsAcceptedDepth(destination.bitsPerPixel) || !IsAcceptedDepth(source.bitsPerPixel)) return false;
  if (!HasSoundMasks(destination) || !HasSoundMasks(source)) return false;
  if (!HasConsistentIndexFlag(destination) || !HasConsistentIndexFlag(source)) return false;
  if (destination.IsPalettized()) return false;
  return !source.IsPalettized() || source.GetPalette();
}

// A destination record the slots accept: size, RGB, no alpha, a depth.
bool IsAcceptedDestinationRecord(const DDPIXELFORMAT& record) {
  return record.dwSize >= CPixelFormat::kRecordSize && (record.dwFlags & DDPF_RGB) &&
         !(record.dwFlags & DDPF_ALPHAPIXELS) && IsAcceptedDepth(record.dwRGBBitCount);
}

// Prepares the converter; false when it has no routine for the pair.
bool PrepareConverter(CPixelConverter& converter, const CPixelFormat& destination, const CPixelFormat& source) {
  try {
    converter.Prepare(destination, source, nullptr);
  } catch (CError* error) {
    DisposeError(error);
    return false;
  }
  return converter.IsReady();
}

// Row by row, so that either pitch may be negative (rows upward in
// memory from the first one).
void ConvertBlock(const CPixelConverter& converter, BYTE* destination, ptrdiff_t destinationPitch, const BYTE* source,
                  ptrdiff_t sourcePitch, DWORD width, DWORD height) {
  for (DWORD row = 0; row < height; ++row) {
    converter.ConvertRows(destination + static_cast<ptrdiff_t>(row) * destinationPitch, 0,
                          source + static_cast<ptrdiff_t>(row) * sourcePitch, 0, width, 1);
  }
}

// The BMP picture of a URL; the stream is closed whatever happens.
void LoadPicture(const char* url, CDIBitmap& bitmap) {
  CStream* stream = GetFileSystem().Open(url, kLoadFlags, 0);
  try {
    bitmap.LoadBMP(*stream);
  } catch (...) {
    stream->CloseNoThrow();
    throw;
  }
  stream->Close();
}

ptrdiff_t StoredPitch(const CDIBitmap& bitmap) {
  return static_cast<ptrdiff_t>(bitmap.GetBytesPerRow()) + bitmap.GetRowPadding();
}

// The picture's top row and the step to the next row below it.
const BYTE* TopRow(const CDIBitmap& bitmap, ptrdiff_t& pitch) {
  pitch = StoredPitch(bitmap);
  if (bitmap.IsTopDown()) return bitmap.GetPixels();
  const BYTE* top = bitmap.GetPixels() + pitch * static_cast<ptrdiff_t>(bitmap.GetHeight() - 1);
  pitch = -pitch;
  return top;
}

void SetGeneralError(const char* key, const char* defaultText) {
  SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText(key, defaultText).c_str());
}

}  // namespace

BOOL HOST_CopyBitmapData(const DDPIXELFORMAT* destinationFormat, void* destination, int32_t destinationPitch,
                         const DDPIXELFORMAT* sourceFormat, const void* source, int32_t sourcePitch, int32_t width,
                         int32_t height, const DWORD* palette) {
  const auto refuse = [] {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  };
  if (!destinationFormat || !destination || !sourceFormat || !source || width < 1 || height < 1) return refuse();
  if (!IsAcceptedDestinationRecord(*destinationFormat)) return refuse();
  if (sourceFormat->dwSize < CPixelFormat::kRecordSize || !(sourceFormat->dwFlags & DDPF_RGB)) return refuse();
  if ((sourceFormat->dwFlags & DDPF_ALPHAPIXELS) && ((sourceFormat->dwFlags & kAlphaPremultiplied) || !palette))
    return refuse();
  return RunSlot<BOOL>(FALSE, [&]() -> BOOL {
    const CPixelFormat to = FormatOfRecord(*destinationFormat, nullptr);
    const CPixelFormat from = FormatOfRecord(*sourceFormat, palette);
    CPixelConverter converter;
    if (!IsConvertiblePair(to, from) || !PrepareConverter(converter, to, from)) return refuse();
    ConvertBlock(converter, static_cast<BYTE*>(destination), destinationPitch, static_cast<const BYTE*>(source),
                 sourcePitch, static_cast<DWORD>(width), static_cast<DWORD>(height));
    return TRUE;
  });
}

BOOL HOST_LoadBitmap(const char* url, DDPIXELFORMAT* format, void** bits, int32_t* pitch, int32_t* width,
                     int32_t* height) {
  if (!url || !format || !bits || !pitch || !width || !height) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  *bits = nullptr;
  return RunSlot<BOOL>(FALSE, [&]() -> BOOL {
    CDIBitmap bitmap;
    LoadPicture(url, bitmap);
    void* block = HostAlloc(bitmap.GetDataSize());
    if (!block) {
      HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
      return FALSE;
    }
    std::memcpy(block, bitmap.GetPixels(), bitmap.GetDataSize());
    const CPixelFormat& picture = bitmap.GetFormat();
    *format = DDPIXELFORMAT{CPixelFormat::kRecordSize, picture.flags,        picture.fourCC,
                            picture.bitsPerPixel,      picture.redMask,      picture.greenMask,
                            picture.blueMask,          picture.alphaMask};
    *bits = block;
    // Bottom-up rows: the block holds the bottom row first.
    const auto stride = static_cast<int32_t>(StoredPitch(bitmap));
    *pitch = bitmap.IsTopDown() ? stride : -stride;
    *width = static_cast<int32_t>(bitmap.GetWidth());
    *height = static_cast<int32_t>(bitmap.GetHeight());
    return TRUE;
  });
}

BOOL HOST_LoadBitmapData(const char* url, const DDPIXELFORMAT* format, void* bits, int32_t pitch, int32_t width,
                         int32_t height) {
  if (!url || !format || !bits || width < 1 || height < 1 || !IsAcceptedDestinationRecord(*format) ||
      (format->dwFlags & kPixelIndexedMask)) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  return RunSlot<BOOL>(FALSE, [&]() -> BOOL {
    CDIBitmap bitmap;
    LoadPicture(url, bitmap);
    if (bitmap.GetWidth() != static_cast<DWORD>(width) || bitmap.GetHeight() != static_cast<DWORD>(height)) {
      SetGeneralError("LoadBitmapData.InvalidBitmapSize",
                      "Unable to load bitmap data. The actual bitmap size does not match the expected bitmap size.");
      return FALSE;
    }
    const CPixelFormat to = FormatOfRecord(*format, nullptr);
    const CPixelFormat& from = bitmap.GetFormat();
    CPixelConverter converter;
    if (!IsConvertiblePair(to, from) || !PrepareConverter(converter, to, from)) {
      SetGeneralError("LoadBitmapData.UnsupportedBitmapFormat",
                      "Unable to load bitmap data. The bitmap format is not supported.");
      return FALSE;
    }
    ptrdiff_t sourcePitch = 0;
    const BYTE* top = TopRow(bitmap, sourcePitch);
    ConvertBlock(converter, static_cast<BYTE*>(bits), pitch, top, sourcePitch, bitmap.GetWidth(), bitmap.GetHeight());
    return TRUE;
  });
}

}  // namespace hostapi
