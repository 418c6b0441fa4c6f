#include "playback/playlist/PlayListFileFilter.h"

#include "foundation/errors/LocalText.h"
#include "playback/playlist/PlayListExtensions.h"
#include "pluginhost/filters/FileFilterDesc.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlayListFileFilter, CFileFilter)

CPlayListFileFilter::CPlayListFileFilter()
    : m_Name(LocalText("Plugin.PlayListFileFilter.Name", "PlayList File Filter")),
      m_Description(LocalText("Plugin.PlayListFileFilter.Description",
                              "Checks if a given file's extension identifies it as a playlist.")) {}

bool CPlayListFileFilter::EnumFilterDescs(CFileFilterDescEnum& collector) {
  collector.AddDesc(
      LocalText("Plugin.PlayListFileFilter.FilterName", "PlayList Files (*.p4u, *.pp4u, *.vp4u, *.m3u, *.pls, *.wpl)"),
      0, GetHandle());
  return true;
}

bool CPlayListFileFilter::FilterFiles(int32_t descriptionCount, const FILEFILTER_DESCRIPTION*, int32_t nameCount,
                                      const char* const* names, DWORD* results) {
  if (descriptionCount <= 0 || !names || !results) return true;
  for (int32_t i = 0; i < nameCount; ++i)
    if (HasPlayListExtension(names[i])) results[i] = 1;
  return true;
}
