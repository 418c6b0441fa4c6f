// Drawing the built-in skin's volume slider at 32 bits: the work mask
// reset, the barrier, the lock and the flood fill that copies the full-bar
// picture, at the bar's middle and full positions, whole and through a
// clip. Goal: one draw under 2 % of the 50 ms tick, that is under 1 ms
// in the Time column.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cstring>
#include <memory>

#include "app/ui/UserInterface.h"
#include "display/controls/DDImageControls.h"
#include "display/skinrender/DDBarSkin.h"
#include "display/skinrender/DDMainWindowSkin.h"
#include "foundation/streams/MemoryStream.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/masks/Mask.h"
#include "skins/skin/Skin.h"
#include "twlwin/testing_display.h"

namespace {

class VolumeSlider {
 public:
  VolumeSlider() {
    TwlTestSetDisplayMode(1024, 768, 32);
    CUserInterface& ui = GetUserInterface();
    ui.InitDisplay();
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
    const void* bytes = LockResource(LoadResource(nullptr, resource));
    const DWORD size = SizeofResource(nullptr, resource);
    BYTE* copy = new BYTE[size];
    std::memcpy(copy, bytes, size);
    CMemoryStream stream;
    stream.Open(copy, size, 1 | 4, 0, true);
    CSkin skin;
    skin.LoadCompiled(stream);
    ui.GetDDSkin().Create(skin);
    CDDBarSkin& bar = *ui.GetDDSkin().GetMainWindowSkin(0).GetBar(CMainWindowSkin::kVolumeBar);
    const SIZE picture = bar.GetPictureSize();
    rect_ = RECT{10, 10, 10 + picture.cx, 10 + picture.cy};
    const CMask* mask = bar.GetMask();
    const BYTE* shape =
        mask && mask->GetWidth() == picture.cx && mask->GetHeight() == picture.cy ? mask->GetBytes() : nullptr;
    slider_.Create(1, nullptr, nullptr, rect_, shape, bar.GetBarData(), bar.GetBitmap(), 0);
    ui.GetDisplayState().CreateOffscreenSurface(200, 100, &target_);
  }
  ~VolumeSlider() {
    slider_.Destroy();
    if (target_) target_->Release();
    GetUserInterface().GetDDSkin().Release();
    GetUserInterface().ExitDisplay();
  }
  CDDSlider& slider() { return slider_; }
  IDirectDrawSurface2* target() const { return target_; }
  const RECT& rect() const { return rect_; }

 private:
  CDDSlider slider_;
  IDirectDrawSurface2* target_ = nullptr;
  RECT rect_{};
};

void BM_DrawVolumeSlider(benchmark::State& state) {
  VolumeSlider bench;
  CDDSlider& slider = bench.slider();
  slider.SetValue(static_cast<int>(state.range(0)) * slider.GetMaximum() / 100);
  const RECT& rect = bench.rect();
  const RECT clip{(rect.left + rect.right) / 2, rect.top, rect.right, rect.bottom};
  const RECT* useClip = state.range(1) ? &clip : nullptr;
  for (auto _ : state) benchmark::DoNotOptimize(slider.Draw(bench.target(), 0, 0, useClip));
}
BENCHMARK(BM_DrawVolumeSlider)->ArgNames({"percent", "clipped"})->Args({50, 0})->Args({100, 0})->Args({100, 1});

}  // namespace
