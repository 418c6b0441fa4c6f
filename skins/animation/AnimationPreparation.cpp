// The preparation steps of a bitmap animation, on 32-bit pixels with red
// in the low byte, top row first; each step runs once.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "foundation/bitmaps/DIBitmap.h"
#include "skins/animation/BitmapAnimation.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/masks/Mask.h"

namespace {

constexpr DWORD kKey = CBitmapAnimation::kKey;
// In-between frames take at most 256 MiB of pixels; each frame counts at
// least 64 pixels for what a picture costs besides its pixels.
constexpr uint64_t kMaxFadePixels = 1u << 26;
constexpr uint64_t kFrameOverheadPixels = 64;

CPixelFormat AnimationFormat() {
  CPixelFormat format;
  format.SetMasks(32, 0xFF, 0xFF00, 0xFF0000);
  return format;
}

DWORD* Pixels(CDIBitmap& bitmap) { return reinterpret_cast<DWORD*>(bitmap.GetPixels()); }
const DWORD* Pixels(const CDIBitmap& bitmap) { return reinterpret_cast<const DWORD*>(bitmap.GetPixels()); }
size_t PixelCount(const CDIBitmap& bitmap) { return static_cast<size_t>(bitmap.GetWidth()) * bitmap.GetHeight(); }

void ConvertBitmap(CDIBitmap& bitmap) { bitmap.ChangeFormat(AnimationFormat(), nullptr, 1, 0); }

// Pixels outside the mask become the key; a pixel that happens to have the
// key's value inside it becomes black, so it is never taken for the key.
void MaskBitmap(CDIBitmap& bitmap, const CMask* mask) {
  DWORD* pixels = Pixels(bitmap);
  const size_t count = PixelCount(bitmap);
  const bool useMask = mask && mask->GetBytes() && static_cast<DWORD>(mask->GetWidth()) == bitmap.GetWidth() &&
                       static_cast<DWORD>(mask->GetHeight()) == bitmap.GetHeight();
  for (size_t i = 0; i < count; ++i) {
    if (useMask && mask->GetBytes()[i] == 0)
      pixels[i] = kKey;
    else if (pixels[i] == kKey)
      pixels[i] = 0;
  }
  bitmap.SetColorKey(kKey);
  bitmap.SetColorKeyFlag(true);
}

BitmapPtr NewAnimationBitmap(DWORD width, DWORD height) {
  BitmapPtr bitmap(NewObject<CDIBitmap>());
  bitmap->Create(width, height, 0, AnimationFormat(), true);
  bitmap->SetColorKey(kKey);
  bitmap->SetColorKeyFlag(true);
  return bitmap;
}

// One channel of a fade: from + floor(t x (to - from) / 65536).
DWORD BlendChannel(DWORD from, DWORD to, uint64_t t) {
  const int64_t product = static_cast<int64_t>(t) * (static_cast<int64_t>(to) - static_cast<int64_t>(from));
  int64_t quotient = product / 65536;
  if (product % 65536 != 0 && product < 0) --quotient;
  return static_cast<DWORD>(static_cast<int64_t>(from) + quotient) & 0xFF;
}

// In-between frame i of `count` from the working picture towards `to`.
BitmapPtr FadeFrame(const CDIBitmap& working, const CDIBitmap& to, DWORD i, DWORD count) {
  BitmapPtr frame = NewAnimationBitmap(working.GetWidth(), working.GetHeight());
  const uint64_t t = (static_cast<uint64_t>(i) + 1) * 65536 / (static_cast<uint64_t>(count) + 1);
  const DWORD* from = Pixels(working);
  const DWORD* target = Pixels(to);
  DWORD* out = Pixels(*frame);
  for (size_t p = 0; p < PixelCount(working); ++p) {
    if (target[p] == kKey) {
      out[p] = kKey;
      continue;
    }
    DWORD pixel = 0;
    for (int shift = 0; shift < 24; shift += 8)
      pixel |= BlendChannel(from[p] >> shift & 0xFF, target[p] >> shift & 0xFF, t) << shift;
    // A blend that lands on the key's value would show through; black is
    // the nearest colour that does not.
    out[p] = pixel == kKey ? 0 : pixel;
  }
  return frame;
}

void DrawOver(CDIBitmap& working, const CDIBitmap& frame) {
  DWORD* pixels = Pixels(working);
  const DWORD* source = Pixels(frame);
  for (size_t p = 0; p < PixelCount(working); ++p)
    if (source[p] != kKey) pixels[p] = source[p];
}

}  // namespace

