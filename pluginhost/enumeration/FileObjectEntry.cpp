#include "pluginhost/enumeration/FileObjectEntry.h"

#include <cstring>

#include "pluginhost/enumeration/FileObjectNames.h"

FileObjectEntry::~FileObjectEntry() {
  if (item) item->Release();
}

void FileObjectEntryChain::Append(FileObjectEntry* entry) {
  entry->next = nullptr;
  if (tail)
    tail->next = entry;
  else
    head = entry;
  tail = entry;
}

FileObjectEntryChain FileObjectEntryChain::Take() {
  FileObjectEntryChain taken = *this;
  head = tail = nullptr;
  return taken;
}

void DeleteEntryChain(FileObjectEntry* head) {
  while (head) {
    FileObjectEntry* next = head->next;
    delete head;
    head = next;
  }
}

void TakeSortKey(FileObjectEntry& entry) {
  if (entry.item) {
    entry.sortFlags = entry.item->GetFlags();
    const char* name = entry.item->GetName();
    entry.sortName = name ? name : "";
    return;
  }
  if (!entry.info) {
    entry.sortFlags = 0;
    entry.sortName = GetNamePart(entry.url.c_str());
    return;
  }
  const FileObjectInfoRecord& record = *entry.info;
  entry.sortFlags = record.flags;
  if ((record.flags & FILEOBJECT_SORTBYTEXT) && record.displayText)
    entry.sortName = *record.displayText;
  else
    entry.sortName = record.name;
}

namespace {

int CompareOrder(INT a, INT b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareNames(const FileObjectEntry& a, const FileObjectEntry& b) {
  const bool noCase = ((a.sortFlags | b.sortFlags) & FILEOBJECT_NOCASE) != 0;
  return CompareFileObjectNames(a.sortName, b.sortName, noCase);
}

}  // namespace

int CompareEntries(const FileObjectEntry& a, const FileObjectEntry* b) {
  if (!b) return -1;
  const bool aTrailing = (a.sortFlags & FILEOBJECT_TRAILING) != 0;
  const bool bTrailing = (b->sortFlags & FILEOBJECT_TRAILING) != 0;
  if (aTrailing) return bTrailing ? CompareOrder(a.order, b->order) : 1;
  if (bTrailing) return -1;
  const bool aGrouped = (a.sortFlags & FILEOBJECT_GROUPED) != 0;
  const bool bGrouped = (b->sortFlags & FILEOBJECT_GROUPED) != 0;
  if (aGrouped) {
    if (!bGrouped) return 1;
    const int byOrder = CompareOrder(a.order, b->order);
    if (byOrder != 0) return byOrder;
  } else if (bGrouped) {
    return -1;
  }
  const int byName = CompareNames(a, *b);
  return byName != 0 ? byName : CompareOrder(a.order, b->order);
}

bool AreEntriesEqual(const FileObjectEntry& a, const FileObjectEntry& b) {
  if (a.info || b.info) return a.info == b.info;
  if (a.item || b.item) return a.item && b.item && a.item->IsEqual(b.item);
  return a.url == b.url;
}
