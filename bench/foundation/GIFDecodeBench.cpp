// Decoding the first image of a GIF file with the library's reader
// (CDIBitmap::LoadGIF from a memory stream) beside giflib's DGifSlurp on
// the same bytes, one pair of lines per picture. The pictures are made
// here with giflib's encoder: full-HD frames of 2, 16 and 256 colours,
// smooth areas with noise, plain and interlaced. Throughput counts pixels.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Picture {
  int colors;
  bool interlaced;
};

// Gradients crossed with bands and a sprinkle of noise: LZW finds long
// strings in some places and short ones in others, as in real pictures.
std::vector<GifPixelType> MakeIndices(int colors) {
  std::vector<GifPixelType> indices(static_cast<size_t>(kWidth) * kHeight);
  std::mt19937 random(11);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      int value = (x / 13 + y / 9 + (x * y / 4096) % 7) % colors;
      if (random() % 8 == 0) value = static_cast<int>(random() % static_cast<unsigned>(colors));
      indices[static_cast<size_t>(y) * kWidth + x] = static_cast<GifPixelType>(value);
    }
  }
  return indices;
}

int WriteToVector(GifFileType* file, const GifByteType* bytes, int size) {
  auto* out = static_cast<std::vector<BYTE>*>(file->UserData);
  out->insert(out->end(), bytes, bytes + size);
  return size;
}

std::vector<BYTE> EncodeGIF(const Picture& picture) {
  std::vector<BYTE> bytes;
  int error = 0;
  GifFileType* file = EGifOpen(&bytes, WriteToVector, &error);
  if (!file) throw std::runtime_error("EGifOpen failed");
  ColorMapObject* map = GifMakeMapObject(picture.colors, nullptr);
  for (int i = 0; i < picture.colors; ++i)
    map->Colors[i] = {static_cast<GifByteType>(i * 7), static_cast<GifByteType>(i * 3), static_cast<GifByteType>(255 - i)};
  const std::vector<GifPixelType> indices = MakeIndices(picture.colors);
  bool ok = EGifPutScreenDesc(file, kWidth, kHeight, 8, 0, map) == GIF_OK &&
            EGifPutImageDesc(file, 0, 0, kWidth, kHeight, picture.interlaced, nullptr) == GIF_OK;
  // Interlaced images take their rows pass by pass.
  const int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
  for (int pass = 0; ok && pass < (picture.interlaced ? 4 : 1); ++pass) {
    const int first = picture.interlaced ? passes[pass][0] : 0;
    const int step = picture.interlaced ? passes[pass][1] : 1;
    for (int y = first; ok && y < kHeight; y += step)
      ok = EGifPutLine(file, const_cast<GifPixelType*>(&indices[static_cast<size_t>(y) * kWidth]), kWidth) == GIF_OK;
  }
  GifFreeMapObject(map);
  if (EGifCloseFile(file, &error) != GIF_OK || !ok) throw std::runtime_error("encoding failed");
  return bytes;
}

const std::vector<BYTE>& PictureBytes(const Picture& picture) {
  static std::vector<std::pair<std::string, std::vector<BYTE>>> cache;
  const std::string key = std::to_string(picture.colors) + (picture.interlaced ? "i" : "");
  for (const auto& [name, bytes] : cache)
    if (name == key) return bytes;
  cache.emplace_back(key, EncodeGIF(picture));
  return cache.back().second;
}

void LoadWithOurReader(const std::vector<BYTE>& bytes, CDIBitmap& bitmap) {
  BYTE* block = new BYTE[bytes.size()];
  std::memcpy(block, bytes.data(), bytes.size());
  CMemoryStream stream;
  stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
  try {
    bitmap.LoadGIF(stream);
  } catch (CError* error) {
    const std::string text = error->GetText().c_str();
    DisposeError(error);
    throw std::runtime_error(text);
  }
}

struct MemoryReader {
  const std::vector<BYTE>* bytes;
  size_t at;
};

int ReadFromMemory(GifFileType* file, GifByteType* out, int size) {
  auto* reader = static_cast<MemoryReader*>(file->UserData);
  const size_t n = std::min(static_cast<size_t>(size), reader->bytes->size() - reader->at);
  std::memcpy(out, reader->bytes->data() + reader->at, n);
  reader->at += n;
  return static_cast<int>(n);
}

void BM_OurReader(benchmark::State& state, Picture picture) {
  const std::vector<BYTE>& bytes = PictureBytes(picture);
  for (auto _ : state) {
    CDIBitmap bitmap;
    LoadWithOurReader(bytes, bitmap);
    benchmark::DoNotOptimize(bitmap.GetPixels());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.counters["file_KiB"] = static_cast<double>(bytes.size()) / 1024;
}

void BM_Giflib(benchmark::State& state, Picture picture) {
  const std::vector<BYTE>& bytes = PictureBytes(picture);
  for (auto _ : state) {
    MemoryReader reader{&bytes, 0};
    int error = 0;
    GifFileType* file = DGifOpen(&reader, ReadFromMemory, &error);
    if (!file || DGifSlurp(file) != GIF_OK) throw std::runtime_error("DGifSlurp failed");
    benchmark::DoNotOptimize(file->SavedImages[0].RasterBits);
    DGifCloseFile(file, &error);
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.counters["file_KiB"] = static_cast<double>(bytes.size()) / 1024;
}

#define GIF_PAIR(name, colors, interlaced)                                                               \
  BENCHMARK_CAPTURE(BM_OurReader, name, Picture{colors, interlaced})->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(BM_Giflib, name, Picture{colors, interlaced})->Unit(benchmark::kMillisecond)

GIF_PAIR(colours2, 2, false);
GIF_PAIR(colours16, 16, false);
GIF_PAIR(colours256, 256, false);
GIF_PAIR(colours256_interlaced, 256, true);

}  // namespace
