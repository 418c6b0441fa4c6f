// CPlugInFileFilter and CPlugInFileFilter2: a file filter object of a
// plug-in (kind 6) as the file filter system's CFileFilter, for the first
// and the second plug-in interface; both are TPlugInFileFilter, written
// once over the version (PlugInObject.h). While the filter builds its
// descriptions the system's collector is handed out to it, so that
// HOST_AddFileFilterPattern reaches the collector and nothing else.
//
// Init refuses an object that lacks FILEFILTER_BuildFilter or
// FILEFILTER_TestNames, which the system calls without looking.
//
// Threading: the user-interface thread; the wrappers hold no lock.
#pragma once

#include <type_traits>

#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/filters/FileFilter.h"
#include "pluginhost/plugins/PlugInObject.h"

template <int Version>
using FileFilterTable = std::conditional_t<Version == 2, FileFilterInterface2, FileFilterInterface>;

template <int Version>
class TPlugInFileFilter : public TPlugInControlWindowUser<CFileFilter, FileFilterTable<Version>, Version> {
 public:
  using Table = FileFilterTable<Version>;

  bool EnumFilterDescs(CFileFilterDescEnum& collector) override;
  // True without asking the plug-in when no description of it is chosen.
  bool FilterFiles(int32_t descriptionCount, const FILEFILTER_DESCRIPTION* values, int32_t nameCount,
                   const char* const* names, DWORD* results) override;

 protected:
  // Checks the mandatory slots, then inits the head.
  bool InitFilter(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key,
                  const char* plugInName);
};

extern template class TPlugInFileFilter<1>;
extern template class TPlugInFileFilter<2>;

class CPlugInFileFilter : public TPlugInFileFilter<1> {
  TWL_DECLARE_CLASS(CPlugInFileFilter)
 public:
  // The discovery procedure's init; false with the reason in the thread
  // error, the object then unregistered.
  bool Init(const void* table, const char* name, const char* plugInName) {
    return InitFilter(table, 0, name, plugInName, plugInName);
  }
};

class CPlugInFileFilter2 : public TPlugInFileFilter<2> {
  TWL_DECLARE_CLASS(CPlugInFileFilter2)
 public:
  bool Init(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName) {
    return InitFilter(table, context, name, key, plugInName);
  }
};
