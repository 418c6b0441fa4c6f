#include "pluginhost/enumeration/FileObjectEnumerationContext.h"

#include <memory>

#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "pluginhost/hostapi/HostEnvironment.h"

TWL_IMPLEMENT_CLASS(CFileObjectEnumerationContext, CTypedObject)

namespace {

constexpr DWORD kEnumErrorCategory = 0x600;
constexpr DWORD kEnumWarningCategory = 0x60000;

// Stores what an add brings that differs from the record and tells the
// record's listeners; the caller holds the database's lock.
void UpdateRecord(FileObjectInfoRecord& record, const char* displayText, INT iconIndex, DWORD flags) {
  if (record.flags != flags) {
    record.flags = flags;
    NotifyFileObjectListeners(&record, FILEOBJECT_CHANGED_FLAGS);
  }
  if (displayText && SetFileObjectString(record.displayText, displayText))
    NotifyFileObjectListeners(&record, FILEOBJECT_CHANGED_DISPLAYTEXT);
  if (iconIndex != -1 && record.iconIndex != iconIndex) {
    record.iconIndex = iconIndex;
    NotifyFileObjectListeners(&record, FILEOBJECT_CHANGED_ICON);
  }
}

void SetAccessDenied() {
  SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_ACCESS_DENIED, GetMiscErrorText(MISC_ERROR_ACCESS_DENIED));
}

// An add to a done context: the entry goes (releasing its item).
bool Refuse(FileObjectEntry* entry) {
  delete entry;
  SetAccessDenied();
  return false;
}

}  // namespace

CFileObjectEnumerationContext::CFileObjectEnumerationContext(INT providerIndex, DWORD enumFlags,
                                                             CFileObjectEnumeratorProvider* provider,
                                                             CFileInfoDataBase& files, CFolderInfoDataBase& folders,
                                                             FolderIconIndices icons)
    : m_Files(files),
      m_Folders(folders),
      m_FolderIcons(icons),
      m_ProviderIndex(providerIndex),
      m_EnumFlags(enumFlags),
      m_Order(providerIndex),
      m_Provider(provider) {}

CFileObjectEnumerationContext::~CFileObjectEnumerationContext() {
  for (auto& list : m_Lists) DeleteEntryChain(list.Take().head);
}

FileObjectEntry* CFileObjectEnumerationContext::NewEntry(INT order) const {
  auto* entry = new FileObjectEntry;
  entry->providerIndex = m_ProviderIndex;
  entry->order = order;
  return entry;
}

bool CFileObjectEnumerationContext::Append(List list, FileObjectEntry* entry) {
  {
    CriticalSectionLock lock(m_Lock);
    if (!m_Done) {
      m_Lists[list].Append(entry);
      return true;
    }
  }
  return Refuse(entry);
}

bool CFileObjectEnumerationContext::AddFile(const char* url, const char* displayText, INT iconIndex, DWORD flags) {
  if (iconIndex == -1) iconIndex = GetHostEnvironment().GetFileTypeIconIndex(url);
  std::unique_ptr<FileObjectEntry> entry(NewEntry(m_Order));
  if (m_EnumFlags & FOE_RAWFILES) {
    entry->url = url;
    return Append(kFiles, entry.release());
  }
  entry->info = m_Files.Get(url);
  CriticalSectionLock lock(m_Lock);
  if (m_Done) {
    lock.Leave();
    return Refuse(entry.release());
  }
  {
    CriticalSectionLock records(m_Files.GetLock());
    UpdateRecord(*entry->info, displayText, iconIndex, flags);
  }
  m_Lists[kFiles].Append(entry.release());
  return true;
}

bool CFileObjectEnumerationContext::AddFolder(const char* url, const char* displayText, INT iconIndex,
                                              INT openIconIndex, DWORD flags) {
  if (iconIndex == -1) iconIndex = m_FolderIcons.closed;
  if (openIconIndex == -1) openIconIndex = m_FolderIcons.open;
  std::unique_ptr<FileObjectEntry> entry(NewEntry(m_Order));
  if (m_EnumFlags & FOE_RAWFOLDERS) {
    entry->url = url;
    return Append(kFolders, entry.release());
  }
  FolderInfoRecord* record = m_Folders.Get(url);
  entry->info = record;
  CriticalSectionLock lock(m_Lock);
  if (m_Done) {
    lock.Leave();
    return Refuse(entry.release());
  }
  {
    CriticalSectionLock records(m_Folders.GetLock());
    UpdateRecord(*record, displayText, iconIndex, flags);
    if (record->openIconIndex != openIconIndex) {
      record->openIconIndex = openIconIndex;
      NotifyFileObjectListeners(record, FILEOBJECT_CHANGED_OPENICON);
    }
  }
  m_Lists[kFolders].Append(entry.release());
  return true;
}

bool CFileObjectEnumerationContext::AddFileInfo(FileInfoRecord* record, INT order) {
  FileObjectEntry* entry = NewEntry(order);
  entry->info = record;
  return Append(kFiles, entry);
}

bool CFileObjectEnumerationContext::AddFolderInfo(FolderInfoRecord* record, INT order) {
  FileObjectEntry* entry = NewEntry(order);
  entry->info = record;
  return Append(kFolders, entry);
}

bool CFileObjectEnumerationContext::AddControlItem(CFileBrowserControlItem* item, INT order) {
  FileObjectEntry* entry = NewEntry(order);
  item->AddRef();
  entry->item = item;
  return Append(kItems, entry);
}

void CFileObjectEnumerationContext::SetDone() {
  CriticalSectionLock lock(m_Lock);
  m_Done = true;
}

bool CFileObjectEnumerationContext::Reopen() {
  {
    CriticalSectionLock lock(m_Lock);
    if (m_ReopenAllowed) {
      m_Done = false;
      return true;
    }
  }
  SetAccessDenied();
  return false;
}

void CFileObjectEnumerationContext::LogError(DWORD flag) {
  CriticalSectionLock lock(m_Lock);
  LogThreadError((flag & 1) ? kEnumWarningCategory : kEnumErrorCategory,
                 LocalText("CFileObjectEnumerationContext.FileObjectEnumErrorPrefix",
                           "Error during file object enumeration:"));
}

void CFileObjectEnumerationContext::SetReopenAllowed(bool allowed) {
  CriticalSectionLock lock(m_Lock);
  m_ReopenAllowed = allowed;
}

CFileObjectEnumerationContext::Taken CFileObjectEnumerationContext::TakeChains() {
  CriticalSectionLock lock(m_Lock);
  Taken taken;
  for (int list = 0; list < kListCount; ++list) taken.lists[list] = m_Lists[list].Take();
  taken.done = m_Done;
  return taken;
}
