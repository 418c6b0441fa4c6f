#include "skins/mainwindow/MainWindowSkin.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/masks/Mask.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CMainWindowSkin, CSkinBase)

namespace {

struct Named {
  const char* name;
  DWORD tag;
};

constexpr Named kButtons[CMainWindowSkin::kButtonCount] = {
    {"ButtonPlay", MakeTag("BPLY")},        {"ButtonStop", MakeTag("BSTP")},      {"ButtonPause", MakeTag("BPSE")},
    {"ButtonNext", MakeTag("BNXT")},        {"ButtonPrevious", MakeTag("BPRV")},  {"ButtonLoop", MakeTag("BLOP")},
    {"ButtonShuffle", MakeTag("BSHF")},     {"ButtonPlayList", MakeTag("BPLS")},  {"ButtonOptions", MakeTag("BOPT")},
    {"ButtonHelp", MakeTag("BHLP")},        {"ButtonMinimize", MakeTag("BMIN")},  {"ButtonSmall", MakeTag("BMDE")},
    {"ButtonExit", MakeTag("BEXT")},        {"ButtonMenu", MakeTag("BMNU")},      {"ButtonInternet", MakeTag("BINT")},
    {"ButtonSkinBrowser", MakeTag("BSBR")}, {"ButtonMini", MakeTag("BMNI")},      {"ButtonBurn", MakeTag("BBRN")},
    {"ButtonQuickPlay", MakeTag("BQPY")},
};
constexpr Named kFonts[CMainWindowSkin::kFontCount] = {
    {"MainWindowInfo", MakeTag("FSTS")},  {"MainWindowTime1", MakeTag("FTM1")}, {"MainWindowTime2", MakeTag("FTM2")},
    {"MainWindowTime3", MakeTag("FTM3")}, {"MainWindowTime4", MakeTag("FTM4")}, {"MainWindowTime5", MakeTag("FTM5")},
};
constexpr Named kBars[CMainWindowSkin::kBarCount] = {{"ProgressBar", MakeTag("RPGR")}, {"VolumeBar", MakeTag("RVOL")}};

constexpr DWORD kTagSBKG = MakeTag("SBKG");
constexpr DWORD kTagSARE = MakeTag("SARE");
constexpr DWORD kTagSMSK = MakeTag("SMSK");
constexpr DWORD kTagSFNT = MakeTag("SFNT");
constexpr DWORD kTagSBTN = MakeTag("SBTN");
constexpr DWORD kTagSABN = MakeTag("SABN");
constexpr DWORD kTagSBAR = MakeTag("SBAR");
constexpr DWORD kTagSCTR = MakeTag("SCTR");
constexpr DWORD kTagSCLR = MakeTag("SCLR");
constexpr DWORD kTagMDRG = MakeTag("MDRG");
constexpr DWORD kTagMWND = MakeTag("MWND");

template <size_t N>
int IndexOfTag(const Named (&table)[N], DWORD tag) {
  for (size_t i = 0; i < N; ++i)
    if (table[i].tag == tag) return static_cast<int>(i);
  return -1;
}

void MarkRead(bool& read) {
  if (read) ThrowCorruptedFile();
  read = true;
}

bool HasSize(const CMask& mask, int64_t width, int64_t height) { return mask.GetWidth() == width && mask.GetHeight() == height; }

// A 16.16 fixed-point value of the fraction, cut towards zero.
INT FixedPoint(double fraction) {
  const double scaled = std::trunc(fraction * 65536);
  if (!(scaled > INT32_MIN)) return INT32_MIN;
  if (!(scaled < INT32_MAX)) return INT32_MAX;
  return static_cast<INT>(scaled);
}

}  // namespace

const char* CMainWindowSkin::GetButtonKey(int index) { return kButtons[index].name; }
DWORD CMainWindowSkin::GetButtonTag(int index) { return kButtons[index].tag; }
const char* CMainWindowSkin::GetFontName(int index) { return kFonts[index].name; }
DWORD CMainWindowSkin::GetFontTag(int index) { return kFonts[index].tag; }
const char* CMainWindowSkin::GetBarName(int index) { return kBars[index].name; }

CMainWindowSkin::~CMainWindowSkin() { Clear(); }

