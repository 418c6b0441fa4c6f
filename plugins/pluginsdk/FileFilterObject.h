// FileFilterObject: the base of a file filter (kind 6). It owns its
// patterns, made by CreatePatterns when the host initialises it; it offers
// each to the host's open dialogs and tests the names the user chose
// against the patterns the user picked.
#pragma once

#include "plugins/pluginsdk/FilterPattern.h"
#include "plugins/pluginsdk/PlugInObject.h"
#include "plugins/pluginsdk/PointerList.h"

namespace pluginsdk {

class FileFilterObject : public PlugInObject {
 public:
  using PlugInObject::PlugInObject;
  ~FileFilterObject() override;

  PlugInObjectKind GetKind() const override { return PLUGINOBJ_FILEFILTER; }
  const void* GetInterface() const override;

  // Creates the patterns; when that fails, deletes those made so far and
  // keeps the error that made it fail.
  bool Init(PLUGIN_HANDLE caller) override;
  // Deletes the patterns.
  bool Exit() override;

  // Offers each pattern, its address as its description number; stops
  // at the first the host refuses.
  virtual bool BuildFilter(HOST_FILEFILTERLIST list);
  // Tests the names against each chosen pattern. Only numbers this
  // filter handed out are patterns: any other number, or names or results
  // missing, fails the call with MiscError 1 before a name is tested.
  virtual bool TestNames(int32_t patternCount, const FILEFILTER_DESCRIPTION* patterns, int32_t nameCount,
                         const char* const* names, DWORD* results);
  virtual bool CreatePatterns();

  // Takes the pattern in every case, as OstrellMain::AddObject does.
  bool AddPattern(FilterPattern* pattern, bool constructed);

 private:
  FilterPattern* FindPattern(FILEFILTER_DESCRIPTION description) const;
  void DeletePatterns();

  PointerList m_Patterns{10};
};

}  // namespace pluginsdk
