#include "skins/sets/SkinFontSet.h"

#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSkinFontSet, CSkinBase)

namespace {

struct FontEntry {
  const char* name;
  DWORD tag;
};

constexpr FontEntry kEntries[CSkinFontSet::kFontCount] = {
    {"Normal", MakeTag("FNML")},       {"Highlighted", MakeTag("FHIL")}, {"ButtonNormal", MakeTag("FBNL")},
    {"ButtonHover", MakeTag("FBHV")}, {"ButtonDown", MakeTag("FBDN")},  {"ButtonDisabled", MakeTag("FBDS")},
};

int IndexOfTag(DWORD tag) {
  for (int i = 0; i < CSkinFontSet::kFontCount; ++i)
    if (kEntries[i].tag == tag) return i;
  return -1;
}

}  // namespace

CSkinFontSet::~CSkinFontSet() { Clear(); }

const char* CSkinFontSet::GetFontName(int index) { return kEntries[index].name; }
DWORD CSkinFontSet::GetFontTag(int index) { return kEntries[index].tag; }

void CSkinFontSet::Clear() {
  for (CBitmapFont*& font : m_Fonts) DeleteOwned(font);
  m_Loaded = false;
}

bool CSkinFontSet::LoadFromFolder(const char* folder, const char* prefix) {
  Clear();
  for (int i = 0; i < kFontCount; ++i) {
    m_Fonts[i] = LoadFont(folder, "font", CStr(prefix) + kEntries[i].name, "");
    m_Loaded = m_Loaded || m_Fonts[i];
  }
  return m_Loaded;
}

void CSkinFontSet::Read(CStream& stream, DWORD length) {
  Clear();
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    const int index = IndexOfTag(head.tag);
    if (index < 0) {
      SkipExact(stream, head.length);
      continue;
    }
    if (m_Fonts[index]) ThrowCorruptedFile();
    m_Fonts[index] = ReadFont(stream, head.length);
    m_Loaded = true;
  }
}

void CSkinFontSet::Write(CStream& stream) const {
  for (int i = 0; i < kFontCount; ++i) {
    if (!m_Fonts[i]) continue;
    const LONGLONG chunk = BeginChunk(stream, kEntries[i].tag);
    WriteFont(stream, *m_Fonts[i]);
    EndChunk(stream, chunk);
  }
}

void CSkinFontSet::TakeFrom(CSkinFontSet& other) {
  if (&other == this) return;
  Clear();
  for (int i = 0; i < kFontCount; ++i) {
    m_Fonts[i] = other.m_Fonts[i];
    other.m_Fonts[i] = nullptr;
  }
  m_Loaded = other.m_Loaded;
  other.m_Loaded = false;
}

void CSkinFontSet::CollectColors(CColorTable& table) const {
  for (const CBitmapFont* font : m_Fonts)
    if (font && font->GetBitmap()) font->GetBitmap()->CollectColors(table, false);
}
