#include "pluginhost/enumeration/PlugInFileObjectEnumeratorProvider.h"

#include <new>

#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "pluginhost/enumeration/EnumerationHandles.h"
#include "pluginhost/enumeration/FileObjectEnumeration.h"
#include "pluginhost/enumeration/FileObjectEnumerationContext.h"
#include "pluginhost/handles/HandedOutProxyList.h"

TWL_IMPLEMENT_CLASS(CPlugInFileObjectEnumerator, CFileObjectEnumerator)
TWL_IMPLEMENT_CLASS(CPlugInFileObjectEnumerator2, CFileObjectEnumerator)
TWL_IMPLEMENT_CLASS(CPlugInFileBrowserControlItem, CFileBrowserControlItem)
TWL_IMPLEMENT_CLASS(CPlugInFileBrowserControlItem2, CFileBrowserControlItem)
TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInFileObjectEnumeratorProvider, CFileObjectEnumeratorProvider)
TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInFileObjectEnumeratorProvider2, CFileObjectEnumeratorProvider)

namespace {

template <int Version>
using EnumeratorClass = std::conditional_t<Version == 2, CPlugInFileObjectEnumerator2, CPlugInFileObjectEnumerator>;
template <int Version>
using ControlItemClass =
    std::conditional_t<Version == 2, CPlugInFileBrowserControlItem2, CPlugInFileBrowserControlItem>;

}  // namespace

// ---------------------------------------------------------------------------
// The listing

template <int Version>
TPlugInFileObjectEnumerator<Version>::~TPlugInFileObjectEnumerator() {
  m_Call(&Table::FILEENUMERATOR_Release, m_Handle);
  HandedOutFileEnums& batches = GetHandedOutFileEnums();
  for (HOST_FILEENUM handle : m_HandedOut) {
    bool ours = false;
    if (auto pin = batches.Find(handle)) ours = pin->GetOwner() == this;
    if (ours) batches.Retire(handle);
  }
}

template <int Version>
void TPlugInFileObjectEnumerator<Version>::OnResults(CFileObjectEnumeration* results, bool allFinished) {
  results->SetOwner(this);
  const HOST_FILEENUM handle = GetHandedOutFileEnums().Add(results);
  // Batches the plug-in released meanwhile are forgotten, so the list
  // stays as short as what it holds.
  HandedOutFileEnums& batches = GetHandedOutFileEnums();
  std::erase_if(m_HandedOut, [&](HOST_FILEENUM earlier) {
    auto pin = batches.Find(earlier);
    return !pin || pin->GetOwner() != this;
  });
  m_HandedOut.push_back(handle);
  m_Call(&Table::FILEENUMERATOR_OnResults, m_Handle, handle, allFinished ? TRUE : FALSE);
}

// ---------------------------------------------------------------------------
// Control items

template <int Version>
TPlugInFileBrowserControlItem<Version>::~TPlugInFileBrowserControlItem() {
  if (m_Data && m_Call.Has(&Table::CONTROLITEM_Free)) m_Call(&Table::CONTROLITEM_Free, m_Data);
}

template <int Version>
void TPlugInFileBrowserControlItem<Version>::Execute(DWORD event, DWORD key, HWND window) {
  if (!m_Data || !m_Call.Has(&Table::CONTROLITEM_Execute)) return;
  m_Call(&Table::CONTROLITEM_Execute, m_Data, event, key, window);
}

template <int Version>
bool TPlugInFileBrowserControlItem<Version>::IsEqual(CFileBrowserControlItem* other) {
  auto* same = dynamic_cast<TPlugInFileBrowserControlItem*>(other);
  if (!same || same->m_Call.table != m_Call.table) return false;
  if (Version == 2 && same->m_Call.context != m_Call.context) return false;
  if (!m_Call.Has(&Table::CONTROLITEM_IsEqual)) return false;
  return m_Call(&Table::CONTROLITEM_IsEqual, m_Data, same->m_Data) != 0;
}

// ---------------------------------------------------------------------------
// The provider

template <int Version>
bool TPlugInFileObjectEnumeratorProvider<Version>::InitProvider(const void* table, PLUGIN_CONTEXT context,
                                                                 const char* name, const char* key,
                                                                 const char* plugInName) {
  this->Unload();
  const auto* provider = static_cast<const Table*>(table);
  if (!HasMandatorySlots(provider, {TWL_MANDATORY_SLOT(provider, FILEENUMPROVIDER_EnumerateFolder),
                                    TWL_MANDATORY_SLOT(provider, FILEENUMERATOR_OnResults),
                                    TWL_MANDATORY_SLOT(provider, FILEENUMERATOR_Release)}))
    return false;
  return this->InitHead(table, context, name, key, plugInName);
}

template <int Version>
bool TPlugInFileObjectEnumeratorProvider<Version>::RegisterProxyTypes(CProxyDataBase& proxies) {
  if (!this->IsLoaded() || !this->Has(&Table::FILEENUMPROVIDER_RegisterProxyTypes)) return true;
  CHandedOutProxyList list(proxies);
  return this->Call(&Table::FILEENUMPROVIDER_RegisterProxyTypes, list.GetHandle()) != 0;
}

template <int Version>
CFileObjectEnumerator* TPlugInFileObjectEnumeratorProvider<Version>::CreateEnumerator(
    CFileObjectEnumerationContext& context, const char* url, const char* pattern, DWORD flags, HWND owner) {
  if (!this->IsLoaded()) return nullptr;
  PLUGIN_ENUMERATION handle = 0;
  if (!this->Call(&Table::FILEENUMPROVIDER_EnumerateFolder, context.GetHandle(), url, pattern, flags, owner, &handle))
    RaiseThreadError();
  if (!handle) return nullptr;
  const PLUGIN_CONTEXT objectContext = this->Head().GetContext();
  auto* enumerator = new (std::nothrow) EnumeratorClass<Version>(&this->Slots(), objectContext, handle);
  if (!enumerator) {
    this->Call(&Table::FILEENUMERATOR_Release, handle);
    ThrowMemoryError();
  }
  return enumerator;
}

template <int Version>
bool TPlugInFileObjectEnumeratorProvider<Version>::AddMenuItems(CFileObjectMenu&, INT, const char* const*, INT,
                                                                const char* const*) {
  return true;
}

template <int Version>
CFileBrowserControlItem* TPlugInFileObjectEnumeratorProvider<Version>::MakeControlItem(PLUGIN_ITEMDATA data,
                                                                                      const char* text,
                                                                                      INT imageIndex, DWORD flags) {
  if (!this->IsLoaded()) return nullptr;
  return new ControlItemClass<Version>(&this->Slots(), this->Head().GetContext(), data, text, flags, imageIndex);
}

template class TPlugInFileObjectEnumerator<1>;
template class TPlugInFileObjectEnumerator<2>;
template class TPlugInFileBrowserControlItem<1>;
template class TPlugInFileBrowserControlItem<2>;
template class TPlugInFileObjectEnumeratorProvider<1>;
template class TPlugInFileObjectEnumeratorProvider<2>;
