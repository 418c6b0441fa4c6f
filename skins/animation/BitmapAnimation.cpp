#include "skins/animation/BitmapAnimation.h"

#include <memory>
#include <string>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/ini/IniData.h"
#include "foundation/ini/IniItems.h"
#include "foundation/ini/IniParser.h"
#include "foundation/kernel/Error.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CBitmapAnimation, CSkinBase)

namespace {

constexpr INT kMinimumDelay = 10;
// A transition's delay the ini left out: the frame's own delay is taken.
constexpr DWORD kDelayNotGiven = 0xFFFFFFFF;

}  // namespace

CBitmapAnimation::~CBitmapAnimation() { Clear(); }

void CBitmapAnimation::Clear() {
  ReleaseBitmap(m_Base);
  for (CDIBitmap*& frame : m_Frames) ReleaseBitmap(frame);
  m_Frames.clear();
  m_IsFade.clear();
  m_Delays.clear();
  m_Transitions.clear();
  m_Mask = nullptr;
  m_FrameCount = 0;
  m_DefaultDelay = kDefaultDelay;
  m_FirstDelay = -1;
  m_Name = CStr();
  m_Converted = m_Masked = m_Differenced = m_Closed = m_TransitionsCreated = false;
}

bool CBitmapAnimation::LoadFromFolder(const char* folder, const char* prefix, const char* name, CStr& errors) {
  Clear();
  m_Name = CStr(prefix) + name;
  try {
    // The first number without a picture ends the animation.
    for (DWORD number = 2;; ++number) {
      CDIBitmap* frame = LoadBitmap(folder, prefix, name, std::to_string(number).c_str());
      if (!frame) break;
      m_Frames.push_back(frame);
      m_IsFade.push_back(false);
    }
    m_FrameCount = static_cast<DWORD>(m_Frames.size());
    if (m_FrameCount == 0) return true;
    if (!ReadAnimIni(folder, errors)) {
      Clear();
      return false;
    }
    return true;
  } catch (...) {
    Clear();
    throw;
  }
}

bool CBitmapAnimation::ReadAnimIni(const char* folder, CStr& errors) {
  const DWORD entries = m_FrameCount + 1;
  INT defaultDelay = kDefaultDelay;
  bool defaultGiven = false;
  std::vector<INT> delays(entries, 0);
  std::unique_ptr<bool[]> delayGiven(new bool[entries]());
  std::vector<IniFrameTransition> transitions(entries, IniFrameTransition{0, 0, kDelayNotGiven});
  CIniData items;
  items.AddItem(new CIniIntegerItem("Delay", &defaultDelay, &defaultGiven, false));
  for (DWORD n = 1; n <= entries; ++n) {
    items.AddItem(new CIniIntegerItem(CStr::Format("Delay%lu", static_cast<unsigned long>(n)), &delays[n - 1],
                                      &delayGiven[n - 1], false));
    items.AddItem(new CIniFrameTransitionItem(CStr::Format("Transition%lu", static_cast<unsigned long>(n)),
                                              &transitions[n - 1]));
  }
  const CStr fileName = m_Name + "Anim.ini";
  bool parsed = true;
  try {
    parsed = CIniParser().ParseFile(CStr(folder) + "/" + fileName, items, errors);
  } catch (CError* error) {
    if (!IsFileNotFound(error)) throw;
    DisposeError(error);
  }

  bool valid = parsed;
  if (defaultGiven && defaultDelay < kMinimumDelay) {
    errors += SkinText("BitmapAnimationError.DelayBelowTen", "The 'Delay' entry in '%FILE%' must be >=10",
                       {{"%FILE%", fileName}}) + "\n";
    valid = false;
  }
  for (DWORD n = 1; n <= entries; ++n) {
    if (!delayGiven[n - 1] || delays[n - 1] >= kMinimumDelay) continue;
    errors += SkinText("BitmapAnimationError.DelayXBelowTen", "The entry 'Delay%DELAYNUM%' in '%FILE%' must be >=10",
                       {{"%DELAYNUM%", CStr::Format("%lu", static_cast<unsigned long>(n))}, {"%FILE%", fileName}}) +
              "\n";
    valid = false;
  }
  if (!valid) return false;

  m_DefaultDelay = defaultDelay;
  for (DWORD n = 1; n <= entries; ++n)
    if (!delayGiven[n - 1]) delays[n - 1] = m_DefaultDelay;
  m_FirstDelay = delays[0];
  m_Delays.assign(delays.begin() + 1, delays.end());
  for (DWORD n = 1; n <= entries; ++n) {
    const IniFrameTransition& given = transitions[n - 1];
    Transition transition;
    transition.type = static_cast<INT>(given.type);
    transition.count = static_cast<INT>(given.frameCount);
    transition.delay = given.delay == kDelayNotGiven ? delays[n - 1] : static_cast<INT>(given.delay);
    m_Transitions.push_back(transition);
  }
  return true;
}

bool CBitmapAnimation::SetBase(CDIBitmap* base, CMask* mask, CStr& errors) {
  bool fits = true;
  for (size_t i = 0; i < m_Frames.size(); ++i) {
    const CDIBitmap& frame = *m_Frames[i];
    if (frame.GetWidth() == base->GetWidth() && frame.GetHeight() == base->GetHeight()) continue;
    errors += SkinText("BitmapAnimationError.DifferentFrameSize",
                       "Frame %FRAMENUM% (%FRAMEWIDTH% x %FRAMEHEIGHT%) of animation '%ANIMNAME%' has not the same "
                       "size as the first frame (%FIRSTWIDTH% x %FIRSTHEIGHT%). All frames in an animation must be "
                       "the same size.",
                       {{"%FRAMENUM%", CStr::Format("%zu", i + 1)},
                        {"%FRAMEWIDTH%", CStr::Format("%lu", static_cast<unsigned long>(frame.GetWidth()))},
                        {"%FRAMEHEIGHT%", CStr::Format("%lu", static_cast<unsigned long>(frame.GetHeight()))},
                        {"%ANIMNAME%", m_Name},
                        {"%FIRSTWIDTH%", CStr::Format("%lu", static_cast<unsigned long>(base->GetWidth()))},
                        {"%FIRSTHEIGHT%", CStr::Format("%lu", static_cast<unsigned long>(base->GetHeight()))}}) +
              "\n";
    fits = false;
  }
  if (!FadesFit(*base)) {
    errors += TooManyFadeFramesText() + "\n";
    fits = false;
  }
  if (!fits) return false;
  ReleaseBitmap(m_Base);
  m_Base = base;
  m_Mask = mask;
  return true;
}

void CBitmapAnimation::PrepareForSave() {
  Convert();
  Mask();
  Difference();
}

void CBitmapAnimation::Prepare() {
  PrepareForSave();
  Close();
  CreateTransitions();
}

void CBitmapAnimation::CollectColors(CColorTable& table, bool count) const {
  if (m_Base) m_Base->CollectColors(table, count);
  for (const CDIBitmap* frame : m_Frames) frame->CollectColors(table, count);
}
