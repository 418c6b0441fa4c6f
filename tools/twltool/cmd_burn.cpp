// `twltool burn`: the player's "Burn" command on a playlist loaded from a
// file or made from texts.
#include <cstdio>
#include <string>
#include <vector>

#include "StdoutLogFront.h"
#include "app/playercommands/BurnerLaunch.h"
#include "driver/Command.h"
#include "foundation/kernel/Error.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayList.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/players/PlayerSystemConnection.h"

TOOL_COMMAND(RunBurn, "burn",
             "[--load FILE] [TEXT...]  record the playlist to CD as the player's Burn button does: the playlist "
             "is the native playlist FILE, or the one the TEXTs make as dropped files do; the burner is the "
             "program of PlayListBurnerPath (user, then machine). Message boxes take their default answers "
             "(their texts go to stderr). Prints `start COMMANDLINE` for a started burner, and the log") {
  std::string load;
  std::vector<std::string> texts;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--load") {
      if (i + 1 == args.size()) return tool::Fail("--load takes a file");
      load = args[++i];
    } else {
      texts.push_back(args[i]);
    }
  }
  twltool::StdoutLogFront front;
  CPlayerSystem& players = GetPlayerSystem();
  ConnectPlayerSystemToHost(players);
  players.SetLastPlayListFolder("");
  players.SetLoadLastPlayList(false);
  players.Init(nullptr);
  int status = 0;
  if (!load.empty()) {
    try {
      CPlayList list;
      list.Load(load.c_str(), GetFileInfoDataBase(), GetFolderInfoDataBase());
      players.SetPlayList(list);
    } catch (CError* error) {
      status = tool::Fail("burn: " + load + ": " + error->GetText().c_str());
      DisposeError(error);
    }
  }
  if (status == 0) {
    std::vector<const char*> urls;
    for (const std::string& text : texts) urls.push_back(text.c_str());
    if (!urls.empty()) players.AddUrls(nullptr, -1, urls.data(), static_cast<INT>(urls.size()));
    const CStr command = RecordPlayListToCD(nullptr);
    if (*command.c_str()) std::printf("start %s\n", command.c_str());
  }
  players.Exit();
  DisconnectPlayerSystemFromHost(players);
  return status;
}
