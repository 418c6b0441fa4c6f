#include "pluginhost/enumeration/FileObjectEnumerationManager.h"

#include <algorithm>
#include <memory>

#include "foundation/kernel/Error.h"
#include "pluginhost/enumeration/EnumerationHandles.h"
#include "pluginhost/enumeration/FileObjectEnumeration.h"
#include "pluginhost/enumeration/FileObjectEnumerator.h"
#include "pluginhost/enumeration/FileObjectEnumeratorProvider.h"
#include "pluginhost/enumeration/FileObjectNames.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CFileObjectEnumerationManager, CTypedObject)

namespace {

bool IsGrouped(const FileObjectEntry* entry) {
  return (entry->sortFlags & (FILEOBJECT_GROUPED | FILEOBJECT_TRAILING)) == FILEOBJECT_GROUPED;
}
bool IsTrailing(const FileObjectEntry* entry) { return (entry->sortFlags & FILEOBJECT_TRAILING) != 0; }

bool NameBefore(const FileObjectEntry* a, const FileObjectEntry* b) {
  const bool noCase = ((a->sortFlags | b->sortFlags) & FILEOBJECT_NOCASE) != 0;
  return CompareFileObjectNames(a->sortName, b->sortName, noCase) < 0;
}

// Retires a context's handle, which deletes it.
void DeleteContext(CFileObjectEnumerationContext* context) {
  GetHandedOutEnumContexts().Retire(context->GetHandle());
}

}  // namespace

FileObjectEntryChain SortEntryChain(FileObjectEntryChain chain) {
  if (!chain.head || chain.head == chain.tail) return chain;
  std::vector<FileObjectEntry*> plain, grouped, trailing;
  for (FileObjectEntry* entry = chain.head; entry; entry = entry->next)
    (IsTrailing(entry) ? trailing : IsGrouped(entry) ? grouped : plain).push_back(entry);
  std::stable_sort(plain.begin(), plain.end(), NameBefore);
  std::stable_sort(grouped.begin(), grouped.end(), NameBefore);
  FileObjectEntryChain sorted;
  for (auto* part : {&plain, &grouped, &trailing})
    for (FileObjectEntry* entry : *part) sorted.Append(entry);
  return sorted;
}

void CFileObjectEnumerationManager::Start(const std::vector<CFileObjectEnumeratorProvider*>& providers,
                                          const char* url, const char* pattern, DWORD flags,
                                          CFileInfoDataBase& files, CFolderInfoDataBase& folders, HWND owner,
                                          FolderIconIndices folderIcons) {
  Clear();
  m_FileInfos = &files;
  m_FolderInfos = &folders;
  m_RawFiles = (flags & FOE_RAWFILES) != 0;
  m_RawFolders = (flags & FOE_RAWFOLDERS) != 0;
  HandedOutEnumContexts& handles = GetHandedOutEnumContexts();
  m_Contexts.reserve(providers.size() + 1);
  auto* host = new CFileObjectEnumerationContext(-1, flags, nullptr, files, folders, folderIcons);
  handles.Add(host);
  m_Contexts.push_back(host);
  for (size_t i = 0; i < providers.size(); ++i) {
    auto* context =
        new CFileObjectEnumerationContext(static_cast<INT>(i), flags, providers[i], files, folders, folderIcons);
    handles.Add(context);
    CFileObjectEnumerator* enumerator = nullptr;
    try {
      enumerator = providers[i]->CreateEnumerator(*context, url, pattern, flags, owner);
    } catch (CError* error) {
      // A provider that fails contributes nothing; its error is not shown.
      DisposeError(error);
      DeleteContext(context);
      continue;
    }
    m_Contexts.push_back(context);
    if (enumerator)
      m_Enumerators.push_back(enumerator);
    else
      context->SetDone();
  }
}

bool CFileObjectEnumerationManager::HasPositions(List list) const {
  if (list == kFiles) return !m_RawFiles;
  if (list == kFolders) return !m_RawFolders;
  return true;
}

