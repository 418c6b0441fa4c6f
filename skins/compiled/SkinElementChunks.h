// CSkinElementChunks: the element chunks of a compiled skin's inner
// stream, bound to the descriptions that read and write them. Each known
// tag is read at most once and unknown tags are skipped. Of the elements a
// whole skin needs (FONT, the normal and small main windows, the normal
// control window and the frame), those the owner binds must all be there.
// The descriptions are the owner's; this object only dispatches.
#pragma once

#include <windows.h>

#include "skins/compiled/SkinFile.h"

class CAuxWindowSkin;
class CControlWindowSkin;
class CMainWindowSkin;
class CSkinColorSet;
class CSkinFontSet;
class CSkinInfo;

class CSkinElementChunks : public CSkinFileContent {
 public:
  // What the owner binds; null members are elements it does not hold,
  // whose chunks are skipped and not written.
  struct Elements {
    CSkinInfo* info = nullptr;  // required
    CSkinColorSet* colors = nullptr;
    CSkinFontSet* fonts = nullptr;
    CMainWindowSkin* mainWindows[3] = {};
    CControlWindowSkin* controlWindows[3] = {};
    CAuxWindowSkin* auxWindow = nullptr;
  };

  explicit CSkinElementChunks(const Elements& elements);

  CSkinInfo& GetInfo() override { return *m_Elements.info; }
  void ReadElement(CStream& stream, DWORD tag, DWORD length) override;
  void EndElements() override;
  void WriteElements(CStream& stream) override;

 private:
  enum Element { kColors, kFonts, kMain0, kMain1, kMain2, kControl0, kControl1, kControl2, kAux, kElementCount };

  // The element a tag names among those bound, or -1.
  int ElementOfTag(DWORD tag) const;
  void ReadBound(int element, CStream& stream, DWORD length);

  Elements m_Elements;
  bool m_Read[kElementCount] = {};
};
