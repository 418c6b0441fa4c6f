// CPlayListFileFilter: the built-in file filter "PlayList File Filter",
// which offers one description, "PlayList Files (*.p4u, *.pp4u, *.vp4u,
// *.m3u, *.pls, *.wpl)", and accepts the names with those extensions
// (compared without case). The file filter system makes it its first
// filter.
//
// Threading: the user-interface thread, as the file filter system.
#pragma once

#include "foundation/kernel/Str.h"
#include "pluginhost/filters/FileFilter.h"

class CPlayListFileFilter : public CFileFilter {
  TWL_DECLARE_CLASS(CPlayListFileFilter)
 public:
  CPlayListFileFilter();

  void* GetHandle() override { return this; }
  const char* GetName() override { return m_Name.c_str(); }
  const char* GetDescription() override { return m_Description.c_str(); }
  int GetImageIndex() override { return -1; }
  bool HasConfigure() override { return false; }
  bool Configure(HWND) override { return true; }
  bool HasInfo() override { return false; }
  bool ShowInfo(HWND) override { return true; }
  bool EnumFilterDescs(CFileFilterDescEnum& collector) override;
  bool FilterFiles(int32_t descriptionCount, const FILEFILTER_DESCRIPTION* values, int32_t nameCount,
                   const char* const* names, DWORD* results) override;
  void BeginSkinChange() override {}
  void EndSkinChange() override {}
  bool RestoreSurfaces() override { return true; }

 private:
  CStr m_Name;
  CStr m_Description;
};
