// CFileFilterSystem: the program's file filters (the built-in playlist
// filter first, then the plug-ins' filters in discovery order) and the one
// list of their descriptions, which the file browser offers as file types
// and the playlist's folder import uses all at once. Filtering a list of
// names asks each filter that made one of the chosen descriptions; every
// filter is asked even after one failed, and the failures are reported
// together under "Error during file filtering:".
//
// Threading: the user-interface thread only; the system has no lock. The
// description list changes only in Init, InitNewPlugIns and Exit, so a
// client that keeps description pointers takes them again after those.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "foundation/kernel/TypedObject.h"
#include "pluginhost/filters/FileFilter.h"
#include "pluginhost/filters/FileFilterDesc.h"

class CPlugInManager;

class CFileFilterSystem : public CTypedObject {
  TWL_DECLARE_CLASS(CFileFilterSystem)
 public:
  CFileFilterSystem() = default;
  CFileFilterSystem(const CFileFilterSystem&) = delete;
  CFileFilterSystem& operator=(const CFileFilterSystem&) = delete;
  ~CFileFilterSystem() override;

  // Starts with the built-in playlist filter, takes the filters of every
  // plug-in of the manager (none when it is null) and builds the list.
  void Init(CPlugInManager* plugIns);
  // The filters of the plug-ins from `first` on, then the list anew.
  void InitNewPlugIns(CPlugInManager& plugIns, INT first);
  void InitPlugIn(CPlugInManager& plugIns, INT index);
  // Deletes every filter and every description.
  void Exit();
  // Takes ownership; appended to the filters (the list is not rebuilt).
  void AddFilter(CFileFilter* filter);

  // Asks every filter for its descriptions anew, in filter order; a filter
  // that fails is logged and keeps what it added.
  void RebuildDescs();
  INT GetDescCount() const { return static_cast<INT>(m_Descs.size()); }
  // Null outside the list.
  CFileFilterDesc* GetDesc(INT index) const;
  INT GetFilterCount() const { return static_cast<INT>(m_Filters.size()); }
  CFileFilter* GetFilter(INT index) const;

  // Runs a group of descriptions over the names; the caller clears the
  // results first. False with one thread error that gathers every failing
  // filter's text; the marks set stand either way.
  bool FilterFiles(INT groupCount, CFileFilterDesc* const* group, INT nameCount, const char* const* names,
                   DWORD* results);

  bool RestoreSurfaces();
  void BeginSkinChange();
  void EndSkinChange();

 private:
  std::vector<std::unique_ptr<CFileFilter>> m_Filters;
  std::vector<std::unique_ptr<CFileFilterDesc>> m_Descs;
};

// The program's one filter system.
CFileFilterSystem& GetFileFilterSystem();