void CFileObjectEnumerationManager::MergeResults() {
  for (auto& list : m_Lists) list.firstNew = nullptr;
  if (m_Done) return;
  for (int list = 0; list < kListCount; ++list) {
    std::vector<FileObjectEntry*> pending;
    pending.swap(m_Lists[list].pending);
    for (FileObjectEntry* head : pending) MergeChain(static_cast<List>(list), head, HasPositions(static_cast<List>(list)));
  }
  bool brought = false;
  bool open = false;
  for (CFileObjectEnumerationContext* context : m_Contexts) MergeContext(*context, brought, open);
  if (brought) {
    Deliver(!open);
    return;
  }
  if (open) return;
  EndEnumerators();
  m_Done = true;
}

void CFileObjectEnumerationManager::MergeContext(CFileObjectEnumerationContext& context, bool& brought, bool& open) {
  CFileObjectEnumerationContext::Taken taken = context.TakeChains();
  if (!taken.done && context.GetProviderIndex() != -1) open = true;
  for (int index = 0; index < kListCount; ++index) {
    const auto list = static_cast<List>(index);
    FileObjectEntryChain chain = taken.lists[index];
    if (chain.IsEmpty()) continue;
    if (list != kItems) brought = true;
    const bool positions = HasPositions(list);
    if (positions) {
      TakeSortKeys(list, chain.head);
      chain = SortEntryChain(chain);
    }
    MergeChain(list, chain.head, positions);
  }
}

// Records change on other threads: their keys are read under their
// database's lock, once per chain.
void CFileObjectEnumerationManager::TakeSortKeys(List list, FileObjectEntry* head) const {
  if (list == kItems) {
    for (FileObjectEntry* entry = head; entry; entry = entry->next) TakeSortKey(*entry);
    return;
  }
  CFileObjectInfoDataBase* records = list == kFiles ? static_cast<CFileObjectInfoDataBase*>(m_FileInfos)
                                                    : static_cast<CFileObjectInfoDataBase*>(m_FolderInfos);
  CriticalSectionLock lock(records->GetLock());
  for (FileObjectEntry* entry = head; entry; entry = entry->next) TakeSortKey(*entry);
}

bool CFileObjectEnumerationManager::IsDuplicate(MergedList& list, const FileObjectEntry& entry) const {
  if (entry.info) return list.records.count(entry.info) != 0;
  if (!entry.item) return list.urls.count(entry.url) != 0;
  for (FileObjectEntry* earlier = list.arrival.head; earlier; earlier = earlier->next)
    if (AreEntriesEqual(*earlier, entry)) return true;
  return false;
}

void CFileObjectEnumerationManager::Remember(MergedList& list, const FileObjectEntry& entry) const {
  if (entry.info)
    list.records.insert(entry.info);
  else if (!entry.item)
    list.urls.insert(entry.url);
}

// Walks the sorted order forward from where the previous entry of the
// chain went, so a chain sorted as SortEntryChain leaves it is placed in
// one pass.
void CFileObjectEnumerationManager::MergeChain(List index, FileObjectEntry* head, bool positions) {
  MergedList& list = m_Lists[index];
  FileObjectEntry* before = nullptr;  // the sorted entry ahead of the walk
  INT count = 0;                      // the walk's position
  for (FileObjectEntry* entry = head; entry;) {
    FileObjectEntry* next = entry->next;
    if (IsDuplicate(list, *entry)) {
      delete entry;
      entry = next;
      continue;
    }
    list.arrival.Append(entry);
    Remember(list, *entry);
    if (!list.firstNew) list.firstNew = entry;
    entry->nextSorted = nullptr;
    entry->sortedIndex = -1;
    if (positions) {
      FileObjectEntry* at = before ? before->nextSorted : list.sortedHead;
      while (at && CompareEntries(*entry, at) >= 0) {
        before = at;
        at = at->nextSorted;
        ++count;
      }
      entry->nextSorted = at;
      (before ? before->nextSorted : list.sortedHead) = entry;
      entry->sortedIndex = count;
    }
    entry = next;
  }
}

