// The 8-bit palette built for a skin of 191 colours or more: the colour
// reduction, the palette's layout, the 65536 nearest-colour lookups of the
// 5-6-5 table and the primary blitter's translation table.
// Goal: one build within a 50 ms tick of the main window.
#include <benchmark/benchmark.h>

#include <windows.h>

#include "app/ui/UserInterface.h"
#include "foundation/bitmaps/ColorTable.h"
#include "twlwin/testing_display.h"

namespace {

// A skin's colours: 300 spread over the cube, more than the palette holds.
void MarkSkinColours(CColorTable& colors) {
  colors.Setup(5, 6, 5, 16);
  for (DWORD n = 0; n < 300; ++n) {
    const DWORD color = ((n * 37) & 0xFF) | ((n * 91) & 0xFF) << 8 | ((n * 53) & 0xFF) << 16;
    colors.MarkCell(colors.GetCellOffset(color));
  }
}

void BM_BuildPaletteForASkin(benchmark::State& state) {
  TwlTestSetDisplayMode(800, 600, 8);
  CUserInterface& ui = GetUserInterface();
  ui.InitDisplay();
  CColorTable colors;
  MarkSkinColours(colors);
  for (auto _ : state) {
    ui.BuildPalette(colors);
    benchmark::DoNotOptimize(ui.GetDisplayState().GetPalette());
  }
  state.counters["tick_ms"] = 50;
  ui.ExitDisplay();
}
BENCHMARK(BM_BuildPaletteForASkin)->Unit(benchmark::kMillisecond);

}  // namespace
