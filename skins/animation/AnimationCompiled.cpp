// The compiled payload of a bitmap animation.
#include <cstdint>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "skins/animation/BitmapAnimation.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"

namespace {

constexpr DWORD kFlagConverted = 1;
constexpr DWORD kFlagMasked = 2;
constexpr DWORD kFlagDifferenced = 4;

// The pixel steps read 32-bit pixels: a payload that says its pictures
// are converted must hold such pictures.
bool HasAnimationLayout(const CDIBitmap& bitmap) {
  return bitmap.GetFormat().bitsPerPixel == 32 && !bitmap.GetFormat().IsPalettized();
}

// Reads one bitmap record out of `remaining` bytes.
CDIBitmap* ReadRecord(CStream& stream, DWORD& remaining) {
  DWORD used = 0;
  CDIBitmap* bitmap = CSkinBase::ReadBitmap(stream, remaining, &used);
  remaining -= used;
  return bitmap;
}

}  // namespace

void CBitmapAnimation::SaveCompiled(CStream& stream) const {
  WriteBitmap(stream, *m_Base);
  const std::vector<size_t> loaded = LoadedFrameIndices();
  const LONGLONG header = BeginBlock(stream);
  WriteU32(stream, (m_Converted ? kFlagConverted : 0) | (m_Masked ? kFlagMasked : 0) |
                       (m_Differenced ? kFlagDifferenced : 0));
  WriteU32(stream, kKey);
  WriteU32(stream, static_cast<DWORD>(loaded.size()));
  WriteI32(stream, m_FirstDelay);
  for (size_t index : loaded) WriteI32(stream, m_Delays[index]);
  EndChunk(stream, header);
  if (loaded.empty()) return;
  for (size_t index : loaded) WriteBitmap(stream, *m_Frames[index]);
  const LONGLONG transitions = BeginBlock(stream);
  for (size_t k = 0; k <= loaded.size(); ++k) {
    const Transition transition = k < m_Transitions.size() ? m_Transitions[k] : Transition{};
    if (transition.type == kNoTransition) {
      WriteU32(stream, 0);
      WriteU32(stream, 0);
      WriteU32(stream, 0);
      continue;
    }
    WriteI32(stream, transition.type);
    WriteI32(stream, transition.count);
    WriteI32(stream, transition.delay);
  }
  EndChunk(stream, transitions);
}

void CBitmapAnimation::LoadCompiled(CStream& stream, DWORD length) {
  LoadCleared(*this, [&] { ReadPayload(stream, length); });
}

void CBitmapAnimation::ReadPayload(CStream& stream, DWORD length) {
  DWORD remaining = length;
  m_Base = ReadRecord(stream, remaining);

  if (remaining < 4) ThrowCorruptedFile();
  const DWORD headerLength = ReadU32(stream);
  remaining -= 4;
  if (headerLength > remaining || headerLength < 12) ThrowCorruptedFile();
  const DWORD flags = ReadU32(stream);
  const DWORD key = ReadU32(stream);
  const DWORD frameCount = ReadU32(stream);
  if ((headerLength - 12) / 4 < static_cast<uint64_t>(frameCount) + 1) ThrowCorruptedFile();
  m_FirstDelay = ReadI32(stream);
  for (DWORD i = 0; i < frameCount; ++i) m_Delays.push_back(ReadI32(stream));
  SkipExact(stream, headerLength - 16 - 4 * frameCount);
  remaining -= headerLength;

  m_Converted = flags & kFlagConverted;
  m_Masked = flags & kFlagMasked;
  m_Differenced = flags & kFlagDifferenced;
  if (!m_Masked) ThrowCorruptedFile();
  if (m_Converted && !HasAnimationLayout(*m_Base)) ThrowCorruptedFile();
  m_DefaultDelay = kDefaultDelay;
  m_FrameCount = frameCount;
  m_Base->SetColorKey(key);
  m_Base->SetColorKeyFlag(true);

  if (frameCount >= 1) {
    for (DWORD i = 0; i < frameCount; ++i) {
      BitmapPtr frame(ReadRecord(stream, remaining));
      // Every step after loading reads a frame pixel for pixel beside the
      // base: a frame of another size is not an animation of this base.
      if (frame->GetWidth() != m_Base->GetWidth() || frame->GetHeight() != m_Base->GetHeight()) ThrowCorruptedFile();
      if (m_Converted && !HasAnimationLayout(*frame)) ThrowCorruptedFile();
      frame->SetColorKey(key);
      frame->SetColorKeyFlag(true);
      m_Frames.push_back(frame.get());
      frame.release();
      m_IsFade.push_back(false);
    }
    if (remaining < 4) ThrowCorruptedFile();
    const DWORD transitionsLength = ReadU32(stream);
    remaining -= 4;
    const uint64_t needed = 12 * (static_cast<uint64_t>(frameCount) + 1);
    if (transitionsLength > remaining || transitionsLength < needed) ThrowCorruptedFile();
    for (DWORD k = 0; k <= frameCount; ++k) {
      Transition transition;
      transition.type = ReadI32(stream);
      transition.count = ReadI32(stream);
      transition.delay = ReadI32(stream);
      if (transition.type != kNoTransition && transition.type != kFade) ThrowCorruptedFile();
      m_Transitions.push_back(transition);
    }
    SkipExact(stream, transitionsLength - static_cast<DWORD>(needed));
    remaining -= transitionsLength;
    if (!FadesFit(*m_Base)) ThrowSkinError(kSkinErrorCaption, TooManyFadeFramesText());
  }
  SkipExact(stream, remaining);
}
