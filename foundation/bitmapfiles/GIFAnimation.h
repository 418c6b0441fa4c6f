// CGIFAnimation: every frame of a GIF stream, either as separate frames
// for a player that composes them itself, or as composed full-screen
// frames that play by being shown one after another. Of the extensions
// only graphic control (delay, disposal, transparency) is used: an
// animation carries no loop count, and the screen's background index and
// aspect are not used.
//
// The animation owns its frames; the global palette is shared with the
// frames that use it. One thread at a time.
#pragma once

#include <cstdint>

#include <windows.h>

#include "foundation/containers/PointerArray.h"
#include "foundation/kernel/TypedObject.h"

class CColorPalette;
class CGIFFrame;
class CStream;

class CGIFAnimation : public CTypedObject {
  TWL_DECLARE_CLASS(CGIFAnimation)
 public:
  // Frames together never take more than this: a small file may describe
  // thousands of frames on a large screen.
  static constexpr uint64_t kMaxFrameBytes = uint64_t{1} << 30;

  CGIFAnimation() noexcept = default;
  CGIFAnimation(const CGIFAnimation&) = delete;
  CGIFAnimation& operator=(const CGIFAnimation&) = delete;
  ~CGIFAnimation() override;

  // Deletes every frame, releases the global palette, screen size 0.
  void Clear();
  // Replaces the contents with the frames of the stream. A signature of
  // "GIF" in any case is taken. Composing, images shown for no time (delay
  // 0) are merged into the frame of the next image. A failed load leaves
  // the animation empty and passes the error on.
  void Load(CStream& stream, bool compose);

  DWORD GetScreenWidth() const { return m_ScreenWidth; }
  DWORD GetScreenHeight() const { return m_ScreenHeight; }
  CColorPalette* GetGlobalPalette() const { return m_GlobalPalette; }
  INT GetFrameCount() const { return m_Frames.GetCount(); }
  CGIFFrame* GetFrame(INT index) const { return static_cast<CGIFFrame*>(m_Frames[index]); }

  // Whether `bytes` more frame pixels stay within kMaxFrameBytes.
  bool HasRoomFor(uint64_t bytes) const { return m_FrameBytes + bytes <= kMaxFrameBytes; }

 private:
  void Append(CGIFFrame* frame);

  DWORD m_ScreenWidth = 0;
  DWORD m_ScreenHeight = 0;
  CColorPalette* m_GlobalPalette = nullptr;
  CPointerArray m_Frames;
  uint64_t m_FrameBytes = 0;
};
