// Host API slots through which plug-ins take part in folder listings: a
// provider adds files, folders and control items to its context and says
// when it is done; an enumerator reads the merged batches it is handed;
// any plug-in may match wildcards and tell the host that a folder's
// contents or an object's display information changed. Contexts and
// batches are honoured only while handed out.
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/WildcardMatch.h"
#include "pluginhost/enumeration/EnumerationHandles.h"
#include "pluginhost/enumeration/FileObjectEnumeration.h"
#include "pluginhost/enumeration/FileObjectEnumerationContext.h"
#include "pluginhost/enumeration/FileObjectEnumerationSystem.h"
#include "pluginhost/enumeration/PlugInFileObjectEnumeratorProvider.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {
namespace {

constexpr DWORD kFileInfoMask = HOST_FILEINFO_URL | HOST_FILEINFO_FLAGS | HOST_FILEINFO_DISPLAYTEXT | HOST_FILEINFO_ICON;
constexpr DWORD kFolderInfoMask = kFileInfoMask | HOST_FILEINFO_OPENICON;

// Runs `work` on the context behind the handle, or fails with an invalid
// parameter.
template <class Work>
BOOL WithContext(HOST_ENUMCONTEXT handle, Work&& work) {
  HandedOutEnumContexts::Pin context = GetHandedOutEnumContexts().Find(handle);
  if (!context) return FailInvalidParameter();
  return RunSlot(FALSE, [&] { return work(*context) ? TRUE : FALSE; });
}

template <class Work>
BOOL WithResults(HOST_FILEENUM handle, Work&& work) {
  HandedOutFileEnums::Pin results = GetHandedOutFileEnums().Find(handle);
  if (!results) return FailInvalidParameter();
  return RunSlot(FALSE, [&] { return work(*results) ? TRUE : FALSE; });
}

// Fills the fields the caller asked for from the entry and its record (a
// raw entry's record is made when missing).
void FillInfo(HostFileObjectInfo& info, const FileObjectEntry& entry, CFileObjectInfoDataBase& records,
              bool folder) {
  info.mask &= folder ? kFolderInfoMask : kFileInfoMask;
  if (info.mask & HOST_FILEINFO_URL) info.url = HOST_AllocString(entry.GetUrl());
  if (!(info.mask & ~HOST_FILEINFO_URL)) return;
  CriticalSectionLock lock(records.GetLock());
  const FileObjectInfoRecord* record = entry.info ? entry.info : records.Get(entry.GetUrl());
  if (info.mask & HOST_FILEINFO_FLAGS) info.flags = record->flags;
  if (info.mask & HOST_FILEINFO_DISPLAYTEXT)
    info.displayText = HOST_AllocString(record->displayText ? record->displayText->c_str() : record->name);
  if (info.mask & HOST_FILEINFO_ICON) info.iconIndex = record->iconIndex;
  if (info.mask & HOST_FILEINFO_OPENICON) info.openIconIndex = static_cast<const FolderInfoRecord*>(record)->openIconIndex;
}

// Past the end the record says nothing and the thread error is cleared,
// so that the plug-in can tell the end from a failure.
bool GetNext(CFileObjectEnumeration& results, HostFileObjectInfo& info, bool folder) {
  const FileObjectEntry* entry = folder ? results.GetNextFolder() : results.GetNextFile();
  if (!entry) {
    info.mask = 0;
    SetThreadError(THREAD_ERROR_NONE, 0, "");
    return false;
  }
  if (folder)
    FillInfo(info, *entry, results.GetFolderInfos(), true);
  else
    FillInfo(info, *entry, results.GetFileInfos(), false);
  return true;
}

void FreeInfo(HostFileObjectInfo* info) {
  if (!info) return;
  if (info->mask & HOST_FILEINFO_URL) {
    HOST_Free(info->url);
    info->url = nullptr;
  }
  if (info->mask & HOST_FILEINFO_DISPLAYTEXT) {
    HOST_Free(info->displayText);
    info->displayText = nullptr;
  }
}

}  // namespace

BOOL HOST_EnumAddFile(HOST_ENUMCONTEXT context, const char* url, const char* displayText, int32_t iconIndex,
                      DWORD flags) {
  if (!context || !url) return FailInvalidParameter();
  return WithContext(context, [&](CFileObjectEnumerationContext& target) {
    return target.AddFile(url, displayText, iconIndex, flags);
  });
}

