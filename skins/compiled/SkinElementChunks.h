// CSkinElementChunks: the element chunks of a compiled skin's inner
// stream, bound to the descriptions that read and write them. Each known
// tag is read at most once, unknown tags are skipped, and the elements a
// whole skin needs must all be there. The descriptions are the owner's;
// this object only dispatches.
#pragma once

#include <windows.h>

#include "skins/compiled/SkinFile.h"

class CSkinColorSet;
class CSkinFontSet;
class CSkinInfo;

class CSkinElementChunks : public CSkinFileContent {
 public:
  CSkinElementChunks(CSkinInfo& info, CSkinColorSet& colors, CSkinFontSet& fonts);

  CSkinInfo& GetInfo() override { return m_Info; }
  void ReadElement(CStream& stream, DWORD tag, DWORD length) override;
  void EndElements() override;
  void WriteElements(CStream& stream) override;

 private:
  // Marks the tag read; a second one is a corrupted file.
  void MarkRead(bool& read);

  CSkinInfo& m_Info;
  CSkinColorSet& m_Colors;
  CSkinFontSet& m_Fonts;
  bool m_ColorsRead = false;
  bool m_FontsRead = false;
};
