#include "plugins/pictolan/pictures/PngDecoder.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "plugins/pictolan/pictures/StreamReads.h"

// libpng leaves a failed step through longjmp. The steps below run in
// frames that hold nothing with a destructor, the callbacks keep errors of
// the stream to themselves, and the bitmap is made between the steps, so
// no C++ object is ever jumped over.

namespace pictolan {
namespace {

constexpr const char* kImageErrorCaption = "Image error";
constexpr const char* kInitErrorText = "Error initializing PNG decoder.";
constexpr const char* kDecodeErrorText = "Error decoding PNG image: ";
constexpr const char* kReadErrorText = "read error";
constexpr size_t kSignatureSize = 8;
// The most a chunk other than the image data may make the library hold.
constexpr png_alloc_size_t kChunkMemoryLimit = 8000000;

// The library's last error message.
struct PngErrorText {
  char text[256] = "";
};

// What the header step learns, for the bitmap and its palette and key.
struct PngHeader {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;  // after cutting 16-bit samples to 8
  int sourceDepth = 0;
  int colorType = 0;
  size_t rowBytes = 0;  // of the rows as the library delivers them
  int paletteCount = 0;
  png_color palette[PNG_MAX_PALETTE_LENGTH] = {};
  bool hasTransparency = false;
  int transparentCount = 0;
  png_byte transparentAlpha[PNG_MAX_PALETTE_LENGTH] = {};
  png_color_16 transparentColor = {};
};

void StoreError(png_structp png, png_const_charp message) {
  auto* error = static_cast<PngErrorText*>(png_get_error_ptr(png));
  std::snprintf(error->text, sizeof error->text, "%s", message ? message : "");
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

void ReadFromStream(png_structp png, png_bytep data, size_t length) {
  auto* stream = static_cast<CStream*>(png_get_io_ptr(png));
  const DWORD wanted = length > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(length);
  const DWORD count = ReadIgnoringErrors(*stream, data, wanted);
  if (count < length) png_error(png, kReadErrorText);
}

// Chunks the picture does not need are skipped unread: the library would
// otherwise take a buffer of the size a chunk claims (up to 2 GiB for a
// text chunk of a file of a few hundred bytes) before finding the file cut.
void IgnoreUnusedChunks(png_structp png) {
  static const png_byte kUnused[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0hIST\0pCAL\0sCAL\0tIME\0oFFs\0pHYs\0bKGD";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnused, static_cast<int>(sizeof kUnused / 5));
  png_set_chunk_malloc_max(png, kChunkMemoryLimit);
}

// Reads the chunks before the image data, asks for 8-bit samples without
// alpha and records what the bitmap needs.
bool HeaderStep(png_structp png, png_infop info, CStream* stream, PngHeader* header) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, stream, &ReadFromStream);
  png_set_sig_bytes(png, kSignatureSize);
  IgnoreUnusedChunks(png);
  png_read_info(png, info);
  int interlace = 0;
  png_get_IHDR(png, info, &header->width, &header->height, &header->sourceDepth, &header->colorType, &interlace,
               nullptr, nullptr);
  switch (header->colorType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_GRAY_ALPHA:
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_RGB_ALPHA:
      break;
    default:
      png_error(png, "unsupported colour type");
  }
  // Palette and transparency first: the update below forgets tRNS once
  // alpha is to be dropped.
  png_colorp palette = nullptr;
  int count = 0;
  if (header->colorType == PNG_COLOR_TYPE_PALETTE && png_get_PLTE(png, info, &palette, &count) && palette) {
    header->paletteCount = count < PNG_MAX_PALETTE_LENGTH ? count : PNG_MAX_PALETTE_LENGTH;
    std::memcpy(header->palette, palette, sizeof(png_color) * header->paletteCount);
  }
  png_bytep alpha = nullptr;
  png_color_16p color = nullptr;
  count = 0;
  if (png_get_valid(png, info, PNG_INFO_tRNS) && png_get_tRNS(png, info, &alpha, &count, &color)) {
    header->hasTransparency = true;
    if (alpha && count > 0) {
      header->transparentCount = count < PNG_MAX_PALETTE_LENGTH ? count : PNG_MAX_PALETTE_LENGTH;
      std::memcpy(header->transparentAlpha, alpha, header->transparentCount);
    }
    if (color) header->transparentColor = *color;
  }

  png_set_strip_16(png);
  png_set_strip_alpha(png);
  int intent = 0;
  if (png_get_sRGB(png, info, &intent)) png_set_sRGB(png, info, 0);
  png_set_swap(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  header->bitDepth = header->sourceDepth == 16 ? 8 : header->sourceDepth;
  header->rowBytes = png_get_rowbytes(png, info);
  return true;
}

bool ImageStep(png_structp png, png_infop info, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, info);
  return true;
}

// The library's two records, destroyed however the decode ends.
struct PngRecords {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngRecords() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
};

[[noreturn]] void ThrowDecodeError(const PngErrorText& error) {
  ThrowError<CError>(kImageErrorCaption, CStr(kDecodeErrorText) + error.text);
}

// Grey pictures get 2^depth evenly spaced greys, palette pictures their
// own colours; truecolour is 24-bit RGB.
CPixelFormat FormatFor(const PngHeader& header) {
  CPixelFormat format;
  if (header.colorType == PNG_COLOR_TYPE_RGB || header.colorType == PNG_COLOR_TYPE_RGB_ALPHA) {
    format.SetMasks(24, 0x0000FF, 0x00FF00, 0xFF0000);
    return format;
  }
  auto* palette = new (std::nothrow) CColorPalette;
  if (!palette) ThrowMemoryError();
  std::unique_ptr<CColorPalette, void (*)(CColorPalette*)> held(palette, [](CColorPalette* p) { p->Release(); });
  if (header.colorType == PNG_COLOR_TYPE_PALETTE) {
    palette->SetEntries(header.paletteCount, nullptr);
    for (int i = 0; i < header.paletteCount; ++i) {
      const png_color& c = header.palette[i];
      palette->GetEntries()[i] = c.red + c.green * 256u + c.blue * 65536u;
    }
  } else {
    const DWORD count = 1u << header.bitDepth;
    palette->SetEntries(count, nullptr);
    for (DWORD i = 0; i < count; ++i) {
      const DWORD grey = 255 * i / (count - 1);
      palette->GetEntries()[i] = grey * 0x010101u;
    }
  }
  format.SetIndexed(header.bitDepth, palette);
  return format;
}

// Every pixel of a transparent index becomes the key index. One table
// maps a whole byte, whatever the number of pixels packed into it.
void RewriteTransparentIndices(CDIBitmap& bitmap, int depth, const bool* transparent, BYTE key) {
  const int perByte = 8 / depth;
  const BYTE mask = static_cast<BYTE>((1u << depth) - 1);
  BYTE table[256];
  for (int value = 0; value < 256; ++value) {
    BYTE mapped = 0;
    for (int slot = 0; slot < perByte; ++slot) {
      const int shift = slot * depth;
      const BYTE index = static_cast<BYTE>((value >> shift) & mask);
      mapped |= static_cast<BYTE>((transparent[index] ? key : index) << shift);
    }
    table[value] = mapped;
  }
  BYTE* pixels = bitmap.GetPixels();
  for (DWORD i = 0; i < bitmap.GetDataSize(); ++i) pixels[i] = table[pixels[i]];
}

// Palette pictures: indices whose alpha is below 128 are transparent; the
// one with the smallest alpha is the key and the others are rewritten to
// it, so that one key covers them all.
void KeyPaletteTransparency(CDIBitmap& bitmap, const PngHeader& header) {
  bool transparent[256] = {};
  int key = -1;
  int transparentIndices = 0;
  const int indices = 1 << header.bitDepth;
  for (int i = 0; i < header.transparentCount && i < indices; ++i) {
    if (header.transparentAlpha[i] >= 128) continue;
    transparent[i] = true;
    ++transparentIndices;
    if (key < 0 || header.transparentAlpha[i] < header.transparentAlpha[key]) key = i;
  }
  if (key < 0) return;
  if (transparentIndices > 1) RewriteTransparentIndices(bitmap, header.bitDepth, transparent, static_cast<BYTE>(key));
  bitmap.SetColorKey(static_cast<DWORD>(key));
  bitmap.SetColorKeyFlag(true);
}

// A tRNS sample at the picture's depth, as the bitmap holds it: the high
// byte of 16-bit samples, the sample itself otherwise.
DWORD KeySample(png_uint_16 sample, int sourceDepth) {
  if (sourceDepth == 16) return sample >> 8;
  return sample & ((1u << sourceDepth) - 1);
}

// Grey pictures: the grey value is the index of its palette entry.
// Truecolour pictures: the colour as a 24-bit RGB pixel.
void KeyColorTransparency(CDIBitmap& bitmap, const PngHeader& header) {
  const png_color_16& color = header.transparentColor;
  DWORD key = 0;
  if (header.colorType == PNG_COLOR_TYPE_GRAY) {
    key = KeySample(color.gray, header.sourceDepth);
  } else if (header.colorType == PNG_COLOR_TYPE_RGB) {
    key = KeySample(color.red, header.sourceDepth) | KeySample(color.green, header.sourceDepth) << 8 |
          KeySample(color.blue, header.sourceDepth) << 16;
  } else {
    return;  // pictures with an alpha channel have no tRNS colour
  }
  bitmap.SetColorKey(key);
  bitmap.SetColorKeyFlag(true);
}

}  // namespace

bool DecodePng(CStream& stream, CDIBitmap& bitmap, const DecodeOptions& options) {
  bitmap.Free();
  png_byte signature[kSignatureSize];
  if (stream.Read(signature, kSignatureSize) < kSignatureSize) ThrowError<CStreamError>(CStreamError::kEndOfStream, stream);
  if (png_sig_cmp(signature, 0, kSignatureSize) != 0) return false;

  PngErrorText error;
  PngRecords records;
  records.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, &StoreError, &IgnoreWarning);
  if (records.png) records.info = png_create_info_struct(records.png);
  if (!records.png || !records.info) ThrowError<CError>(kImageErrorCaption, kInitErrorText);

