// Composing a 1920 x 1080 screen of five overlapping windows, beside a
// memcpy of the screen's bytes: the yardstick composition should stay
// within twice of.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <twlwin/presenter.h>
#include <twlwin/testing_user.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// The windows publish themselves on a desktop: give the benchmark its own.
std::string ownDesktop;
const bool kOwnDesktop = [] {
  char folder[] = "/tmp/twl-bench-desktop-XXXXXX";
  if (!mkdtemp(folder)) return false;
  ownDesktop = folder;
  setenv("TWL_DESKTOP", folder, 1);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(ownDesktop, ignored);
  });
  return true;
}();

void MakeFiveWindows() {
  static bool made = false;
  if (made) return;
  made = true;
  TwlTestSetScreen(kWidth, kHeight, 32);
  WNDCLASSA cls{};
  cls.lpfnWndProc = DefWindowProcA;
  cls.lpszClassName = "ComposeBenchWindow";
  RegisterClassA(&cls);
  for (int i = 0; i < 5; ++i) {
    HWND window = CreateWindowExA(0, "ComposeBenchWindow", "", WS_POPUP | WS_VISIBLE, 150 + i * 220, 80 + i * 120,
                                  900, 640, nullptr, nullptr, nullptr, nullptr);
    HDC dc = GetDC(window);
    RECT all{0, 0, 900, 640};
    HBRUSH brush = CreateSolidBrush(RGB(40 * i, 255 - 40 * i, 128));
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
  }
}

void ComposeScreen(benchmark::State& state) {
  MakeFiveWindows();
  std::vector<DWORD> screen(static_cast<size_t>(kWidth) * kHeight);
  RECT all{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    TwlReadScreenPixels(&all, screen.data(), kWidth * 4);
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(screen.size() * 4));
}

void MemcpyScreenBytes(benchmark::State& state) {
  std::vector<DWORD> from(static_cast<size_t>(kWidth) * kHeight, 0x00336699);
  std::vector<DWORD> to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(from.size() * 4));
}

}  // namespace

BENCHMARK(ComposeScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(MemcpyScreenBytes)->Unit(benchmark::kMicrosecond);
