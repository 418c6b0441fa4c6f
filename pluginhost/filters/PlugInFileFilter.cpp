#include "pluginhost/filters/PlugInFileFilter.h"

#include "pluginhost/handles/HandedOutFilterList.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInFileFilter, CFileFilter)
TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInFileFilter2, CFileFilter)

template <int Version>
bool TPlugInFileFilter<Version>::InitFilter(const void* table, PLUGIN_CONTEXT context, const char* name,
                                            const char* key, const char* plugInName) {
  this->Unload();
  const auto* filter = static_cast<const Table*>(table);
  if (!HasMandatorySlots(filter, {TWL_MANDATORY_SLOT(filter, FILEFILTER_BuildFilter),
                                  TWL_MANDATORY_SLOT(filter, FILEFILTER_TestNames)}))
    return false;
  return this->InitHead(table, context, name, key, plugInName);
}

template <int Version>
bool TPlugInFileFilter<Version>::EnumFilterDescs(CFileFilterDescEnum& collector) {
  if (!this->IsLoaded()) return FailUnloadedObject();
  const CHandedOutFilterList handedOut(collector);
  return this->Call(&Table::FILEFILTER_BuildFilter, handedOut.GetHandle()) != 0;
}

template <int Version>
bool TPlugInFileFilter<Version>::FilterFiles(int32_t descriptionCount, const FILEFILTER_DESCRIPTION* values,
                                             int32_t nameCount, const char* const* names, DWORD* results) {
  if (descriptionCount <= 0) return true;
  if (!this->IsLoaded()) return FailUnloadedObject();
  return this->Call(&Table::FILEFILTER_TestNames, descriptionCount, values, nameCount, names, results) != 0;
}

template class TPlugInFileFilter<1>;
template class TPlugInFileFilter<2>;
