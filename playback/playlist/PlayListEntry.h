// CPlayListEntry: one entry of a playlist tree, a file (CPlayListFileEntry)
// or a folder holding further entries (CPlayListFolderEntry). An entry
// points at the information record of its URL, which the information
// databases own, and knows its list and three positions: its index in that
// list, its file number (file entries before it in the whole tree) and its
// entry number (entries of both kinds before it). The positions are valid
// after the top-level list's Renumber. Each entry also has a serial number
// that no other entry of the process ever gets, not even one made at the
// same address after it is gone, nor its clone: what a reference kept
// across changes of the list (a menu item) holds.
//
// Threading: the playlist model belongs to the user-interface thread.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/kernel/TypedObject.h"

struct FileObjectInfoRecord;
class CPlayListEntryHolder;

class CPlayListEntry : public CTypedObject {
  TWL_DECLARE_CLASS(CPlayListEntry)
 public:
  CPlayListEntry& operator=(const CPlayListEntry&) = delete;

  // A new entry of the same class with the same record and positions, in
  // no list. Throws the out-of-memory error.
  virtual CPlayListEntry* Clone() const = 0;

  bool IsFolder() const;
  FileObjectInfoRecord* GetInfo() const { return m_Info; }
  // The URL of the record (empty without one). Keys never change, so this
  // needs no lock.
  const char* GetURL() const;

  // The list that took the entry in last; a removed entry keeps it.
  CPlayListEntryHolder* GetHolder() const { return m_Holder; }
  INT GetIndex() const { return m_Index; }
  INT GetFileNumber() const { return m_FileNumber; }
  INT GetEntryNumber() const { return m_EntryNumber; }
  // Column 1: the file number; column 2: the entry number.
  INT GetPosition(int column) const { return column == 1 ? m_FileNumber : m_EntryNumber; }
  uint64_t GetSerial() const { return m_Serial; }

 protected:
  explicit CPlayListEntry(FileObjectInfoRecord* info) : m_Info(info) {}
  // Clones keep the record and the positions, get their own serial number
  // and belong to no list.
  CPlayListEntry(const CPlayListEntry& source)
      : CTypedObject(),
        m_Info(source.m_Info),
        m_Index(source.m_Index),
        m_FileNumber(source.m_FileNumber),
        m_EntryNumber(source.m_EntryNumber) {}

  void ClearHolder() { m_Holder = nullptr; }

 private:
  friend class CPlayListEntryHolder;

  static uint64_t NextSerial();

  FileObjectInfoRecord* m_Info;
  CPlayListEntryHolder* m_Holder = nullptr;
  INT m_Index = 0;
  INT m_FileNumber = 0;
  INT m_EntryNumber = 0;
  const uint64_t m_Serial = NextSerial();
};
