// CFileFilter: a file filter, which offers descriptions of file types (a
// text with its name patterns, such as "PlayList Files (*.p4u, ...)") to
// the file browser and the playlist's folder import, and marks which of a
// list of names belong to the descriptions chosen. The file filter system
// owns the filters: the built-in playlist filter and the plug-ins' filters.
//
// Threading: the user-interface thread, as the file filter system.
#pragma once

#include <windows.h>

#include <cstdint>

#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/objects/ConfigurableObject.h"

class CFileFilterDescEnum;

class CFileFilter : public CConfigurableObject {
  TWL_DECLARE_CLASS(CFileFilter)
 public:
  // Adds one description per file type the filter knows; false means
  // failure (what was added stays).
  virtual bool EnumFilterDescs(CFileFilterDescEnum& collector) = 0;
  // For the filter's descriptions whose values are given, sets the result
  // of every name that belongs to one of them to nonzero; never clears a
  // result. False with the reason in the thread error.
  virtual bool FilterFiles(int32_t descriptionCount, const FILEFILTER_DESCRIPTION* values, int32_t nameCount,
                           const char* const* names, DWORD* results) = 0;
  // Around a change of the skin.
  virtual void BeginSkinChange() = 0;
  virtual void EndSkinChange() = 0;
  // After DirectDraw surfaces were lost; false when restoring failed.
  virtual bool RestoreSurfaces() = 0;
};
