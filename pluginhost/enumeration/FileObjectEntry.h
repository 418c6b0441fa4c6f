// FileObjectEntry: one result of a folder listing, a file, a folder or a
// control item, linked in arrival order and (once merged) in sorted order.
// An entry belongs to exactly one chain at a time, whose holder deletes it.
// A non-raw file or folder refers to its record in the information
// database; a raw one holds its URL; a control item holds one reference.
//
// Threading: an entry is touched by one thread at a time: its provider's
// thread until the context hands its chain over, then the user-interface
// thread.
#pragma once

#include <windows.h>

#include <string>

#include "pluginhost/enumeration/FileBrowserControlItem.h"
#include "pluginhost/fileinfo/FileObjectInfoRecord.h"

struct FileObjectEntry {
  FileObjectEntry() = default;
  FileObjectEntry(const FileObjectEntry&) = delete;
  FileObjectEntry& operator=(const FileObjectEntry&) = delete;
  // Releases the control item.
  ~FileObjectEntry();

  bool IsRaw() const { return info == nullptr && item == nullptr; }
  // The URL of a file or folder: its own copy, or its record's key.
  const char* GetUrl() const { return info ? info->key : url.c_str(); }

  INT providerIndex = -1;
  FileObjectInfoRecord* info = nullptr;  // not owned
  std::string url;                       // raw entries only
  CFileBrowserControlItem* item = nullptr;
  FileObjectEntry* next = nullptr;  // arrival order
  INT order = 0;
  INT sortedIndex = -1;
  FileObjectEntry* nextSorted = nullptr;
  // The ordering key, taken when the entry is merged: its name and flags.
  std::string sortName;
  DWORD sortFlags = 0;
};

// A chain in arrival order; the holder owns its entries.
struct FileObjectEntryChain {
  FileObjectEntry* head = nullptr;
  FileObjectEntry* tail = nullptr;

  bool IsEmpty() const { return head == nullptr; }
  void Append(FileObjectEntry* entry);
  // Hands the chain over and leaves this one empty.
  FileObjectEntryChain Take();
};

// Deletes every entry from `head` on, following the arrival links.
void DeleteEntryChain(FileObjectEntry* head);

// Takes the entry's ordering key from its record or control item. For a
// record, the caller holds the lock of the record's database.
void TakeSortKey(FileObjectEntry& entry);

// The listing's order (ordering keys must be taken): plain entries by name,
// then grouped ones by order value and name, then trailing ones by order
// value; ties of names go by order value. -1, 0 or 1; a null `b` comes
// after `a`.
int CompareEntries(const FileObjectEntry& a, const FileObjectEntry* b);

// The duplicate test: the same record, equal URLs, or equal control items.
bool AreEntriesEqual(const FileObjectEntry& a, const FileObjectEntry& b);
