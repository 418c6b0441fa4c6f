#include "playback/playlist/PlayListEntryHolder.h"

#include <algorithm>
#include <vector>

#include "foundation/kernel/Error.h"
#include "playback/playlist/PlayListEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlayListEntryHolder, CTypedObject)

CPlayListEntryHolder::~CPlayListEntryHolder() { RemoveAll(true, false); }

CPlayListEntry* CPlayListEntryHolder::GetEntry(INT index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return static_cast<CPlayListEntry*>(m_Entries[index]);
}

INT CPlayListEntryHolder::IndexOf(const CPlayListEntry* entry) const {
  for (INT i = 0; i < GetCount(); ++i)
    if (m_Entries[i] == entry) return i;
  return -1;
}

void CPlayListEntryHolder::Insert(CPlayListEntry* entry, INT index) {
  if (!entry) return;
  if (index < 0 || index > GetCount()) index = GetCount();
  m_Entries.InsertAt(index, entry);
  entry->m_Holder = this;
}

INT CPlayListEntryHolder::Remove(INT index, bool deleteEntry) {
  CPlayListEntry* entry = GetEntry(index);
  if (!entry) return GetCount();
  m_Entries.RemoveAt(index);
  if (deleteEntry) delete entry;
  return GetCount();
}

void CPlayListEntryHolder::RemoveAll(bool deleteEntries, bool resetCounts) {
  if (deleteEntries)
    for (INT i = 0; i < GetCount(); ++i) delete GetEntry(i);
  m_Entries.SetSize(0);
  if (resetCounts) m_Counts = {};
}

void CPlayListEntryHolder::ReleaseAll(bool deleteEntries) {
  if (deleteEntries) {
    for (INT i = 0; i < GetCount(); ++i) {
      CPlayListEntry* entry = GetEntry(i);
      entry->m_Holder = nullptr;
      delete entry;
    }
  }
  m_Entries.SetSize(0);
}

void CPlayListEntryHolder::Move(INT from, INT to) {
  const INT count = GetCount();
  if (from < 0 || from >= count || to < 0 || to > count || from == to) return;
  void* entry = m_Entries[from];
  m_Entries.RemoveAt(from);
  m_Entries.InsertAt(from < to ? to - 1 : to, entry);  // the slot just freed: no allocation
  Renumber();
}

void CPlayListEntryHolder::Renumber() {
  INT fileBase = 0;
  INT entryBase = 0;
  if (m_Owner) {
    fileBase = m_Owner->GetFileNumber();
    entryBase = m_Owner->GetEntryNumber() + 1;
  }
  m_Counts = {GetCount(), 0, 0};
  for (INT i = 0; i < GetCount(); ++i) {
    CPlayListEntry* entry = GetEntry(i);
    entry->m_Index = i;
    entry->m_FileNumber = fileBase + m_Counts[1];
    entry->m_EntryNumber = entryBase + m_Counts[2];
    m_Counts[2] += 1;
    if (entry->IsFolder()) {
      CPlayListEntryHolder& contents = static_cast<CPlayListFolderEntry*>(entry)->GetContents();
      contents.Renumber();
      m_Counts[1] += contents.m_Counts[1];
      m_Counts[2] += contents.m_Counts[2];
    } else {
      m_Counts[1] += 1;
    }
  }
}

CPlayListEntry* CPlayListEntryHolder::FindEntry(int column, INT number) const {
  if (column != COLUMN_FILE_NUMBER && column != COLUMN_ENTRY_NUMBER) return nullptr;
  const CPlayListEntryHolder* list = this;
  for (;;) {
    // The last entry at or before the number. Positions never decrease
    // along a list, so a binary search finds the entry that a scan from the
    // front would stop behind.
    INT low = 0;
    INT high = list->GetCount();
    while (low < high) {
      const INT middle = low + (high - low) / 2;
      if (list->GetEntry(middle)->GetPosition(column) > number)
        high = middle;
      else
        low = middle + 1;
    }
    CPlayListEntry* found = list->GetEntry(low - 1);
    if (!found) return nullptr;
    const bool exact = found->GetPosition(column) == number;
    // A folder shares its file number with the first file inside it.
    if (exact && !(column == COLUMN_FILE_NUMBER && found->IsFolder())) return found;
    if (!found->IsFolder()) return nullptr;  // beyond the last entry of the tree
    list = &static_cast<CPlayListFolderEntry*>(found)->GetContents();
  }
}

void CPlayListEntryHolder::Assign(const CPlayListEntryHolder& source) {
  if (&source == this) return;
  // Clone first: `source` may be the contents of one of our own entries,
  // and a failure must leave this list as it was.
  std::vector<CPlayListEntry*> clones;
  const std::array<INT, 3> counts = source.m_Counts;
  try {
    clones.reserve(static_cast<size_t>(source.GetCount()));
    for (INT i = 0; i < source.GetCount(); ++i) clones.push_back(source.GetEntry(i)->Clone());
    m_Entries.SetSize(std::max(GetCount(), source.GetCount()));  // room for the clones; old entries kept
  } catch (...) {
    for (CPlayListEntry* clone : clones) delete clone;
    throw;
  }
  for (INT i = 0; i < GetCount(); ++i) delete GetEntry(i);
  for (INT i = 0; i < static_cast<INT>(clones.size()); ++i) {
    m_Entries[i] = clones[static_cast<size_t>(i)];
    clones[static_cast<size_t>(i)]->m_Holder = this;
  }
  m_Entries.SetSize(static_cast<INT>(clones.size()));
  m_Counts = counts;
}

void CPlayListEntryHolder::InsertRun(INT index, const std::vector<CPlayListEntry*>& entries) {
  if (entries.empty()) return;
  const INT n = static_cast<INT>(entries.size());
  const INT before = GetCount();
  m_Entries.InsertAt(index, nullptr, n);
  if (GetCount() != before + n) ThrowMemoryError();  // the array refused to grow that far
  for (INT i = 0; i < n; ++i) {
    m_Entries[index + i] = entries[static_cast<size_t>(i)];
    entries[static_cast<size_t>(i)]->m_Holder = this;
  }
}
