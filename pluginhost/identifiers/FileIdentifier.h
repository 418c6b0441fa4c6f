// CFileIdentifier: a file identifier, which looks at one file and reports
// its type text and type icon through HOST_SetFileInfo. Every identifier is
// a plug-in's object; the file identifier system owns them and calls
// Identify on its worker thread.
//
// Threading: Identify on the identifier system's worker thread; the rest on
// the user-interface thread.
#pragma once

#include "pluginhost/objects/ConfigurableObject.h"

class CFileIdentifier : public CConfigurableObject {
  TWL_DECLARE_CLASS(CFileIdentifier)
 public:
  // Examines the file at `url`; the answer is not read.
  virtual bool Identify(const char* url) = 0;
  // After DirectDraw surfaces were lost; false when restoring failed.
  virtual bool RestoreSurfaces() = 0;
  // Around a change of the skin.
  virtual void BeginSkinChange() = 0;
  virtual void EndSkinChange() = 0;
};
