#include "pluginhost/identifiers/PlugInFileIdentifier.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInFileIdentifier, CFileIdentifier)
TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInFileIdentifier2, CFileIdentifier)

template <int Version>
bool TPlugInFileIdentifier<Version>::InitIdentifier(const void* table, PLUGIN_CONTEXT context, const char* name,
                                                    const char* key, const char* plugInName) {
  this->Unload();
  const auto* identifier = static_cast<const Table*>(table);
  if (!HasMandatorySlots(identifier, {TWL_MANDATORY_SLOT(identifier, FILEIDENTIFIER_Identify)})) return false;
  return this->InitHead(table, context, name, key, plugInName);
}

template <int Version>
bool TPlugInFileIdentifier<Version>::Identify(const char* url) {
  if (!this->IsLoaded()) return FailUnloadedObject();
  return this->Call(&Table::FILEIDENTIFIER_Identify, url) != 0;
}

template class TPlugInFileIdentifier<1>;
template class TPlugInFileIdentifier<2>;
