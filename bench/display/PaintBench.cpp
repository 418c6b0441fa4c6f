// A full paint of a 1024 x 768 window (twelve back-buffer tiles: each
// drawn from a picture surface into the back buffer and copied onto the
// screen by the primary blitter) at 32 and 16 bits, and at 8 bits through
// the palette translation, beside memcpy of the window's bytes.
// Goal: direct paints (16 and 32 bits) within 3 x memcpy; the counter
// "memcpy_ratio" shows the factor.
#include <benchmark/benchmark.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <vector>

#include "support/MemcpyTime.h"
#include "app/ui/UserInterface.h"
#include "display/WindowClassOnce.h"
#include "display/window/Window.h"
#include "foundation/bitmaps/ColorTable.h"
#include "twlwin/testing_display.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr char kClassName[] = "Paint Bench Window";

// Its background is a surface of its size.
class PictureWindow : public CWindow {
 public:
  bool BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) override {
    RECT source = tile;
    RECT target{x, y, x + tile.right - tile.left, y + tile.bottom - tile.top};
    return SUCCEEDED(backBuffer->Blt(&target, picture, &source, DDBLT_WAIT, nullptr));
  }
  IDirectDrawSurface2* picture = nullptr;
};

// The display in one depth with the window shown on it.
class Screen {
 public:
  explicit Screen(int depth) {
    TwlTestSetDisplayMode(kWidth, kHeight, depth);
    CUserInterface& ui = GetUserInterface();
    ui.InitDisplay();
    static std::atomic<bool> registered{false};
    RegisterWindowClassOnce(registered, kClassName, &CWindow::StaticWindowProc);
    CDisplayState& display = ui.GetDisplayState();
    if (display.IsPalettized()) UseGreys();
    display.CreateOffscreenSurface(kWidth, kHeight, &window_.picture);
    Draw(display);
    window_.Create("Bench", "", kClassName, WS_POPUP | WS_VISIBLE, 0, 0, 0, kWidth, kHeight, nullptr, nullptr);
    bytes_ = static_cast<size_t>(kWidth) * kHeight * display.GetBytesPerPixel();
  }
  ~Screen() {
    window_.Destroy();
    if (window_.picture) window_.picture->Release();
    GetUserInterface().ExitDisplay();
  }
  bool Paint() { return window_.Paint(nullptr); }
  size_t Bytes() const { return bytes_; }

 private:
  // A palette of greys, realised, and the blitter's table to it.
  static void UseGreys() {
    CColorTable colors;
    colors.Setup(5, 6, 5, 16);
    for (DWORD grey = 0; grey < 256; grey += 8) colors.MarkCell(colors.GetCellOffset(grey * 0x010101));
    CUserInterface& ui = GetUserInterface();
    ui.BuildPalette(colors);
    HDC dc = GetDC(nullptr);
    HPALETTE old = SelectPalette(dc, ui.GetDisplayState().GetPalette(), FALSE);
    RealizePalette(dc);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(nullptr, dc);
    ui.GetPrimaryBlitter().BuildPaletteMap();
  }

  // Bands of colour, so that no copy is a fill in disguise.
  void Draw(const CDisplayState& display) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    for (int band = 0; band < kHeight; band += 16) {
      const DWORD level = static_cast<DWORD>(band * 255 / kHeight);
      fx.dwFillColor = display.ConvertColor(level | (255 - level) << 8 | (level / 2) << 16);
      RECT rows{0, band, kWidth, band + 16};
      window_.picture->Blt(&rows, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
  }

  PictureWindow window_;
  size_t bytes_ = 0;
};

void BM_FullPaint(benchmark::State& state) {
  Screen screen(static_cast<int>(state.range(0)));
  if (!screen.Paint()) {
    state.SkipWithError("the window cannot be painted");
    return;
  }
  const double copy = MemcpySeconds(screen.Bytes());
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) benchmark::DoNotOptimize(screen.Paint());
  const double each =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * screen.Bytes()));
  state.counters["memcpy_ratio"] = each / copy;
}
BENCHMARK(BM_FullPaint)->Arg(32)->Arg(16)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(kWidth) * kHeight * static_cast<size_t>(state.range(0)) / 8;
  std::vector<char> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_Memcpy)->Arg(32)->Arg(16)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
