#include "skins/sets/SkinColorSet.h"

#include "foundation/bitmaps/ColorTable.h"
#include "foundation/ini/IniData.h"
#include "foundation/ini/IniItems.h"
#include "foundation/ini/IniParser.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinErrors.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSkinColorSet, CSkinBase)

namespace {

struct ColorEntry {
  const char* name;
  DWORD defaultColor;  // 0x00BBGGRR
  int fallback;        // the index whose value a missing entry takes, or -1
};

// Defaults as the ini text "rrggbb" reads: ffff00 is 0x0000FFFF.
constexpr ColorEntry kEntries[CSkinColorSet::kColorCount] = {
    {"Draw", 0x0000FFFF, -1},
    {"DrawHighlighted", 0x00FFFFFF, -1},
    {"DrawDisabled", 0x00808080, -1},
    {"FrameLight", 0x00FFFFFF, -1},
    {"FrameShadow", 0x00808080, -1},
    {"FrameDisabled", 0x00808080, -1},
    {"HighlightedFrameLight", 0x00FFFF00, -1},
    {"HighlightedFrameShadow", 0x00808000, -1},
    {"Background", 0x00000000, -1},
    {"Text", 0x00FFFFFF, -1},
    {"HighlightedText", 0x000000FF, -1},
    {"ControlBackground", 0x00000000, 8},
    {"ControlText", 0x00FFFFFF, 9},
    {"ControlHighlightedText", 0x000000FF, 10},
    {"ListBackground", 0x00000000, 11},
    {"ListText", 0x00FFFFFF, 12},
    {"ListHighlightedText", 0x000000FF, 13},
    {"TreeBackground", 0x00000000, 11},
    {"TreeText", 0x00FFFFFF, 12},
    {"TreeHighlightedText", 0x000000FF, 13},
    {"EditBackground", 0x00000000, 11},
    {"EditText", 0x00FFFFFF, 12},
    {"EditHighlightedText", 0x000000FF, 13},
    {"ComboBackground", 0x00000000, 11},
    {"ComboText", 0x00FFFFFF, 12},
    {"ComboHighlightedText", 0x000000FF, 13},
    {"InfoCursor", 0x00FFFFFF, -1},
    {"TooltipBackground", 0x00E7FFFF, -1},
    {"TooltipText", 0x00000000, -1},
    {"TooltipBorder", 0x00000000, -1},
    {"Visualizer1", 0x004DFF51, -1},
    {"Visualizer2", 0x00FFFF00, -1},
    {"Visualizer3", 0x00FFFFFF, -1},
};

// No "rrggbb" text gives this value, so it marks a colour the file left out.
constexpr DWORD kNotGiven = 0xFFFFFFFF;

}  // namespace

CSkinColorSet::CSkinColorSet() noexcept { Reset(); }

const char* CSkinColorSet::GetColorName(int index) { return kEntries[index].name; }
DWORD CSkinColorSet::GetDefaultColor(int index) { return kEntries[index].defaultColor; }

void CSkinColorSet::Reset() {
  for (int i = 0; i < kColorCount; ++i) m_Colors[i] = kEntries[i].defaultColor;
  m_Loaded = false;
}

bool CSkinColorSet::LoadFromFolder(const char* folder, const char* fileName) {
  Reset();
  CIniData items;
  for (int i = 0; i < kColorCount; ++i) {
    m_Colors[i] = kNotGiven;
    items.AddItem(new CIniColorItem(kEntries[i].name, &m_Colors[i]));
  }
  bool found = true;
  CStr errors;
  try {
    if (!CIniParser().ParseFile(CStr(folder) + "/" + fileName, items, errors))
      ThrowSkinError(kSkinErrorCaptionCapital, errors);
  } catch (CError* error) {
    if (!IsFileNotFound(error)) {
      Reset();
      throw;
    }
    DisposeError(error);
    found = false;
  }
  // In index order, so that a fallback is final before it is taken.
  for (int i = 0; i < kColorCount; ++i) {
    if (m_Colors[i] != kNotGiven) continue;
    const int fallback = kEntries[i].fallback;
    m_Colors[i] = fallback >= 0 ? m_Colors[fallback] : kEntries[i].defaultColor;
  }
  m_Loaded = found;
  return found;
}

void CSkinColorSet::Read(CStream& stream, DWORD length) {
  Reset();
  if (length <= 3) ThrowCorruptedFile();
  const DWORD count = ReadU32(stream);
  if ((length - 4) / 4 < count) ThrowCorruptedFile();
  const DWORD taken = count < kColorCount ? count : kColorCount;
  for (DWORD i = 0; i < taken; ++i) m_Colors[i] = ReadU32(stream);
  SkipExact(stream, length - 4 - 4 * taken);
  m_Loaded = true;
}

void CSkinColorSet::Write(CStream& stream) const {
  WriteU32(stream, kColorCount);
  for (DWORD color : m_Colors) WriteU32(stream, color);
}

void CSkinColorSet::CollectColors(CColorTable& table) const {
  for (DWORD color : m_Colors) table.MarkCell(table.GetCellOffset(color));
}
