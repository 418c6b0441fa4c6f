// CSkinFontSet: the six bitmap fonts of a skin (normal, highlighted and
// the four button states), each owned or absent. Read from font pictures
// of a skin folder ("font" + prefix + name + ".bmp") or from a "FONT"
// payload of one sub-chunk per present font. Plain data, one thread at a
// time.
#pragma once

#include <windows.h>

#include "skins/base/SkinBase.h"

class CBitmapFont;
class CColorTable;
class CStream;

class CSkinFontSet : public CSkinBase {
  TWL_DECLARE_CLASS(CSkinFontSet)
 public:
  static constexpr int kFontCount = 6;

  CSkinFontSet() noexcept = default;
  CSkinFontSet(const CSkinFontSet&) = delete;
  CSkinFontSet& operator=(const CSkinFontSet&) = delete;
  ~CSkinFontSet() override;

  // Deletes the fonts; not loaded.
  void Clear();
  // True when any of the six pictures was found.
  bool LoadFromFolder(const char* folder, const char* prefix);
  void Read(CStream& stream, DWORD length);
  void Write(CStream& stream) const;
  bool IsLoaded() const { return m_Loaded; }
  // Takes the other set's fonts and loaded flag; the other is left empty.
  void TakeFrom(CSkinFontSet& other);
  void CollectColors(CColorTable& table) const;

  // "Normal", "Highlighted", "ButtonNormal", "ButtonHover", "ButtonDown",
  // "ButtonDisabled".
  static const char* GetFontName(int index);
  static DWORD GetFontTag(int index);

  CBitmapFont* GetFont(int index) const { return m_Fonts[index]; }

  CBitmapFont* m_Fonts[kFontCount] = {};
  bool m_Loaded = false;
};
