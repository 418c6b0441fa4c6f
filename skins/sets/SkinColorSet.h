// CSkinColorSet: the 33 named colours of a skin (0x00BBGGRR, red in the
// low byte) for what is drawn rather than taken from pictures: texts,
// frames and backgrounds of controls, lists, trees, edit fields, combo
// boxes, tooltips, the info cursor and the visualizers. Read from a
// colour file of a skin folder or from a "COLR" payload; colours a file
// leaves out fall back to others (the control colours to the general
// ones, the list, tree, edit and combo colours to the control ones).
// Plain data, one thread at a time.
#pragma once

#include <windows.h>

#include "skins/base/SkinBase.h"

class CColorTable;
class CStream;

class CSkinColorSet : public CSkinBase {
  TWL_DECLARE_CLASS(CSkinColorSet)
 public:
  static constexpr int kColorCount = 33;

  CSkinColorSet() noexcept;

  // Every colour to its default; not loaded.
  void Reset();
  // Reads folder + "/" + fileName. True when the file was there and parsed;
  // a missing file leaves the defaults and gives false. Lines the parser
  // refuses throw a skin error ("Skin Error") with its messages.
  bool LoadFromFolder(const char* folder, const char* fileName);
  // The "COLR" payload: a count, then that many colours; more than 33
  // are skipped, fewer leave the rest at their defaults.
  void Read(CStream& stream, DWORD length);
  void Write(CStream& stream) const;
  bool IsLoaded() const { return m_Loaded; }
  void CollectColors(CColorTable& table) const;

  // The entry name ("Draw", ...) and default of an index.
  static const char* GetColorName(int index);
  static DWORD GetDefaultColor(int index);

  DWORD m_Colors[kColorCount];
  bool m_Loaded = false;
};
