// CFileFilterDesc: one file type a filter offers: the text shown for it,
// the filter's own number for it (handed back when the user chose it) and
// the handle of the filter that made it. CFileFilterDescEnum collects the
// descriptions the filters give while the filter system rebuilds its list;
// it owns what it holds until they are taken.
//
// Threading: the user-interface thread.
#pragma once

#include <memory>
#include <vector>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/abi/PlugInAbi.h"

class CFileFilterDesc : public CTypedObject {
  TWL_DECLARE_CLASS(CFileFilterDesc)
 public:
  CFileFilterDesc(const char* name, FILEFILTER_DESCRIPTION value, void* filterHandle)
      : m_Name(name), m_Value(value), m_FilterHandle(filterHandle) {}

  const CStr& GetName() const { return m_Name; }
  FILEFILTER_DESCRIPTION GetValue() const { return m_Value; }
  void* GetFilterHandle() const { return m_FilterHandle; }

 private:
  CStr m_Name;
  FILEFILTER_DESCRIPTION m_Value;
  void* m_FilterHandle;
};

class CFileFilterDescEnum : public CTypedObject {
  TWL_DECLARE_CLASS(CFileFilterDescEnum)
 public:
  CFileFilterDescEnum() = default;
  CFileFilterDescEnum(const CFileFilterDescEnum&) = delete;
  CFileFilterDescEnum& operator=(const CFileFilterDescEnum&) = delete;

  // Appends a description with a copy of the name.
  void AddDesc(const char* name, FILEFILTER_DESCRIPTION value, void* filterHandle);

  size_t GetCount() const { return m_Descs.size(); }
  // Hands every description over in order; the collector is empty after.
  std::vector<std::unique_ptr<CFileFilterDesc>> TakeAll() { return std::move(m_Descs); }

 private:
  std::vector<std::unique_ptr<CFileFilterDesc>> m_Descs;
};