void CFileObjectEnumerationManager::Deliver(bool allFinished) {
  if (!m_Lists[kFiles].firstNew && !m_Lists[kFolders].firstNew) return;
  for (CFileObjectEnumerationContext* context : m_Contexts) context->SetReopenAllowed(true);
  const MergedList& files = m_Lists[kFiles];
  const MergedList& folders = m_Lists[kFolders];
  const CFileObjectEnumeration::Range fileRange{files.arrival.head, files.arrival.tail, files.firstNew};
  const CFileObjectEnumeration::Range folderRange{folders.arrival.head, folders.arrival.tail, folders.firstNew};
  // An enumerator that ends the enumeration meanwhile is not expected;
  // iterate over a copy so that the loop stays sound either way.
  const std::vector<CFileObjectEnumerator*> enumerators = m_Enumerators;
  for (CFileObjectEnumerator* enumerator : enumerators)
    enumerator->OnResults(new CFileObjectEnumeration(fileRange, folderRange, *m_FileInfos, *m_FolderInfos),
                          allFinished);
  for (CFileObjectEnumerationContext* context : m_Contexts) context->SetReopenAllowed(false);
}

// Each enumerator's thread has ended when its Abort returns, so no thread
// still writes into the contexts deleted next.
void CFileObjectEnumerationManager::EndEnumerators() {
  std::vector<CFileObjectEnumerator*> enumerators;
  enumerators.swap(m_Enumerators);
  for (CFileObjectEnumerator* enumerator : enumerators) enumerator->Abort();
  std::vector<CFileObjectEnumerationContext*> contexts;
  contexts.swap(m_Contexts);
  for (CFileObjectEnumerationContext* context : contexts) DeleteContext(context);
}

void CFileObjectEnumerationManager::FreeLists() {
  for (auto& list : m_Lists) {
    DeleteEntryChain(list.arrival.Take().head);
    for (FileObjectEntry* head : list.pending) DeleteEntryChain(head);
    list = MergedList();
  }
}

void CFileObjectEnumerationManager::Clear() {
  EndEnumerators();
  FreeLists();
  m_Done = false;
}

bool CFileObjectEnumerationManager::AddFileWithData(FileInfoRecord* record, INT order) {
  CFileObjectEnumerationContext* host = HostContext();
  return host && host->AddFileInfo(record, order);
}

bool CFileObjectEnumerationManager::AddFolderWithData(FolderInfoRecord* record, INT order) {
  CFileObjectEnumerationContext* host = HostContext();
  return host && host->AddFolderInfo(record, order);
}

bool CFileObjectEnumerationManager::AddControlItemWithData(CFileBrowserControlItem* item, INT order) {
  CFileObjectEnumerationContext* host = HostContext();
  return host && host->AddControlItem(item, order);
}

void CFileObjectEnumerationManager::CopyResults(CFileObjectEnumerationManager& other) {
  m_Done = false;
  for (int index = 0; index < kListCount; ++index) {
    MergedList& from = other.m_Lists[index];
    // The sorted order becomes the arrival order of the chain taken over.
    FileObjectEntryChain chain;
    if (from.sortedHead) {
      for (FileObjectEntry* entry = from.sortedHead; entry;) {
        FileObjectEntry* next = entry->nextSorted;
        chain.Append(entry);
        entry = next;
      }
    } else {
      chain = from.arrival;
    }
    from.arrival = {};
    if (chain.head) m_Lists[index].pending.push_back(chain.head);
    for (FileObjectEntry* head : from.pending) m_Lists[index].pending.push_back(head);
    from = MergedList();
  }
  for (CFileObjectEnumerationContext* context : other.m_Contexts) {
    if (context->GetProviderIndex() != -1) context->SetProviderIndex(static_cast<INT>(m_Contexts.size()));
    m_Contexts.push_back(context);
  }
  other.m_Contexts.clear();
  m_Enumerators.insert(m_Enumerators.end(), other.m_Enumerators.begin(), other.m_Enumerators.end());
  other.m_Enumerators.clear();
}