BOOL HOST_EnumAddFolder(HOST_ENUMCONTEXT context, const char* url, const char* displayText, int32_t iconIndex,
                        int32_t openIconIndex, DWORD flags) {
  if (!context || !url) return FailInvalidParameter();
  return WithContext(context, [&](CFileObjectEnumerationContext& target) {
    return target.AddFolder(url, displayText, iconIndex, openIconIndex, flags);
  });
}

// The item is of the kind of the context's provider; the host's reference
// goes once the context holds its own.
BOOL HOST_EnumAddControlItem(HOST_ENUMCONTEXT context, PLUGIN_ITEMDATA item, const char* text, int32_t imageIndex,
                             DWORD flags) {
  if (!context) return FailInvalidParameter();
  return WithContext(context, [&](CFileObjectEnumerationContext& target) {
    auto* maker = dynamic_cast<PlugInControlItemMaker*>(target.GetProvider());
    if (!maker) return FailInvalidParameter();
    CFileBrowserControlItem* made = maker->MakeControlItem(item, text, imageIndex, flags);
    if (!made) return FailInvalidParameter();
    const bool added = target.AddControlItem(made);
    made->Release();
    return added;
  });
}

BOOL HOST_EnumReportError(HOST_ENUMCONTEXT context, DWORD flag) {
  if (!context) return FailInvalidParameter();
  return WithContext(context, [&](CFileObjectEnumerationContext& target) {
    target.LogError(flag);
    return true;
  });
}

BOOL HOST_EnumSetDone(HOST_ENUMCONTEXT context) {
  if (!context) return FailInvalidParameter();
  return WithContext(context, [](CFileObjectEnumerationContext& target) {
    target.SetDone();
    return true;
  });
}

BOOL HOST_EnumCheckState(HOST_ENUMCONTEXT context) {
  if (!context) return FailInvalidParameter();
  return WithContext(context, [](CFileObjectEnumerationContext& target) { return target.Reopen(); });
}

BOOL HOST_FileEnumGetFile(HOST_FILEENUM results, HostFileObjectInfo* info) {
  if (!results || !info) return FailInvalidParameter();
  return WithResults(results, [&](CFileObjectEnumeration& batch) { return GetNext(batch, *info, false); });
}

BOOL HOST_FileEnumSelect(HOST_FILEENUM results, DWORD kind) {
  if (!results) return FailInvalidParameter();
  return WithResults(results, [&](CFileObjectEnumeration& batch) { return batch.SelectFiles(kind); });
}

BOOL HOST_FileEnumGetFolder(HOST_FILEENUM results, HostFileObjectInfo* info) {
  if (!results || !info) return FailInvalidParameter();
  return WithResults(results, [&](CFileObjectEnumeration& batch) { return GetNext(batch, *info, true); });
}

BOOL HOST_FolderEnumSelect(HOST_FILEENUM results, DWORD kind) {
  if (!results) return FailInvalidParameter();
  return WithResults(results, [&](CFileObjectEnumeration& batch) { return batch.SelectFolders(kind); });
}

BOOL HOST_FileEnumRelease(HOST_FILEENUM results) {
  if (!results || !GetHandedOutFileEnums().Retire(results)) return FailInvalidParameter();
  return TRUE;
}

void HOST_FreeFileInfo(HostFileObjectInfo* info) { FreeInfo(info); }

void HOST_FreeFolderInfo(HostFileObjectInfo* info) { FreeInfo(info); }

BOOL HOST_MatchWildcard(const char* text, const char* pattern, BOOL caseSensitive) {
  return MatchWildcard(text, pattern, caseSensitive != 0) ? TRUE : FALSE;
}

BOOL HOST_RefreshFolder(const char* url, PLUGIN_HANDLE caller) {
  if (!caller || !url) return FailInvalidParameter();
  return RunSlot(FALSE, [&] { return GetFileObjectEnumerationSystem().PostFolderRefresh(url) ? TRUE : FALSE; });
}

BOOL HOST_RefreshFileObject(const char* url, const char* displayText, int32_t iconIndex, PLUGIN_HANDLE caller) {
  if (!caller || !url) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    return GetFileObjectEnumerationSystem().PostFileInfoUpdate(url, displayText, iconIndex) ? TRUE : FALSE;
  });
}

BOOL HOST_RefreshFileObjectEx(const char* url, const char* displayText, int32_t iconIndex, int32_t openIconIndex,
                              PLUGIN_HANDLE caller) {
  if (!caller || !url) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    return GetFileObjectEnumerationSystem().PostFolderInfoUpdate(url, displayText, iconIndex, openIconIndex) ? TRUE
                                                                                                           : FALSE;
  });
}

}  // namespace hostapi