void CMainWindowSkin::Clear() {
  for (CMask*& mask : m_Masks) DeleteOwned(mask);
  for (CBitmapFont*& font : m_Fonts) DeleteOwned(font);
  m_Background.Clear();
  for (auto& button : m_Buttons) button.Clear();
  for (auto& button : m_AnimButtons) button.Clear();
  for (auto& bar : m_Bars) bar.Clear();
  for (RECT& area : m_Areas) area = RECT{};
  m_InfoCursorColor = kNoCursorColor;
}

void CMainWindowSkin::LoadCompiled(CStream& stream, DWORD length) {
  LoadCleared(*this, [&] { ReadChunks(stream, length); });
}

void CMainWindowSkin::ReadChunks(CStream& stream, DWORD length) {
  bool background = false, areas = false, masks = false, fonts = false, buttons = false, animButtons = false,
       bars = false, placement = false, cursor = false;
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    switch (head.tag) {
      case kTagSBKG: MarkRead(background); m_Background.LoadCompiled(stream, head.length); break;
      case kTagSARE: MarkRead(areas); ReadAreas(stream, head.length); break;
      case kTagSMSK:
        if (!areas || !background) ThrowCorruptedFile();
        MarkRead(masks);
        ReadMasks(stream, head.length);
        break;
      case kTagSFNT: MarkRead(fonts); ReadFonts(stream, head.length); break;
      case kTagSBTN: MarkRead(buttons); ReadButtons(stream, head.length, m_Buttons); break;
      case kTagSABN: MarkRead(animButtons); ReadButtons(stream, head.length, m_AnimButtons); break;
      case kTagSBAR: MarkRead(bars); ReadBars(stream, head.length); break;
      case kTagSCTR: MarkRead(placement); ReadPlacement(stream, head.length); break;
      case kTagSCLR: MarkRead(cursor); ReadCursorColor(stream, head.length); break;
      default: SkipExact(stream, head.length);
    }
  }
  if (!areas || !background || !placement) ThrowCorruptedFile();
}

void CMainWindowSkin::ReadAreas(CStream& stream, DWORD length) {
  if (length < 4) ThrowCorruptedFile();
  const DWORD count = ReadU32(stream);
  if ((length - 4) / 16 < count) ThrowCorruptedFile();
  const DWORD taken = std::min<DWORD>(count, kAreaCount);
  for (DWORD i = 0; i < taken; ++i) m_Areas[i] = ReadRectRecord(stream);
  SkipExact(stream, length - 4 - 16 * taken);
}

void CMainWindowSkin::ReadMasks(CStream& stream, DWORD length) {
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    if (head.tag != kTagMDRG && head.tag != kTagMWND) {
      SkipExact(stream, head.length);
      continue;
    }
    CMask*& mask = m_Masks[head.tag == kTagMDRG ? kDragMask : kWindowMask];
    if (mask) ThrowCorruptedFile();
    mask = ReadMask(stream, head.length);
    const CDIBitmap& base = *m_Background.GetBase();
    const RECT& drag = m_Areas[kDragArea];
    const bool fits = head.tag == kTagMWND ? HasSize(*mask, base.GetWidth(), base.GetHeight())
                                           : HasSize(*mask, static_cast<int64_t>(drag.right) - drag.left,
                                                     static_cast<int64_t>(drag.bottom) - drag.top);
    if (!fits) ThrowCorruptedFile();
  }
}

void CMainWindowSkin::ReadFonts(CStream& stream, DWORD length) {
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    const int index = IndexOfTag(kFonts, head.tag);
    if (index < 0 || m_Fonts[index]) ThrowCorruptedFile();
    m_Fonts[index] = ReadFont(stream, head.length);
  }
}

template <class Button>
void CMainWindowSkin::ReadButtons(CStream& stream, DWORD length, Button* buttons) {
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    const int index = IndexOfTag(kButtons, head.tag);
    if (index < 0) {
      SkipExact(stream, head.length);
      continue;
    }
    if (buttons[index].IsDefined()) ThrowCorruptedFile();
    buttons[index].LoadCompiled(stream, head.length);
  }
}

