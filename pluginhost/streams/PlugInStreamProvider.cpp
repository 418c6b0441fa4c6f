#include "pluginhost/streams/PlugInStreamProvider.h"

#include "pluginhost/handles/HandedOutProxyList.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInStreamProvider, CPlugInStreamProviderBase)
TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInStreamProvider2, CPlugInStreamProviderBase)

namespace {

// The slots a provider must fill: the host calls them without looking.
template <class Table>
bool HasMandatoryProviderSlots(const Table* table) {
  const Table* t = table;
  return HasMandatorySlots(table,
      {TWL_MANDATORY_SLOT(t, STREAMPROVIDER_CanOpen), TWL_MANDATORY_SLOT(t, STREAMPROVIDER_Open),
       TWL_MANDATORY_SLOT(t, STREAM_SetProperty),     TWL_MANDATORY_SLOT(t, STREAM_GetURL),
       TWL_MANDATORY_SLOT(t, STREAM_GetCapabilities), TWL_MANDATORY_SLOT(t, STREAM_Read),
       TWL_MANDATORY_SLOT(t, STREAM_ReadSome),        TWL_MANDATORY_SLOT(t, STREAM_Skip),
       TWL_MANDATORY_SLOT(t, STREAM_SkipSome),        TWL_MANDATORY_SLOT(t, STREAM_Seek),
       TWL_MANDATORY_SLOT(t, STREAM_SeekWouldWait),   TWL_MANDATORY_SLOT(t, STREAM_GetPosition),
       TWL_MANDATORY_SLOT(t, STREAM_GetLength),       TWL_MANDATORY_SLOT(t, STREAM_GetTransferRate),
       TWL_MANDATORY_SLOT(t, STREAM_GetContentType),  TWL_MANDATORY_SLOT(t, STREAM_IsAtEnd),
       TWL_MANDATORY_SLOT(t, STREAM_HasPendingError), TWL_MANDATORY_SLOT(t, STREAM_Shutdown),
       TWL_MANDATORY_SLOT(t, STREAM_Close),           TWL_MANDATORY_SLOT(t, STREAM_CloseNoThrow)});
}

}  // namespace

template <int Version>
bool TPlugInStreamProvider<Version>::InitProvider(const void* table, PLUGIN_CONTEXT context, const char* name,
                                                  const char* key, const char* plugInName) {
  this->Unload();
  if (!HasMandatoryProviderSlots(static_cast<const Table*>(table))) return false;
  return this->InitHead(table, context, name, key, plugInName);
}

template <int Version>
bool TPlugInStreamProvider<Version>::CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) {
  if (!this->IsLoaded()) return false;
  DWORD words[3] = {0, 0, 0};
  if (!this->Call(&Table::STREAMPROVIDER_CanOpen, url, SharingBitsFlipped(flags), words)) return false;
  answer = {SharingBitsFlipped(words[0]), words[1], words[2]};
  return true;
}

template <int Version>
CStream* TPlugInStreamProvider<Version>::Open(const char* url, DWORD flags) {
  if (!this->IsLoaded()) return nullptr;
  const PLUGIN_STREAM stream = this->Call(&Table::STREAMPROVIDER_Open, url, SharingBitsFlipped(flags));
  if (!stream) return nullptr;
  return TPlugInStream<Version>::Create(this->Slots(), this->Head().GetContext(), stream);
}

template <int Version>
bool TPlugInStreamProvider<Version>::RegisterProxyTypes(CProxyDataBase& proxies) {
  if (!this->IsLoaded() || !this->Has(&Table::STREAMPROVIDER_RegisterProxyTypes)) return true;
  CHandedOutProxyList list(proxies);
  return this->Call(&Table::STREAMPROVIDER_RegisterProxyTypes, list.GetHandle()) != 0;
}

template class TPlugInStreamProvider<1>;
template class TPlugInStreamProvider<2>;
