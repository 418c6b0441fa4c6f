#include <cstdio>
#include <string>
#include <vector>

#include "StdoutLogFront.h"
#include "driver/Command.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/identifiers/FileIdentifierSystem.h"
#include "pluginhost/plugins/PlugInLoader.h"

namespace {

struct Identified {
  std::string text;
  int textPriority = 0;
  int iconPriority = 0;
};

// A folder entry (a name ending in "/", a playlist file) has no file record.
Identified ReadRecord(CPlayListEntry* entry) {
  Identified found;
  if (!entry || entry->IsFolder()) return found;
  FileInfoRecord* record = static_cast<CPlayListFileEntry*>(entry)->GetFileInfo();
  CriticalSectionLock lock(GetFileInfoDataBase().GetLock());
  if (record->typeText) found.text = *record->typeText;
  found.textPriority = record->typeTextPriority;
  found.iconPriority = record->typeIconPriority;
  return found;
}

}  // namespace

TOOL_COMMAND(RunIdentify, "identify",
             "--plugins DIR URL...  start the file identifier system with the identifiers of DIR's plug-ins, add "
             "the URLs to the playlist as the player does (so their records are queued for identification), wait "
             "until the queue is empty, stop and print per URL \"URL<TAB>TEXT<TAB>TEXTPRIORITY<TAB>ICONPRIORITY\" "
             "(an empty text and 0 when unset); the log goes to stderr as it is written") {
  std::string plugIns;
  std::vector<std::string> urls;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--plugins") {
      if (i + 1 == args.size()) return tool::Fail("--plugins takes a path");
      plugIns = args[++i];
    } else {
      urls.push_back(args[i]);
    }
  }
  if (plugIns.empty()) return tool::Fail("--plugins DIR is needed");

  twltool::StdoutLogFront front(stderr);
  CPlugInLoader loader;
  loader.LoadPlugIns(plugIns.c_str());
  CFileIdentifierSystem& identifiers = GetFileIdentifierSystem();
  identifiers.Init(&loader.GetManager(), GetFileInfoDataBase());
  // A player system without players: only its playlist is used.
  CPlayerSystem& players = GetPlayerSystem();
  players.SetFileIdentifier(&identifiers);
  players.SetLoadLastPlayList(false);
  players.SetLastPlayListFolder("");
  players.Init(nullptr);

  std::vector<const char*> texts;
  for (const auto& url : urls) texts.push_back(url.c_str());
  std::vector<CPlayListEntry*> entries(urls.size(), nullptr);
  players.AddUrls(nullptr, -1, texts.data(), static_cast<INT>(texts.size()), entries.data());
  identifiers.WaitUntilIdle(INFINITE);

  std::vector<Identified> found;
  for (CPlayListEntry* entry : entries) found.push_back(ReadRecord(entry));
  players.Exit();
  players.SetFileIdentifier(nullptr);
  identifiers.Exit();
  loader.UnloadPlugIns();
  for (size_t i = 0; i < urls.size(); ++i)
    std::printf("%s\t%s\t%d\t%d\n", urls[i].c_str(), found[i].text.c_str(), found[i].textPriority,
                found[i].iconPriority);
  return 0;
}
