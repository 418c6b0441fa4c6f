// CFileObjectEnumerationContext: where one provider puts what it lists for
// one enumeration: three chains (files, folders, control items) that the
// manager takes over on each poll. Adds are refused once the context is
// done, except that the manager lets an enumerator reopen its context
// while it delivers a batch. Plug-ins reach a context through its handle,
// which is only honoured while the context is handed out (see
// HandedOutEnumContexts).
//
// Threading: the provider's threads add; the user-interface thread takes
// the chains. One lock guards the chains and the two flags; an add takes it
// before the database's lock, never after.
#pragma once

#include <windows.h>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/enumeration/FileObjectEntry.h"

class CFileInfoDataBase;
class CFolderInfoDataBase;
class CFileObjectEnumeratorProvider;
struct FileInfoRecord;
struct FolderInfoRecord;

// The list indices of the folder icons an add with -1 gets.
struct FolderIconIndices {
  INT closed = 0;
  INT open = 0;
};

class CFileObjectEnumerationContext : public CTypedObject {
  TWL_DECLARE_CLASS(CFileObjectEnumerationContext)
 public:
  enum List { kFiles = 0, kFolders = 1, kItems = 2, kListCount = 3 };

  // `providerIndex` -1 is the host's own context (no provider).
  CFileObjectEnumerationContext(INT providerIndex, DWORD enumFlags, CFileObjectEnumeratorProvider* provider,
                                CFileInfoDataBase& files, CFolderInfoDataBase& folders, FolderIconIndices icons);
  CFileObjectEnumerationContext(const CFileObjectEnumerationContext&) = delete;
  CFileObjectEnumerationContext& operator=(const CFileObjectEnumerationContext&) = delete;
  // Deletes the entries still in the chains.
  ~CFileObjectEnumerationContext() override;

  // Each add answers false with MiscError 5 (access denied) when the
  // context is done; the entry is then discarded.
  // An icon of -1 becomes the icon of the file's type.
  bool AddFile(const char* url, const char* displayText, INT iconIndex, DWORD flags);
  // Icons of -1 become the folder icons.
  bool AddFolder(const char* url, const char* displayText, INT iconIndex, INT openIconIndex, DWORD flags);
  // Entries for records already in the databases; the records stay as
  // they are.
  bool AddFileInfo(FileInfoRecord* record) { return AddFileInfo(record, m_Order); }
  bool AddFolderInfo(FolderInfoRecord* record) { return AddFolderInfo(record, m_Order); }
  // The entry takes a reference of its own.
  bool AddControlItem(CFileBrowserControlItem* item) { return AddControlItem(item, m_Order); }
  // The same with the entry's order value given.
  bool AddFileInfo(FileInfoRecord* record, INT order);
  bool AddFolderInfo(FolderInfoRecord* record, INT order);
  bool AddControlItem(CFileBrowserControlItem* item, INT order);

  void SetDone();
  // Clears done while the manager delivers a batch; otherwise false with
  // MiscError 5.
  bool Reopen();
  // Logs "Error during file object enumeration:" with the calling thread's
  // error, as a warning when bit 0 of `flag` is set, else as an error.
  void LogError(DWORD flag);

  void SetReopenAllowed(bool allowed);
  // Hands the three chains over, in arrival order, and tells whether the
  // context is still open.
  struct Taken {
    FileObjectEntryChain lists[kListCount];
    bool done = false;
  };
  Taken TakeChains();

  INT GetProviderIndex() const { return m_ProviderIndex; }
  void SetProviderIndex(INT index) { m_ProviderIndex = index; }
  INT GetOrder() const { return m_Order; }
  DWORD GetEnumFlags() const { return m_EnumFlags; }
  CFileObjectEnumeratorProvider* GetProvider() const { return m_Provider; }
  HOST_ENUMCONTEXT GetHandle() { return reinterpret_cast<HOST_ENUMCONTEXT>(this); }

 private:
  // Appends under the lock; false (entry deleted) when done.
  bool Append(List list, FileObjectEntry* entry);
  FileObjectEntry* NewEntry(INT order) const;

  CFileInfoDataBase& m_Files;
  CFolderInfoDataBase& m_Folders;
  const FolderIconIndices m_FolderIcons;
  CriticalSection m_Lock;
  FileObjectEntryChain m_Lists[kListCount];  // under m_Lock
  INT m_ProviderIndex;
  const DWORD m_EnumFlags;
  const INT m_Order;
  CFileObjectEnumeratorProvider* const m_Provider;
  bool m_Done = false;           // under m_Lock
  bool m_ReopenAllowed = false;  // under m_Lock
};
