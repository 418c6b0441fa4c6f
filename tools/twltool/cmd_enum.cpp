#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "StdoutLogFront.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "pluginhost/enumeration/FileObjectEnumerationManager.h"
#include "pluginhost/enumeration/FileObjectEnumerationSystem.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/plugins/PlugInLoader.h"

namespace {

using List = CFileObjectEnumerationManager::List;

constexpr DWORD kDefaultFlags = 0x13;  // files, folders, and the file browser's 0x10
constexpr const char* kKinds[] = {"file", "folder", "item"};

CFileObjectInfoDataBase& RecordsOf(List list) {
  if (list == CFileObjectEnumerationManager::kFiles) return GetFileInfoDataBase();
  return GetFolderInfoDataBase();
}

// "new<TAB>KIND<TAB>INDEX<TAB>FLAGS<TAB>ICON<TAB>URL"; raw entries and items
// have no flags or icon of their own, an item shows its text.
void PrintNew(List list, const FileObjectEntry& entry) {
  if (entry.item) {
    std::printf("new\titem\t%d\t-\t-\t%s\n", entry.sortedIndex, entry.item->GetName());
    return;
  }
  if (!entry.info) {
    std::printf("new\t%s\t%d\t-\t-\t%s\n", kKinds[list], entry.sortedIndex, entry.GetUrl());
    return;
  }
  CriticalSectionLock lock(RecordsOf(list).GetLock());
  std::printf("new\t%s\t%d\t%lu\t%d\t%s\n", kKinds[list], entry.sortedIndex,
              static_cast<unsigned long>(entry.info->flags), entry.info->iconIndex, entry.GetUrl());
}

void PrintFinal(List list, const FileObjectEntry& entry) {
  if (entry.item) {
    std::printf("item\t%s\n", entry.item->GetName());
    return;
  }
  std::string display;
  if (entry.info) {
    CriticalSectionLock lock(RecordsOf(list).GetLock());
    if (entry.info->displayText) display = *entry.info->displayText;
  }
  std::printf("%s\t%s\t%s\n", kKinds[list], entry.GetUrl(), display.c_str());
}

bool BroughtEntries(const CFileObjectEnumerationManager& manager) {
  for (int list = 0; list < CFileObjectEnumerationManager::kListCount; ++list)
    if (manager.GetNew(static_cast<List>(list))) return true;
  return false;
}

}  // namespace

TOOL_COMMAND(RunEnum, "enum",
             "[--plugins DIR] [--flags N] [--pattern P] [--polls] URL  list URL as the file browser does, through "
             "the host's file-object enumerator providers and then DIR's plug-ins' (the log goes to stderr), "
             "polling every 50 ms until the listing is done; flags default to 0x13 (files, folders and the file "
             "browser's 0x10). Prints the merged files, then the folders, then the control items, each in arrival "
             "order: \"file<TAB>URL<TAB>DISPLAY\", \"folder<TAB>URL<TAB>DISPLAY\" (DISPLAY the record's display "
             "text, empty when none), \"item<TAB>TEXT\", then \"done\". With --polls it first prints, for every poll "
             "N (counted from 1) that brought entries, \"poll N\" and per new entry "
             "\"new<TAB>KIND<TAB>INDEX<TAB>FLAGS<TAB>ICON<TAB>URL\" (KIND file, folder or item; INDEX the sorted "
             "position, -1 for raw entries; FLAGS and ICON \"-\" for raw entries and items; an item's text in "
             "place of the URL)") {
  std::string plugIns;
  std::string url;
  std::string pattern;
  bool hasPattern = false;
  bool polls = false;
  DWORD flags = kDefaultFlags;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--polls") {
      polls = true;
    } else if (arg == "--plugins" || arg == "--flags" || arg == "--pattern") {
      if (i + 1 == args.size()) return tool::Fail(arg + " takes a value");
      const std::string& value = args[++i];
      if (arg == "--plugins") {
        plugIns = value;
      } else if (arg == "--pattern") {
        pattern = value;
        hasPattern = true;
      } else {
        uint64_t parsed = 0;
        if (!tool::ParseUnsigned(value, parsed, 0xFFFFFFFFu)) return tool::Fail("not a flags word: " + value);
        flags = static_cast<DWORD>(parsed);
      }
    } else if (url.empty()) {
      url = arg;
    } else {
      return tool::Fail("one URL only: " + arg);
    }
  }
  if (url.empty()) return tool::Fail("enum takes a URL");

  twltool::StdoutLogFront front(stderr);
  CPlugInLoader loader;
  if (!plugIns.empty()) loader.LoadPlugIns(plugIns.c_str());
  CFileObjectEnumerationSystem& system = GetFileObjectEnumerationSystem();
  system.Init(&loader.GetManager());
  std::unique_ptr<CFileObjectEnumerationManager> manager(
      system.StartEnumeration(url.c_str(), hasPattern ? pattern.c_str() : nullptr, flags, nullptr));
  for (int poll = 1; !manager->IsDone(); ++poll) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    manager->MergeResults();
    if (!polls || !BroughtEntries(*manager)) continue;
    std::printf("poll %d\n", poll);
    for (int list = 0; list < CFileObjectEnumerationManager::kListCount; ++list)
      for (const FileObjectEntry* entry = manager->GetNew(static_cast<List>(list)); entry; entry = entry->next)
        PrintNew(static_cast<List>(list), *entry);
  }
  for (int list = 0; list < CFileObjectEnumerationManager::kListCount; ++list)
    for (const FileObjectEntry* entry = manager->GetHead(static_cast<List>(list)); entry; entry = entry->next)
      PrintFinal(static_cast<List>(list), *entry);
  std::printf("done\n");
  std::fflush(stdout);
  manager.reset();
  system.Exit();
  loader.UnloadPlugIns();
  return 0;
}