void CMainWindowSkin::ReadBars(CStream& stream, DWORD length) {
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    const int index = IndexOfTag(kBars, head.tag);
    if (index < 0) {
      SkipExact(stream, head.length);
      continue;
    }
    if (m_Bars[index].IsDefined()) ThrowCorruptedFile();
    m_Bars[index].LoadCompiled(stream, head.length);
  }
}

void CMainWindowSkin::ReadPlacement(CStream& stream, DWORD length) {
  if (length < 12) ThrowCorruptedFile();
  m_ControlWindowDisplacement = ReadI32(stream) / 65536.0;
  m_ControlWindowHook.x = ReadI32(stream);
  m_ControlWindowHook.y = ReadI32(stream);
  SkipExact(stream, length - 12);
}

void CMainWindowSkin::ReadCursorColor(CStream& stream, DWORD length) {
  if (length < 4) ThrowCorruptedFile();
  const DWORD count = ReadU32(stream);
  if ((length - 4) / 4 < count) ThrowCorruptedFile();
  DWORD used = 4;
  if (count >= 1) {
    m_InfoCursorColor = ReadU32(stream);
    used += 4;
  }
  SkipExact(stream, length - used);
}

void CMainWindowSkin::SaveCompiled(CStream& stream) {
  m_Background.PrepareForSave();
  WriteChunk(stream, kTagSBKG, [&] { m_Background.SaveCompiled(stream); });
  WriteChunk(stream, kTagSARE, [&] {
    WriteU32(stream, kAreaCount);
    for (const RECT& area : m_Areas) WriteRectRecord(stream, area);
  });
  if (m_Masks[kDragMask] || m_Masks[kWindowMask]) {
    WriteChunk(stream, kTagSMSK, [&] {
      if (m_Masks[kDragMask]) WriteChunk(stream, kTagMDRG, [&] { WriteMask(stream, *m_Masks[kDragMask]); });
      if (m_Masks[kWindowMask]) WriteChunk(stream, kTagMWND, [&] { WriteMask(stream, *m_Masks[kWindowMask]); });
    });
  }
  if (std::any_of(std::begin(m_Fonts), std::end(m_Fonts), [](const CBitmapFont* font) { return font != nullptr; })) {
    WriteChunk(stream, kTagSFNT, [&] {
      for (int i = 0; i < kFontCount; ++i)
        if (m_Fonts[i]) WriteChunk(stream, kFonts[i].tag, [&] { WriteFont(stream, *m_Fonts[i]); });
    });
  }
  WriteChunk(stream, kTagSBTN, [&] {
    for (int i = 0; i < kButtonCount; ++i)
      if (m_Buttons[i].IsDefined()) WriteChunk(stream, kButtons[i].tag, [&] { m_Buttons[i].SaveCompiled(stream); });
  });
  WriteChunk(stream, kTagSABN, [&] {
    for (int i = 0; i < kButtonCount; ++i)
      if (m_AnimButtons[i].IsDefined()) WriteChunk(stream, kButtons[i].tag, [&] { m_AnimButtons[i].SaveCompiled(stream); });
  });
  WriteChunk(stream, kTagSBAR, [&] {
    for (int i = 0; i < kBarCount; ++i)
      if (m_Bars[i].IsDefined()) WriteChunk(stream, kBars[i].tag, [&] { m_Bars[i].SaveCompiled(stream); });
  });
  WriteChunk(stream, kTagSCTR, [&] {
    WriteI32(stream, FixedPoint(m_ControlWindowDisplacement));
    WriteI32(stream, m_ControlWindowHook.x);
    WriteI32(stream, m_ControlWindowHook.y);
  });
  if (m_InfoCursorColor != kNoCursorColor) {
    WriteChunk(stream, kTagSCLR, [&] {
      WriteU32(stream, 1);
      WriteU32(stream, m_InfoCursorColor);
    });
  }
}

void CMainWindowSkin::CollectColors(CColorTable& table) const {
  for (const auto& bar : m_Bars) bar.CollectColors(table);
  for (const auto& button : m_Buttons) button.CollectColors(table);
  for (const CBitmapFont* font : m_Fonts)
    if (font && font->GetBitmap()) font->GetBitmap()->CollectColors(table, false);
  m_Background.CollectColors(table, false);
}
