// Pictolan's decoders (DecodeJpeg, DecodePng, DecodeTiff from a memory
// stream) beside the libraries' plain decodes of the same bytes from
// memory: libjpeg-turbo into RGB rows as djpeg does, libpng's row read as
// pngtopnm does, and TIFFReadRGBAImage alone. One 4000 x 3000 picture per
// format, made here: gradients with noise, JPEG at quality 90, PNG in
// 8-bit RGB, TIFF in LZW. Throughput counts pixels.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "plugins/pictolan/pictures/JpegDecoder.h"
#include "plugins/pictolan/pictures/PngDecoder.h"
#include "plugins/pictolan/pictures/TiffDecoder.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
using Bytes = std::vector<unsigned char>;

const Bytes& SourceRgb() {
  static const Bytes rgb = [] {
    Bytes pixels(static_cast<size_t>(kWidth) * kHeight * 3);
    std::mt19937 random(5);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        unsigned char* p = &pixels[(static_cast<size_t>(y) * kWidth + x) * 3];
        const int noise = static_cast<int>(random() % 9);
        p[0] = static_cast<unsigned char>((x / 16 + noise) & 255);
        p[1] = static_cast<unsigned char>((y / 12 + noise) & 255);
        p[2] = static_cast<unsigned char>(((x + y) / 28) & 255);
      }
    }
    return pixels;
  }();
  return rgb;
}

const Bytes& JpegFile() {
  static const Bytes file = [] {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
      JSAMPROW row = const_cast<JSAMPROW>(&SourceRgb()[static_cast<size_t>(info.next_scanline) * kWidth * 3]);
      jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes bytes(out, out + size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
  }();
  return file;
}

void AppendPng(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

const Bytes& PngFile() {
  static const Bytes file = [] {
    Bytes bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, &AppendPng, nullptr);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kHeight; ++y) {
      png_write_row(png, const_cast<png_bytep>(&SourceRgb()[static_cast<size_t>(y) * kWidth * 3]));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return bytes;
  }();
  return file;
}

const Bytes& TiffFile() {
  static const Bytes file = [] {
    char path[] = "/tmp/picture-bench-XXXXXX";
    const int descriptor = mkstemp(path);
    if (descriptor < 0) throw std::runtime_error("no temporary file");
    TIFF* tiff = TIFFFdOpen(descriptor, path, "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16);
    for (int y = 0; y < kHeight; ++y) {
      TIFFWriteScanline(tiff, const_cast<unsigned char*>(&SourceRgb()[static_cast<size_t>(y) * kWidth * 3]), y, 0);
    }
    TIFFClose(tiff);
    FILE* in = std::fopen(path, "rb");
    Bytes bytes;
    unsigned char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(in);
    std::remove(path);
    return bytes;
  }();
  return file;
}

// Runs one of our decoders over a memory stream holding the file.
template <class Decoder>
void DecodeFromMemoryStream(benchmark::State& state, const Bytes& file, Decoder decode) {
  for (auto _ : state) {
    CMemoryStream stream;
    stream.OpenCopy(file.data(), static_cast<DWORD>(file.size()), kStreamRead | kStreamSeek);
    CDIBitmap bitmap;
    try {
      if (!decode(stream, bitmap, pictolan::DecodeOptions{})) state.SkipWithError("not decoded");
    } catch (CError* error) {
      state.SkipWithError(error->GetText().c_str());
      DisposeError(error);
    }
    benchmark::DoNotOptimize(bitmap.GetPixels());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void DecodeJpeg(benchmark::State& state) { DecodeFromMemoryStream(state, JpegFile(), pictolan::DecodeJpeg); }
void DecodePng(benchmark::State& state) { DecodeFromMemoryStream(state, PngFile(), pictolan::DecodePng); }
void DecodeTiff(benchmark::State& state) { DecodeFromMemoryStream(state, TiffFile(), pictolan::DecodeTiff); }

void LibjpegRgbRows(benchmark::State& state) {
  const Bytes& file = JpegFile();
  for (auto _ : state) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), file.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    Bytes pixels(static_cast<size_t>(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = &pixels[static_cast<size_t>(info.output_scanline) * info.output_width * 3];
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

struct MemoryReader {
  const Bytes* bytes;
  size_t at;
};

void ReadPngFromMemory(png_structp png, png_bytep out, size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (reader->bytes->size() - reader->at < length) png_error(png, "short");
  std::memcpy(out, reader->bytes->data() + reader->at, length);
  reader->at += length;
}

void LibpngReadImage(benchmark::State& state) {
  const Bytes& file = PngFile();
  for (auto _ : state) {
    MemoryReader reader{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &reader, &ReadPngFromMemory);
    png_read_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    Bytes pixels(rowBytes * height);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = &pixels[y * rowBytes];
    png_read_image(png, rows.data());
    png_read_end(png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

tmsize_t ReadTiffFromMemory(thandle_t handle, void* out, tmsize_t size) {
  auto* reader = static_cast<MemoryReader*>(handle);
  const size_t n = std::min(static_cast<size_t>(size), reader->bytes->size() - reader->at);
  std::memcpy(out, reader->bytes->data() + reader->at, n);
  reader->at += n;
  return static_cast<tmsize_t>(n);
}
tmsize_t WriteNothing(thandle_t, void*, tmsize_t) { return 0; }
toff_t SeekInMemory(thandle_t handle, toff_t offset, int whence) {
  auto* reader = static_cast<MemoryReader*>(handle);
  const size_t base = whence == SEEK_CUR ? reader->at : whence == SEEK_END ? reader->bytes->size() : 0;
  reader->at = std::min(base + static_cast<size_t>(offset), reader->bytes->size());
  return reader->at;
}
int CloseNothing(thandle_t) { return 0; }
toff_t MemorySize(thandle_t handle) { return static_cast<MemoryReader*>(handle)->bytes->size(); }

void LibtiffReadRGBAImage(benchmark::State& state) {
  const Bytes& file = TiffFile();
  for (auto _ : state) {
    MemoryReader reader{&file, 0};
    TIFF* tiff = TIFFClientOpen("bench", "rm", &reader, &ReadTiffFromMemory, &WriteNothing, &SeekInMemory,
                                &CloseNothing, &MemorySize, nullptr, nullptr);
    std::vector<uint32_t> raster(static_cast<size_t>(kWidth) * kHeight);
    if (!TIFFReadRGBAImage(tiff, kWidth, kHeight, raster.data(), 0)) state.SkipWithError("not decoded");
    TIFFClose(tiff);
    benchmark::DoNotOptimize(raster.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

}  // namespace

BENCHMARK(DecodeJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(LibjpegRgbRows)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodePng)->Unit(benchmark::kMillisecond);
BENCHMARK(LibpngReadImage)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeTiff)->Unit(benchmark::kMillisecond);
BENCHMARK(LibtiffReadRGBAImage)->Unit(benchmark::kMillisecond);
