// CPlayListFolderEntry: a playlist entry naming a folder, or a playlist file
// shown as a folder, with the entries found inside it as its contents. The
// folder content enumeration fills the contents as it finds them and
// counts itself in the running enumerations while it does.
//
// Threading: the playlist model belongs to the user-interface thread.
#pragma once

#include "playback/playlist/PlayListEntry.h"
#include "playback/playlist/PlayListEntryHolder.h"
#include "pluginhost/fileinfo/FolderInfoRecord.h"

class CPlayListFolderEntry : public CPlayListEntry {
  TWL_DECLARE_CLASS(CPlayListFolderEntry)
 public:
  CPlayListFolderEntry() : CPlayListFolderEntry(nullptr) {}
  explicit CPlayListFolderEntry(FolderInfoRecord* info) : CPlayListEntry(info) {}

  // A deep copy: contents cloned, both flags kept, no running enumeration.
  CPlayListEntry* Clone() const override;

  FolderInfoRecord* GetFolderInfo() const;
  CPlayListEntryHolder& GetContents() { return m_Contents; }
  const CPlayListEntryHolder& GetContents() const { return m_Contents; }

  // Replace the entry by its contents as soon as no enumeration runs for it
  // (recursively: flatten nested folders too). Kept in playlist files.
  bool IsExpandPending() const { return m_ExpandPending != 0; }
  void SetExpandPending(bool pending) { m_ExpandPending = pending; }
  bool IsExpandRecursive() const { return m_ExpandRecursive != 0; }
  void SetExpandRecursive(bool recursive) { m_ExpandRecursive = recursive; }

  INT GetRunningEnumerations() const { return m_RunningEnumerations; }
  void AddRunningEnumeration() { ++m_RunningEnumerations; }
  // Never below 0.
  void RemoveRunningEnumeration();
  // True when a folder entry anywhere inside the contents has a running
  // enumeration; this entry's own count is not looked at.
  bool HasRunningEnumerations() const;

  // Replaces this entry, in its list, by its contents (with `recursive`,
  // nested folder entries are replaced by theirs, depth first, and
  // deleted), renumbers that list and deletes this entry. The caller must
  // first withdraw the entry from the folder content enumeration. False,
  // and nothing done, when the entry is in no list. When memory is
  // short it throws before anything changed.
  bool Expand(bool recursive);

 private:
  // The entry without its contents and running enumerations.
  CPlayListFolderEntry(const CPlayListFolderEntry& source)
      : CPlayListEntry(source),
        m_ExpandPending(source.m_ExpandPending),
        m_ExpandRecursive(source.m_ExpandRecursive) {}

  CPlayListEntryHolder m_Contents{this};
  BYTE m_ExpandPending = 0;
  BYTE m_ExpandRecursive = 0;
  INT m_RunningEnumerations = 0;  // never stored; a clone starts at 0
};
