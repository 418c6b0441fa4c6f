// Building the drawable built-in skin at 16 and 32 bits (loading the skin
// is not timed), and writing an 80-character line with its Normal font.
// Goal: the line in under 1 % of the main window's 50 ms tick (500 us);
// the counter "tick_share_percent" shows the share (printed with an "s").
#include <benchmark/benchmark.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayState.h"
#include "foundation/streams/MemoryStream.h"
#include "skins/skin/Skin.h"
#include "twlwin/testing_display.h"

namespace {

constexpr double kTickSeconds = 0.050;

void LoadBuiltin(CSkin& skin) {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
  const void* bytes = LockResource(LoadResource(nullptr, resource));
  const DWORD size = SizeofResource(nullptr, resource);
  BYTE* copy = new BYTE[size];
  std::memcpy(copy, bytes, size);
  CMemoryStream stream;
  stream.Open(copy, size, 1 | 4, 0, false);
  skin.LoadCompiled(stream);
}

// A display state in the given mode, installed for the benchmark's life.
class Display {
 public:
  explicit Display(int depth) {
    TwlTestSetDisplayMode(1024, 768, depth);
    HMODULE library = LoadLibraryA("ddraw.dll");
    auto create = reinterpret_cast<LPDIRECTDRAWCREATE>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "DirectDrawCreate")));
    IDirectDraw* first = nullptr;
    create(nullptr, &first, nullptr);
    IDirectDraw2* draw = nullptr;
    first->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&draw));
    first->Release();
    draw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    ready_ = state_.Init(draw);
    draw->Release();
    CDisplayState::SetCurrent(&state_);
  }
  ~Display() { CDisplayState::SetCurrent(nullptr); }
  const CDisplayState& state() const { return state_; }
  HRESULT ready() const { return ready_; }

 private:
  HRESULT ready_ = E_FAIL;
  CDisplayState state_;
};

void BM_CreateBuiltinSkin(benchmark::State& state) {
  Display display(static_cast<int>(state.range(0)));
  CDDSkin built;
  for (auto _ : state) {
    state.PauseTiming();
    CSkin skin;
    LoadBuiltin(skin);
    built.Release();
    state.ResumeTiming();
    if (HRESULT result = built.Create(skin); FAILED(result)) {
      state.SkipWithError(("building the skin failed: " + std::to_string(result)).c_str());
      break;
    }
  }
}
BENCHMARK(BM_CreateBuiltinSkin)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

void BM_WriteTextLine(benchmark::State& state) {
  Display display(static_cast<int>(state.range(0)));
  CSkin skin;
  LoadBuiltin(skin);
  CDDSkin built;
  if (FAILED(built.Create(skin))) {
    state.SkipWithError("building the skin failed");
    return;
  }
  const CDDWriter* writer = built.GetFontSet().GetFont(0);
  const std::string line = std::string("Artist - Title of a rather long track name (Remastered) [03:45] ") + "0123456789abcdef";
  IDirectDrawSurface2* target = nullptr;
  CDDSkinBase::CreateOffscreenSurface(display.state(), static_cast<DWORD>(writer->GetTextWidth(line.c_str()) + 1),
                                      static_cast<DWORD>(writer->GetHeight()), &target);
  DDBLTFX fx{};
  fx.dwSize = 100;
  for (auto _ : state)
    if (FAILED(writer->WriteText(target, 0, 0, line.c_str(), DDBLT_WAIT | DDBLT_KEYSRC, &fx)))
      state.SkipWithError("WriteText failed");
  target->Release();
  state.counters["characters"] = static_cast<double>(line.size());
  state.counters["tick_share_percent"] = benchmark::Counter(
      kTickSeconds / 100.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WriteTextLine)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

}  // namespace
