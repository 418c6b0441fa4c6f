// CPlugInManager: scans the plug-ins folder, loads and initialises each
// module and keeps, in folder-listing order, those that succeeded. A
// plug-in's index is its number for the object discovery of every host
// system and never changes while the program runs (new plug-ins are only
// appended).
//
// Threading: the user-interface thread only; the manager has no lock.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "foundation/kernel/TypedObject.h"
#include "pluginhost/plugins/PlugIn.h"

class CPlugInManager : public CTypedObject {
  TWL_DECLARE_CLASS(CPlugInManager)
 public:
  CPlugInManager() = default;
  CPlugInManager(const CPlugInManager&) = delete;
  CPlugInManager& operator=(const CPlugInManager&) = delete;
  // Deletes the plug-ins from the last to the first.
  ~CPlugInManager() override;

  // Loads every "*.dll" file of the folder (directories and other
  // extensions are skipped; the extension is compared without case). With
  // `onlyNew`, files whose names (without case) are loaded already are
  // skipped and the first candidate is announced by a header line.
  void ScanFolder(const char* folder, bool onlyNew);
  // Deletes the plug-ins from the last to the first.
  void UnloadAll();

  INT GetCount() const { return static_cast<INT>(m_PlugIns.size()); }
  CPlugIn* GetPlugIn(INT index) const;

 private:
  bool IsLoaded(const char* fileName) const;
  void LoadOne(const CStr& path, const char* fileName);

  std::vector<std::unique_ptr<CPlugIn>> m_PlugIns;
};
