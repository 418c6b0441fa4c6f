// DirectDraw blits of a 640 x 480 surface at 16 and 32 bits: a plain copy,
// a copy skipping a source colour key (a third of the pixels are keyed) and
// a colour fill, beside memcpy and memset of the same bytes. Throughput
// counts the surface's bytes. Goal: plain copy and fill at least half as
// fast as memcpy and memset.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "twlwin/testing_display.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

int64_t SurfaceBytes(int depth) { return static_cast<int64_t>(kWidth) * kHeight * (depth / 8); }

// A DirectDraw object and two surfaces in a display of the given depth.
struct Scene {
  explicit Scene(int depth) {
    TwlTestSetDisplayMode(1024, 768, depth);
    FARPROC found = GetProcAddress(LoadLibraryA("ddraw.dll"), "DirectDrawCreate");
    auto create = reinterpret_cast<LPDIRECTDRAWCREATE>(reinterpret_cast<void (*)()>(found));
    IDirectDraw* first = nullptr;
    create(nullptr, &first, nullptr);
    first->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&draw));
    first->Release();
    draw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    source = Make();
    target = Make();
    FillPattern(depth);
  }
  ~Scene() {
    source->Release();
    target->Release();
    draw->Release();
  }

  IDirectDrawSurface* Make() {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = kWidth;
    desc.dwHeight = kHeight;
    IDirectDrawSurface* surface = nullptr;
    draw->CreateSurface(&desc, &surface, nullptr);
    return surface;
  }

  // Every third pixel is the key colour 0, the others vary.
  void FillPattern(int depth) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    source->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
    const int bytes = depth / 8;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        uint32_t value = (x + y) % 3 == 0 ? 0 : static_cast<uint32_t>(x * 7 + y * 13 + 1);
        std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * bytes, &value, bytes);
      }
    source->Unlock(nullptr);
    DDCOLORKEY key{0, 0};
    source->SetColorKey(DDCKEY_SRCBLT, &key);
  }

  IDirectDraw2* draw = nullptr;
  IDirectDrawSurface* source = nullptr;
  IDirectDrawSurface* target = nullptr;
};

void BM_BltCopy(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    scene.target->Blt(nullptr, scene.source, nullptr, DDBLT_WAIT, nullptr);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * SurfaceBytes(static_cast<int>(state.range(0))));
}

void BM_BltKeyed(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    scene.target->Blt(nullptr, scene.source, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * SurfaceBytes(static_cast<int>(state.range(0))));
}

void BM_BltColourFill(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = 0x12345678;
  for (auto _ : state) {
    scene.target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * SurfaceBytes(static_cast<int>(state.range(0))));
}

void BM_Memcpy(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(SurfaceBytes(static_cast<int>(state.range(0))));
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

void BM_Memset(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(SurfaceBytes(static_cast<int>(state.range(0))));
  std::vector<uint8_t> to(bytes);
  for (auto _ : state) {
    std::memset(to.data(), 0x5A, bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

BENCHMARK(BM_BltCopy)->Arg(16)->Arg(32);
BENCHMARK(BM_BltKeyed)->Arg(16)->Arg(32);
BENCHMARK(BM_BltColourFill)->Arg(16)->Arg(32);
BENCHMARK(BM_Memcpy)->Arg(16)->Arg(32);
BENCHMARK(BM_Memset)->Arg(16)->Arg(32);

}  // namespace