  // The header's records are large (two palettes); they live on the heap.
  std::unique_ptr<PngHeader> header(new (std::nothrow) PngHeader);
  if (!header) ThrowMemoryError();
  const bool headerRead = HeaderStep(records.png, records.info, &stream, header.get());
  if (options.messages) *options.messages = error.text;
  if (!headerRead) ThrowDecodeError(error);

  if (!CreatePictureBitmap(bitmap, header->width, header->height, FormatFor(*header), true, options)) return false;
  if (header->rowBytes > bitmap.GetBytesPerRow()) {
    std::snprintf(error.text, sizeof error.text, "unexpected row size");
    ThrowDecodeError(error);
  }
  std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[header->height]);
  if (!rows) ThrowMemoryError();
  for (png_uint_32 i = 0; i < header->height; ++i) rows[i] = bitmap.GetPixels() + size_t{i} * bitmap.GetBytesPerRow();
  const bool imageRead = ImageStep(records.png, records.info, rows.get());
  if (options.messages) *options.messages = error.text;
  if (!imageRead) ThrowDecodeError(error);

  if (header->hasTransparency) {
    if (header->colorType == PNG_COLOR_TYPE_PALETTE) {
      KeyPaletteTransparency(bitmap, *header);
    } else {
      KeyColorTransparency(bitmap, *header);
    }
  }
  return true;
}

}  // namespace pictolan
