#include "foundation/bitmapfiles/GIFAnimation.h"

#include <memory>

#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/bitmapfiles/GIFBlocks.h"
#include "foundation/bitmapfiles/GIFFrame.h"
#include "foundation/bitmaps/ColorPalette.h"
#include "foundation/kernel/MemoryError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CGIFAnimation, CTypedObject)

namespace {

struct ReleaseFrame {
  void operator()(CGIFFrame* frame) const { frame->Release(); }
};

}  // namespace

CGIFAnimation::~CGIFAnimation() { Clear(); }

void CGIFAnimation::Clear() {
  for (INT i = 0; i < m_Frames.GetCount(); ++i) GetFrame(i)->Release();
  m_Frames.SetSize(0);
  if (m_GlobalPalette) m_GlobalPalette->Release();
  m_GlobalPalette = nullptr;
  m_ScreenWidth = m_ScreenHeight = 0;
  m_FrameBytes = 0;
}

void CGIFAnimation::Append(CGIFFrame* frame) {
  m_Frames.SetAtGrow(m_Frames.GetCount(), frame);
  m_FrameBytes += frame->GetDataSize();
}

void CGIFAnimation::Load(CStream& stream, bool compose) {
  Clear();
  try {
    const GIFScreen screen = ReadGIFHeader(stream, true);
    if (screen.HasGlobalTable()) m_GlobalPalette = ReadGIFColorTable(stream, screen.GlobalTableBits());
    m_ScreenWidth = screen.width;
    m_ScreenHeight = screen.height;
    if (m_ScreenWidth == 0 || m_ScreenHeight == 0) ThrowUnsupportedBitmapFormat(stream);

    // Continuing: the next image is drawn into the last listed frame.
    bool continuing = false;
    for (;;) {
      std::unique_ptr<CGIFFrame, ReleaseFrame> fresh;
      if (!continuing) {
        fresh.reset(new (std::nothrow) CGIFFrame);
        if (!fresh) ThrowMemoryError();
      }
      CGIFFrame* frame = continuing ? GetFrame(m_Frames.GetCount() - 1) : fresh.get();
      if (!frame->Decode(stream, *this, compose, continuing)) {
        // A merged frame whose next image never came is dropped, unless it
        // is the only one.
        if (continuing && m_Frames.GetCount() > 1) {
          m_FrameBytes -= frame->GetDataSize();
          m_Frames.RemoveAt(m_Frames.GetCount() - 1);
          frame->Release();
        }
        return;
      }
      if (uint64_t{frame->GetLeft()} + frame->GetWidth() > m_ScreenWidth ||
          uint64_t{frame->GetTop()} + frame->GetHeight() > m_ScreenHeight)
        ThrowCorruptedFile(stream);
      if (!continuing) Append(fresh.release());
      continuing = compose && frame->GetDelay() == 0;
    }
  } catch (...) {
    Clear();
    throw;
  }
}
