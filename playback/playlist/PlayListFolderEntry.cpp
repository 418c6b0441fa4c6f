#include "playback/playlist/PlayListFolderEntry.h"

#include <new>
#include <vector>

#include "foundation/kernel/Error.h"
#include "pluginhost/fileinfo/FolderInfoRecord.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlayListFolderEntry, CPlayListEntry)

namespace {

// The entries that replace `folder`, in order, and with `recursive` the
// nested folder entries that are emptied on the way.
void CollectReplacement(CPlayListFolderEntry& folder, bool recursive, std::vector<CPlayListEntry*>& moved,
                        std::vector<CPlayListFolderEntry*>& emptied) {
  CPlayListEntryHolder& contents = folder.GetContents();
  for (INT i = 0; i < contents.GetCount(); ++i) {
    CPlayListEntry* entry = contents.GetEntry(i);
    if (recursive && entry->IsFolder()) {
      auto* nested = static_cast<CPlayListFolderEntry*>(entry);
      CollectReplacement(*nested, true, moved, emptied);
      emptied.push_back(nested);
      continue;
    }
    moved.push_back(entry);
  }
}

}  // namespace

CPlayListEntry* CPlayListFolderEntry::Clone() const {
  auto* copy = new (std::nothrow) CPlayListFolderEntry(*this);
  if (!copy) ThrowMemoryError();
  try {
    copy->m_Contents.Assign(m_Contents);
  } catch (...) {
    delete copy;
    throw;
  }
  return copy;
}

FolderInfoRecord* CPlayListFolderEntry::GetFolderInfo() const { return static_cast<FolderInfoRecord*>(GetInfo()); }

void CPlayListFolderEntry::RemoveRunningEnumeration() {
  if (m_RunningEnumerations > 0) --m_RunningEnumerations;
}

bool CPlayListFolderEntry::HasRunningEnumerations() const {
  for (INT i = 0; i < m_Contents.GetCount(); ++i) {
    const CPlayListEntry* entry = m_Contents.GetEntry(i);
    if (!entry->IsFolder()) continue;
    const auto* folder = static_cast<const CPlayListFolderEntry*>(entry);
    if (folder->m_RunningEnumerations > 0 || folder->HasRunningEnumerations()) return true;
  }
  return false;
}

bool CPlayListFolderEntry::Expand(bool recursive) {
  CPlayListEntryHolder* parent = GetHolder();
  // The holder is stale once the entry was removed from it; the actual
  // position is looked up, not taken from a possibly stale index.
  const INT at = parent ? parent->IndexOf(this) : -1;
  if (at < 0) return false;

  std::vector<CPlayListEntry*> moved;
  std::vector<CPlayListFolderEntry*> emptied;
  CollectReplacement(*this, recursive, moved, emptied);
  parent->InsertRun(at + 1, moved);  // the only step that can fail
  parent->Remove(at, false);

  for (CPlayListFolderEntry* nested : emptied) {
    nested->m_Contents.ReleaseAll(false);
    delete nested;
  }
  m_Contents.ReleaseAll(false);
  parent->Renumber();
  ClearHolder();
  m_Contents.Renumber();
  delete this;
  return true;
}
