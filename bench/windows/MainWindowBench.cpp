// The main window on the built-in skin: one idle tick (nothing playing, so
// every display finds its value unchanged) as a share of the 50 ms tick
// period, and a full repaint of the normal mode's window beside memcpy of
// its pixels.
// Goals: the idle tick under 1 % of its period (counter "period_share", in
// per cent); the repaint within 3 x memcpy (counter "memcpy_ratio").
#include <benchmark/benchmark.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "support/MemcpyTime.h"
#include "app/ui/UserInterface.h"
#include "display/controls/DDControlServices.h"
#include "pluginhost/hostapi/HostApi.h"
#include "skins/skin/Skin.h"
#include "twlwin/testing_display.h"
#include "twlwin/testing_user.h"
#include "windows/main/MainWindow.h"

namespace {

// The display with the built-in skin (from the program's resources) and
// the main window shown on it, its tick thread stopped: the benchmark
// ticks it.
class Stage {
 public:
  Stage() {
    TwlTestSetDisplayMode(1024, 768, 32);
    CUserInterface& ui = GetUserInterface();
    ui.InitDisplay();
    CSkin skin;
    skin.LoadFromFolder(TWL_BUILTIN_SKIN_DIR);
    ui.GetDDSkin().Create(skin);
    InitDDControls(GetHostApiTable(), GetModuleHandleA(nullptr));
    window_.Create(nullptr, nullptr);
    window_.Show(true);
    window_.StopTicks();
  }
  ~Stage() {
    window_.Destroy();
    GetUserInterface().GetDDSkin().Release();
    GetUserInterface().ExitDisplay();
  }
  CMainWindow& Window() { return window_; }

 private:
  CMainWindow window_;
};

void BM_IdleTick(benchmark::State& state) {
  Stage stage;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) stage.Window().OnTick();
  const double each = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                      static_cast<double>(state.iterations());
  state.counters["period_share"] = each / 0.050 * 100.0;
  TwlTestPumpMessages();
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);

void BM_FullRepaint(benchmark::State& state) {
  Stage stage;
  CMainWindow& window = stage.Window();
  if (!window.Paint(nullptr)) {
    state.SkipWithError("the main window cannot be painted");
    return;
  }
  const size_t bytes = static_cast<size_t>(window.GetWidth()) * static_cast<size_t>(window.GetHeight()) * 4;
  const double copy = MemcpySeconds(bytes, 50);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) benchmark::DoNotOptimize(window.Paint(nullptr));
  const double each = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                      static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["memcpy_ratio"] = each / copy;
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
