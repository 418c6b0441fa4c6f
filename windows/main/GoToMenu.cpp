// The "Go to..." submenu: one radio item per file entry of the playlist,
// in groups of 25 when there are more than 25. Each item holds its entry's
// serial number, never its address, which a new entry may reuse once the
// entry is gone.
#include <algorithm>
#include <string_view>

#include "playback/playlist/PlayListEntryHolder.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"
#include "pluginhost/fileinfo/FileInfoRecord.h"
#include "windows/main/MainMenus.h"
#include "windows/main/MainWindowIds.h"
#include "windows/main/MenuItems.h"

namespace mainwindow {

namespace {

static_assert(sizeof(ULONG_PTR) >= sizeof(uint64_t), "an item's data holds an entry's serial number");

// Walks the file entries in order with an explicit stack, so that deeply
// nested folder entries from a playlist file cannot exhaust the stack.
// `visit` answers false to stop.
template <class Visit>
void WalkFileEntries(const CPlayListEntryHolder& list, Visit visit) {
  struct Level {
    const CPlayListEntryHolder* list;
    INT next;
  };
  std::vector<Level> stack{{&list, 0}};
  while (!stack.empty()) {
    Level& level = stack.back();
    if (level.next >= level.list->GetCount()) {
      stack.pop_back();
      continue;
    }
    const CPlayListEntry* entry = level.list->GetEntry(level.next++);
    if (!entry) continue;
    if (entry->IsFolder()) {
      stack.push_back({&static_cast<const CPlayListFolderEntry*>(entry)->GetContents(), 0});
      continue;
    }
    if (!visit(entry)) return;
  }
}

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// "(n) name - title", or "(n) name" without a title. The name is the
// record's display text, else the name part of its URL; the title is the
// type text the file's identifier or player found.
CStr GoToText(const CPlayListEntry* entry, size_t number) {
  const auto* file = static_cast<const CPlayListFileEntry*>(entry)->GetFileInfo();
  std::string name;
  std::string title;
  if (file) {
    name = file->displayText && !file->displayText->empty() ? *file->displayText : std::string(file->name);
    if (file->typeText) title = std::string(Trimmed(*file->typeText));
  }
  if (title.empty()) return CStr::Format("(%zu) %s", number, name.c_str());
  return CStr::Format("(%zu) %s - %s", number, name.c_str(), title.c_str());
}

// Holds the records' lock, when there is one, for its scope.
class RecordsLock {
 public:
  explicit RecordsLock(CriticalSection* lock) : m_Lock(lock) {
    if (m_Lock) m_Lock->Enter();
  }
  ~RecordsLock() {
    if (m_Lock) m_Lock->Leave();
  }
  RecordsLock(const RecordsLock&) = delete;
  RecordsLock& operator=(const RecordsLock&) = delete;

 private:
  CriticalSection* m_Lock;
};

}  // namespace

std::vector<const CPlayListEntry*> CollectFileEntries(const CPlayListEntryHolder& list, size_t limit) {
  std::vector<const CPlayListEntry*> entries;
  if (limit == 0) return entries;
  WalkFileEntries(list, [&](const CPlayListEntry* entry) {
    entries.push_back(entry);
    return entries.size() < limit;
  });
  return entries;
}

INT FindFileEntryNumber(const CPlayListEntryHolder& list, uint64_t serial) {
  INT number = 0;
  INT found = -1;
  WalkFileEntries(list, [&](const CPlayListEntry* candidate) {
    if (candidate->GetSerial() == serial) {
      found = number;
      return false;
    }
    ++number;
    return true;
  });
  return found;
}

void FillGoToMenu(HMENU menu, const MainMenuState& state) {
  if (!state.playList) return;
  const std::vector<const CPlayListEntry*> entries = CollectFileEntries(*state.playList, kMaxGoToItems);
  // The texts are read under the records' lock, the menu is built after.
  std::vector<CStr> texts;
  texts.reserve(entries.size());
  {
    RecordsLock lock(state.infoLock);
    for (size_t n = 0; n < entries.size(); ++n) texts.push_back(GoToText(entries[n], n + 1));
  }

  const size_t count = entries.size();
  const bool grouped = count > kGoToGroupSize;
  HMENU target = menu;
  UINT groupId = kGoToGroupFirst;
  for (size_t n = 0; n < count; ++n) {
    if (grouped && n % kGoToGroupSize == 0)
      target = AppendSubmenu(menu, groupId++, CStr::Format("%zu - %zu", n + 1, std::min(count, n + kGoToGroupSize)));
    AppendItem(target, {static_cast<UINT>(kGoToFirst + n), texts[n], true, static_cast<INT>(n) == state.currentEntry,
                        static_cast<ULONG_PTR>(entries[n]->GetSerial())});
  }
}

}  // namespace mainwindow
