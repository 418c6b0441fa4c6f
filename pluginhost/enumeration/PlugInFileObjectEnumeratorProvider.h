// The host's wrappers of a plug-in's file-object enumerator provider (kind
// 5), for the first and the second plug-in interface: the provider itself
// (CPlugInFileObjectEnumeratorProvider, ...2), the listing it starts
// (CPlugInFileObjectEnumerator, ...2) and the control items it adds to a
// listing (CPlugInFileBrowserControlItem, ...2). Each is written once over
// the version (PlugInObject.h, PlugInKindCall.h).
//
// Init refuses an object that lacks FILEENUMPROVIDER_EnumerateFolder,
// FILEENUMERATOR_OnResults or FILEENUMERATOR_Release, which the host calls
// without looking.
//
// Threading: the user-interface thread, except that control items are
// made on the thread that adds them (see CFileBrowserControlItem).
#pragma once

#include <type_traits>
#include <vector>

#include "foundation/kernel/Str.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/enumeration/FileBrowserControlItem.h"
#include "pluginhost/enumeration/FileObjectEnumerator.h"
#include "pluginhost/enumeration/FileObjectEnumeratorProvider.h"
#include "pluginhost/enumeration/PlugInKindCall.h"
#include "pluginhost/plugins/PlugInObject.h"

template <int Version>
using FileEnumTable =
    std::conditional_t<Version == 2, FileObjectEnumeratorProviderInterface2, FileObjectEnumeratorProviderInterface>;

// How HOST_EnumAddControlItem wraps a plug-in's item data: by the provider
// of the context it is added to.
class PlugInControlItemMaker {
 public:
  // A new item with one reference.
  virtual CFileBrowserControlItem* MakeControlItem(PLUGIN_ITEMDATA data, const char* text, INT imageIndex,
                                                   DWORD flags) = 0;

 protected:
  ~PlugInControlItemMaker() = default;
};

template <int Version>
class TPlugInFileObjectEnumerator : public CFileObjectEnumerator {
 public:
  using Table = FileEnumTable<Version>;
  TPlugInFileObjectEnumerator(const Table* table, PLUGIN_CONTEXT context, PLUGIN_ENUMERATION handle)
      : m_Call{table, context}, m_Handle(handle) {}
  TPlugInFileObjectEnumerator(const TPlugInFileObjectEnumerator&) = delete;
  TPlugInFileObjectEnumerator& operator=(const TPlugInFileObjectEnumerator&) = delete;
  // Tells the plug-in to stop and free its listing, then takes back every
  // batch it did not release.
  ~TPlugInFileObjectEnumerator() override;

  // Hands the batch out; the plug-in releases it with HOST_FileEnumRelease.
  void OnResults(CFileObjectEnumeration* results, bool allFinished) override;
  void Abort() override { delete this; }

 private:
  const TPlugInKindCall<Version, Table> m_Call;
  const PLUGIN_ENUMERATION m_Handle;
  std::vector<HOST_FILEENUM> m_HandedOut;
};

template <int Version>
class TPlugInFileBrowserControlItem : public CFileBrowserControlItem {
 public:
  using Table = FileEnumTable<Version>;
  TPlugInFileBrowserControlItem(const Table* table, PLUGIN_CONTEXT context, PLUGIN_ITEMDATA data, const char* text,
                                DWORD flags, INT imageIndex)
      : m_Call{table, context}, m_Data(data), m_Text(text ? text : ""), m_Flags(flags), m_ImageIndex(imageIndex) {}
  // Lets the plug-in free its item data.
  ~TPlugInFileBrowserControlItem() override;

  const char* GetName() override { return m_Text.c_str(); }
  DWORD GetFlags() override { return m_Flags; }
  int GetImageIndex() override { return m_ImageIndex; }
  void Execute(DWORD event, DWORD key, HWND window) override;
  // Items of other classes, tables or contexts are never equal.
  bool IsEqual(CFileBrowserControlItem* other) override;

 private:
  const TPlugInKindCall<Version, Table> m_Call;
  const PLUGIN_ITEMDATA m_Data;
  const CStr m_Text;
  const DWORD m_Flags;
  const INT m_ImageIndex;
};

template <int Version>
class TPlugInFileObjectEnumeratorProvider
    : public TPlugInControlWindowUser<CFileObjectEnumeratorProvider, FileEnumTable<Version>, Version>,
      public PlugInControlItemMaker {
 public:
  using Table = FileEnumTable<Version>;

  bool RegisterProxyTypes(CProxyDataBase& proxies) override;
  // Throws the plug-in's error when it fails; null when it has nothing
  // (more) to list.
  CFileObjectEnumerator* CreateEnumerator(CFileObjectEnumerationContext& context, const char* url,
                                          const char* pattern, DWORD flags, HWND owner) override;
  bool AddMenuItems(CFileObjectMenu& menu, INT fileCount, const char* const* files, INT folderCount,
                    const char* const* folders) override;
  CFileBrowserControlItem* MakeControlItem(PLUGIN_ITEMDATA data, const char* text, INT imageIndex,
                                           DWORD flags) override;

 protected:
  // Checks the mandatory slots, then inits the head.
  bool InitProvider(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key,
                    const char* plugInName);
};

extern template class TPlugInFileObjectEnumerator<1>;
extern template class TPlugInFileObjectEnumerator<2>;
extern template class TPlugInFileBrowserControlItem<1>;
extern template class TPlugInFileBrowserControlItem<2>;
extern template class TPlugInFileObjectEnumeratorProvider<1>;
extern template class TPlugInFileObjectEnumeratorProvider<2>;

class CPlugInFileObjectEnumerator : public TPlugInFileObjectEnumerator<1> {
  TWL_DECLARE_CLASS(CPlugInFileObjectEnumerator)
 public:
  using TPlugInFileObjectEnumerator<1>::TPlugInFileObjectEnumerator;
};

class CPlugInFileObjectEnumerator2 : public TPlugInFileObjectEnumerator<2> {
  TWL_DECLARE_CLASS(CPlugInFileObjectEnumerator2)
 public:
  using TPlugInFileObjectEnumerator<2>::TPlugInFileObjectEnumerator;
};

class CPlugInFileBrowserControlItem : public TPlugInFileBrowserControlItem<1> {
  TWL_DECLARE_CLASS(CPlugInFileBrowserControlItem)
 public:
  using TPlugInFileBrowserControlItem<1>::TPlugInFileBrowserControlItem;
};

class CPlugInFileBrowserControlItem2 : public TPlugInFileBrowserControlItem<2> {
  TWL_DECLARE_CLASS(CPlugInFileBrowserControlItem2)
 public:
  using TPlugInFileBrowserControlItem<2>::TPlugInFileBrowserControlItem;
};

class CPlugInFileObjectEnumeratorProvider : public TPlugInFileObjectEnumeratorProvider<1> {
  TWL_DECLARE_CLASS(CPlugInFileObjectEnumeratorProvider)
 public:
  // The discovery procedure's init; false with the reason in the thread
  // error, the object then unregistered.
  bool Init(const void* table, const char* name, const char* plugInName) {
    return InitProvider(table, 0, name, plugInName, plugInName);
  }
};

class CPlugInFileObjectEnumeratorProvider2 : public TPlugInFileObjectEnumeratorProvider<2> {
  TWL_DECLARE_CLASS(CPlugInFileObjectEnumeratorProvider2)
 public:
  bool Init(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName) {
    return InitProvider(table, context, name, key, plugInName);
  }
};
