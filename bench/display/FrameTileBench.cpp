// Painting one 640 x 480 back-buffer tile of a 900 x 700 aux window frame
// at 32 bits: the built-in skin's frame (stretched both ways, smoothed)
// through the surface lock, and a frame whose middle row and column tile,
// beside memcpy of the tile's bytes.
// Goal: within 2 x memcpy; the counter "memcpy_ratio" shows the factor.
#include <benchmark/benchmark.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "app/ui/UserInterface.h"
#include "display/frames/FrameCells.h"
#include "display/frames/FramePainting.h"
#include "foundation/bitmaps/BitmapStretcher.h"
#include "foundation/bitmaps/PixelFormat.h"
#include "foundation/streams/MemoryStream.h"
#include "skins/skin/Skin.h"
#include "twlwin/testing_display.h"

namespace {

constexpr int kTileWidth = 640;
constexpr int kTileHeight = 480;
constexpr int kWindowWidth = 900;
constexpr int kWindowHeight = 700;
constexpr size_t kTileBytes = static_cast<size_t>(kTileWidth) * kTileHeight * 4;

// Seconds of one memcpy of a tile, as the yardstick.
double MemcpySeconds() {
  std::vector<BYTE> from(kTileBytes, 1), to(kTileBytes);
  constexpr int kRounds = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < kRounds; ++round) {
    std::memcpy(to.data(), from.data(), kTileBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kRounds;
}

template <class Paint>
void Measure(benchmark::State& state, Paint paint) {
  const double copy = MemcpySeconds();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) paint();
  const double each = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                      static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTileBytes));
  state.counters["memcpy_ratio"] = each / copy;
}

bool LoadBuiltinSkin(CSkin& skin) {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
  HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return false;
  const DWORD size = SizeofResource(nullptr, resource);
  BYTE* copy = new BYTE[size];
  std::memcpy(copy, bytes, size);
  CMemoryStream stream;
  stream.Open(copy, size, 1 | 4, 0, false);
  skin.LoadCompiled(stream);
  return true;
}

void BM_BuiltinFrameTile(benchmark::State& state) {
  TwlTestSetDisplayMode(1024, 768, 32);
  CUserInterface& ui = GetUserInterface();
  ui.InitDisplay();
  CSkin skin;
  if (!LoadBuiltinSkin(skin) || FAILED(ui.GetDDSkin().Create(skin)) || !ui.GetBackBuffer()) {
    state.SkipWithError("no built-in skin or back buffer");
    ui.ExitDisplay();
    return;
  }
  IDirectDrawSurface2* backBuffer = ui.GetBackBuffer();
  // The tile in the middle of the window: all nine parts meet it.
  const RECT tile{130, 110, 130 + kTileWidth, 110 + kTileHeight};
  Measure(state, [&] {
    benchmark::DoNotOptimize(PaintAuxFrame(backBuffer, 0, 0, kWindowWidth, kWindowHeight, nullptr, &tile));
  });
  ui.GetDDSkin().Release();
  ui.ExitDisplay();
}
BENCHMARK(BM_BuiltinFrameTile)->Unit(benchmark::kMicrosecond);

void BM_TiledFrameTile(benchmark::State& state) {
  const int widths[3] = {10, 32, 10}, heights[3] = {24, 32, 10};
  std::vector<std::vector<DWORD>> pixels;
  FramePicture parts[9];
  for (int i = 0; i < 9; ++i) {
    pixels.emplace_back(static_cast<size_t>(widths[i % 3]) * heights[i / 3], 0x00406080u + i);
    parts[i] = FramePicture{reinterpret_cast<const BYTE*>(pixels[i].data()), widths[i % 3] * 4, widths[i % 3],
                            heights[i / 3]};
  }
  CPixelFormat format;
  format.SetMasks(32, 0xFF0000, 0xFF00, 0xFF);
  CBitmapStretcher stretcher;
  stretcher.SetFormat(format);
  std::vector<BYTE> buffer(kTileBytes);
  const RECT tile{130, 110, 130 + kTileWidth, 110 + kTileHeight};
  const FrameTarget target{buffer.data(), kTileWidth * 4, 4, tile};
  Measure(state, [&] {
    PaintNinePartFrame(target, FramePainter{&stretcher, true}, parts, kWindowWidth, kWindowHeight, FrameSpread::kTile,
                       FrameSpread::kTile, false);
    benchmark::DoNotOptimize(buffer.data());
  });
}
BENCHMARK(BM_TiledFrameTile)->Unit(benchmark::kMicrosecond);

void BM_MemcpyTile(benchmark::State& state) {
  std::vector<BYTE> from(kTileBytes, 1), to(kTileBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kTileBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTileBytes));
}
BENCHMARK(BM_MemcpyTile)->Unit(benchmark::kMicrosecond);

}  // namespace
