// The element readers of compiled skins on arbitrary payloads, each reached
// directly (the first byte chooses the reader) so that the search need not
// first build a whole skin around them. A bitmap animation that loads is
// prepared as its renderer would, when its pictures are small. Errors are
// expected; a crash, a sanitizer report or an exception other than an
// error object is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "skins/animation/BitmapAnimation.h"
#include "skins/bars/BarData.h"
#include "skins/bars/BarSkin.h"
#include "skins/elements/ButtonSkin.h"
#include "skins/frames/AuxWindowSkin.h"
#include "skins/frames/ControlWindowSkin.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/masks/Mask.h"

namespace {

constexpr uint64_t kMaxPreparedPixels = 1 << 16;

void ReadAnimation(CStream& stream, DWORD size) {
  CBitmapAnimation animation;
  animation.LoadCompiled(stream, size);
  const CDIBitmap* base = animation.GetBase();
  uint64_t frames = animation.GetFrameCount() + 2;
  for (const auto& transition : animation.GetTransitions())
    if (transition.type == CBitmapAnimation::kFade && transition.count > 0) frames += static_cast<uint64_t>(transition.count);
  if (static_cast<uint64_t>(base->GetWidth()) * base->GetHeight() * frames <= kMaxPreparedPixels && frames < 4096)
    animation.Prepare();
}

// A bar that loads gets its fill edges computed as its renderer would.
void ReadBar(CStream& stream, DWORD size) {
  CBarSkin bar;
  bar.LoadCompiled(stream, size);
  if (!bar.GetScript()) return;
  const RECT rect = bar.GetRect();
  const CMask* mask = bar.GetMask();
  CBarData data;
  data.Init(*bar.GetScript(), mask ? mask->GetBytes() : nullptr, rect.right - rect.left, rect.bottom - rect.top, 64);
  data.FindNearestSegment(rect.right / 2, rect.bottom / 2);
}

template <class Description>
void Read(CStream& stream, DWORD size) {
  Description description;
  description.LoadCompiled(stream, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 0x7FFFFFFF) return 0;
  const uint8_t reader = data[0];
  const DWORD length = static_cast<DWORD>(size - 1);
  BYTE* block = new BYTE[length ? length : 1];
  if (length) std::memcpy(block, data + 1, length);
  CMemoryStream stream;
  stream.Open(block, length, kStreamRead | kStreamSeek, 0, false);
  try {
    switch (reader % 7) {
      case 0: Read<CButtonSkin>(stream, length); break;
      case 1: Read<CAnimButtonSkin>(stream, length); break;
      case 2: ReadAnimation(stream, length); break;
      case 3: Read<CAuxWindowSkin>(stream, length); break;
      case 4: Read<CControlWindowSkin>(stream, length); break;
      case 5: ReadBar(stream, length); break;
      default: Read<CMainWindowSkin>(stream, length); break;
    }
  } catch (CError* error) {
    DisposeError(error);
  }
  return 0;
}