// Every in-between frame is a picture of the base's size; counts taken
// from a file must not make that exhaust the memory.
bool CBitmapAnimation::FadesFit(const CDIBitmap& base) const {
  uint64_t frames = 0;
  for (const Transition& transition : m_Transitions)
    if (transition.type == kFade && transition.count > 0) frames += static_cast<uint64_t>(transition.count);
  const uint64_t pixels = std::max<uint64_t>(PixelCount(base), kFrameOverheadPixels);
  return frames <= kMaxFadePixels / pixels;
}

CStr CBitmapAnimation::TooManyFadeFramesText() const {
  return SkinText("BitmapAnimationError.TooManyFadeFrames",
                  "The fades of animation '%ANIMNAME%' need too many in-between frames.", {{"%ANIMNAME%", m_Name}});
}

void CBitmapAnimation::Convert() {
  if (m_Converted) return;
  if (m_Base) ConvertBitmap(*m_Base);
  for (CDIBitmap* frame : m_Frames) ConvertBitmap(*frame);
  m_Converted = true;
}

void CBitmapAnimation::Mask() {
  if (m_Masked) return;
  if (m_Base) MaskBitmap(*m_Base, m_Mask);
  for (CDIBitmap* frame : m_Frames) MaskBitmap(*frame, m_Mask);
  m_Masked = true;
}

void CBitmapAnimation::Difference() {
  if (m_Differenced) return;
  m_Differenced = true;
  if (m_FrameCount == 0 || !m_Base) return;
  const DWORD* base = Pixels(*m_Base);
  const size_t count = PixelCount(*m_Base);
  // A pixel may be left alone when what is on screen there is the base's
  // pixel (the frame before left it alone too) and the frame has that same
  // pixel.
  for (size_t i = 0; i < m_FrameCount; ++i) {
    DWORD* pixels = Pixels(*m_Frames[i]);
    const DWORD* previous = i ? Pixels(*m_Frames[i - 1]) : nullptr;
    for (size_t p = 0; p < count; ++p) {
      const bool baseOnScreen = !previous || previous[p] == kKey;
      if (baseOnScreen && pixels[p] == base[p]) pixels[p] = kKey;
    }
  }
}

void CBitmapAnimation::Close() {
  if (m_Closed) return;
  m_Closed = true;
  if (m_FrameCount == 0 || !m_Base) return;
  const CDIBitmap& last = *m_Frames[m_FrameCount - 1];
  BitmapPtr closing = NewAnimationBitmap(m_Base->GetWidth(), m_Base->GetHeight());
  const DWORD* base = Pixels(*m_Base);
  const DWORD* lastPixels = Pixels(last);
  DWORD* out = Pixels(*closing);
  for (size_t p = 0; p < PixelCount(*m_Base); ++p) out[p] = lastPixels[p] == kKey ? kKey : base[p];
  m_Frames.push_back(closing.get());
  m_IsFade.push_back(false);
  m_Delays.push_back(m_FirstDelay);
  closing.release();
}

void CBitmapAnimation::CreateTransitions() {
  if (m_TransitionsCreated) return;
  m_TransitionsCreated = true;
  bool anyFade = false;
  for (const Transition& transition : m_Transitions) anyFade = anyFade || (transition.type == kFade && transition.count > 0);
  if (!anyFade || !m_Base) return;
  if (!FadesFit(*m_Base)) ThrowSkinError(kSkinErrorCaption, TooManyFadeFramesText());

  CDIBitmap working;
  working.Copy(*m_Base);
  size_t k = 0;
  for (size_t entry = 0; entry < m_Frames.size(); ++entry) {
    if (m_IsFade[entry]) continue;
    const Transition transition = k < m_Transitions.size() ? m_Transitions[k] : Transition{};
    ++k;
    if (transition.type == kFade && transition.count > 0) {
      const DWORD count = static_cast<DWORD>(transition.count);
      for (DWORD i = 0; i < count; ++i) {
        BitmapPtr fade = FadeFrame(working, *m_Frames[entry], i, count);
        m_Frames.insert(m_Frames.begin() + static_cast<std::ptrdiff_t>(entry), fade.get());
        fade.release();
        m_IsFade.insert(m_IsFade.begin() + static_cast<std::ptrdiff_t>(entry), true);
        m_Delays.insert(m_Delays.begin() + static_cast<std::ptrdiff_t>(entry), transition.delay);
        ++entry;
      }
    }
    DrawOver(working, *m_Frames[entry]);
  }
}

std::vector<size_t> CBitmapAnimation::LoadedFrameIndices() const {
  std::vector<size_t> indices;
  for (size_t entry = 0; entry < m_Frames.size() && indices.size() < m_FrameCount; ++entry)
    if (!m_IsFade[entry]) indices.push_back(entry);
  return indices;
}
