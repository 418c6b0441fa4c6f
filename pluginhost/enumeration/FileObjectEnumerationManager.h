// CFileObjectEnumerationManager: one listing of one folder URL by every
// provider at once. Each provider that recognises the URL starts an
// enumerator that fills a context of its own; the client polls
// MergeResults, which moves the new entries of all contexts into three
// merged lists (files, folders, control items), drops duplicates, gives
// each new entry its position in sorted order and hands the batch to every
// running enumerator. A list of a raw request (FOE_RAWFILES,
// FOE_RAWFOLDERS) keeps bare URLs in arrival order without positions.
//
// A new entry's sorted index is where a list view holding the sorted order
// so far must insert it; inserting the new entries of each poll in order
// rebuilds the sorted order.
//
// Threading: the user-interface thread only; providers' threads reach only
// their contexts.
#pragma once

#include <windows.h>

#include <string_view>
#include <unordered_set>
#include <vector>

#include "foundation/kernel/TypedObject.h"
#include "pluginhost/enumeration/FileObjectEntry.h"
#include "pluginhost/enumeration/FileObjectEnumerationContext.h"

class CFileObjectEnumerator;
class CFileObjectEnumeratorProvider;

class CFileObjectEnumerationManager : public CTypedObject {
  TWL_DECLARE_CLASS(CFileObjectEnumerationManager)
 public:
  enum List { kFiles = 0, kFolders = 1, kItems = 2, kListCount = 3 };

  CFileObjectEnumerationManager() = default;
  CFileObjectEnumerationManager(const CFileObjectEnumerationManager&) = delete;
  CFileObjectEnumerationManager& operator=(const CFileObjectEnumerationManager&) = delete;
  ~CFileObjectEnumerationManager() override { Clear(); }

  // Asks every provider for an enumerator of the URL; a provider that has
  // none has its context done at once, one that throws contributes
  // nothing. `pattern` (a wildcard text or null) and `owner` only pass on.
  void Start(const std::vector<CFileObjectEnumeratorProvider*>& providers, const char* url, const char* pattern,
             DWORD flags, CFileInfoDataBase& files, CFolderInfoDataBase& folders, HWND owner,
             FolderIconIndices folderIcons = {});
  // One poll: merges, sorts and delivers what the contexts brought; marks
  // the manager done when every context is done and nothing came.
  void MergeResults();
  bool IsDone() const { return m_Done; }

  // The first entry each list gained in the latest poll, or null; the list
  // heads in arrival order and in sorted order.
  FileObjectEntry* GetNew(List list) const { return m_Lists[list].firstNew; }
  FileObjectEntry* GetHead(List list) const { return m_Lists[list].arrival.head; }
  FileObjectEntry* GetSortedHead(List list) const { return m_Lists[list].sortedHead; }

  // Adds an entry through the host's own context with an order value of
  // the caller's (a folder's cached children, shown at once).
  bool AddFileWithData(FileInfoRecord* record, INT order);
  bool AddFolderWithData(FolderInfoRecord* record, INT order);
  bool AddControlItemWithData(CFileBrowserControlItem* item, INT order);

  // Takes over everything `other` owns; `other` is left empty. For sorted
  // (non-raw) listings.
  void CopyResults(CFileObjectEnumerationManager& other);
  // Aborts the enumerators and frees everything.
  void Clear();

 private:
  struct MergedList {
    FileObjectEntryChain arrival;
    FileObjectEntry* firstNew = nullptr;
    FileObjectEntry* sortedHead = nullptr;
    std::vector<FileObjectEntry*> pending;  // chains taken over, not merged yet
    // The duplicate test's memory of what the list holds.
    std::unordered_set<const FileObjectInfoRecord*> records;
    std::unordered_set<std::string_view> urls;
  };

  CFileObjectEnumerationContext* HostContext() const { return m_Contexts.empty() ? nullptr : m_Contexts[0]; }
  bool HasPositions(List list) const;
  void MergeContext(CFileObjectEnumerationContext& context, bool& brought, bool& open);
  void TakeSortKeys(List list, FileObjectEntry* head) const;
  void MergeChain(List list, FileObjectEntry* head, bool positions);
  bool IsDuplicate(MergedList& list, const FileObjectEntry& entry) const;
  void Remember(MergedList& list, const FileObjectEntry& entry) const;
  void Deliver(bool allFinished);
  void EndEnumerators();
  void FreeLists();

  std::vector<CFileObjectEnumerationContext*> m_Contexts;  // handed out; [0] the host's
  std::vector<CFileObjectEnumerator*> m_Enumerators;
  MergedList m_Lists[kListCount];
  CFileInfoDataBase* m_FileInfos = nullptr;
  CFolderInfoDataBase* m_FolderInfos = nullptr;
  bool m_Done = false;
  bool m_RawFiles = false;
  bool m_RawFolders = false;
};

// Reorders a context's chain as the listing sorts it: plain entries by
// name, then grouped entries by name, then trailing entries in arrival
// order; stable. Ordering keys must be taken.
FileObjectEntryChain SortEntryChain(FileObjectEntryChain chain);
