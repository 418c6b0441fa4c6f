// CPlayListEntryHolder: one list of playlist entries, either the top of a
// playlist (CPlayList) or the contents of a folder entry (its owner). The
// holder owns its entries and deletes them when it is destroyed.
//
// Structural changes (Insert, Remove, Expand) leave positions and counts as
// they were; the caller then calls Renumber of the top-level list. After
// it, for every entry: the index is its position in its list; the entries
// of a list have non-decreasing file numbers and strictly increasing entry
// numbers; the contents of a folder entry with entry number e start at
// e + 1; the top list's file count is the number of files in the tree.
//
// Threading: the playlist model belongs to the user-interface thread.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "foundation/containers/PointerArray.h"
#include "foundation/kernel/TypedObject.h"

class CPlayListEntry;
class CPlayListFolderEntry;

class CPlayListEntryHolder : public CTypedObject {
  TWL_DECLARE_CLASS(CPlayListEntryHolder)
 public:
  enum Column : int { COLUMN_FILE_NUMBER = 1, COLUMN_ENTRY_NUMBER = 2 };

  CPlayListEntryHolder() = default;
  explicit CPlayListEntryHolder(CPlayListFolderEntry* owner) : m_Owner(owner) {}
  CPlayListEntryHolder(const CPlayListEntryHolder&) = delete;
  CPlayListEntryHolder& operator=(const CPlayListEntryHolder&) = delete;
  // Deletes every entry.
  ~CPlayListEntryHolder() override;

  CPlayListFolderEntry* GetOwner() const { return m_Owner; }
  INT GetCount() const { return m_Entries.GetCount(); }
  // Null outside 0..count-1.
  CPlayListEntry* GetEntry(INT index) const;
  // The position of the entry in this list, -1 when it is not in it.
  INT IndexOf(const CPlayListEntry* entry) const;

  // Kept by Renumber: [0] entries in this list, [1] file entries and [2]
  // entries of both kinds in this list and all nested folders.
  const std::array<INT, 3>& GetCounts() const { return m_Counts; }

  // Puts the entry at index (a negative index or one beyond the end: at the
  // end) and makes this list its holder. A null entry is ignored.
  void Insert(CPlayListEntry* entry, INT index);
  // Takes the entry at index out of the list, deleting it when asked; the
  // entry keeps its holder. Returns the new count (the old one for an index
  // outside the list).
  INT Remove(INT index, bool deleteEntry);
  // Empties the list, deleting the entries when asked; with resetCounts the
  // three counts become 0.
  void RemoveAll(bool deleteEntries, bool resetCounts);
  // Empties the list. With deleteEntries each entry's holder is cleared and
  // the entry deleted; without, the entries (moved elsewhere) are dropped.
  void ReleaseAll(bool deleteEntries);
  // Moves the entry at `from` to stand before the entry that stood at `to`
  // (to = count: at the end), then renumbers this list. Indices outside the
  // list change nothing.
  void Move(INT from, INT to);
  // Recomputes the positions of every entry in this list and all nested
  // folders, and the counts. A folder's contents take their bases from it.
  void Renumber();
  // The entry whose position in the column (COLUMN_FILE_NUMBER or
  // COLUMN_ENTRY_NUMBER) is `number`, anywhere below this list; null when
  // there is none. By file number a folder yields the file it starts with.
  CPlayListEntry* FindEntry(int column, INT number) const;
  // Makes this list a copy of `source`: clones of its entries, in order,
  // and its counts. `source` may lie inside this list. Throws the
  // out-of-memory error and then leaves this list as it was.
  void Assign(const CPlayListEntryHolder& source);
  // Puts the entries at index (0..count) in one step, in their order, and
  // makes this list their holder; the same result as inserting them one by
  // one from the last to the first at that index. Throws the out-of-memory
  // error and then leaves the list as it was.
  void InsertRun(INT index, const std::vector<CPlayListEntry*>& entries);

 private:
  friend class CPlayListFolderEntry;

  CPlayListFolderEntry* m_Owner = nullptr;
  std::array<INT, 3> m_Counts{};
  CPointerArray m_Entries;
};
