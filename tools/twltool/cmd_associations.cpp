// `twltool associations`: the start's check of the file associations with
// the players of a plug-in folder, the extension dialog answered as a user
// would.
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "HiddenWindow.h"
#include "StdoutLogFront.h"
#include "app/associations/FileAssociations.h"
#include "app/associations/FileExtensionDialog.h"
#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "driver/Command.h"
#include "foundation/kernel/Error.h"
#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/players/PlayerSystemConnection.h"
#include "pluginhost/plugins/PlugInLoader.h"
#include "skins/skin/Skin.h"

namespace {

struct AssociationOptions {
  std::string plugIns;
  bool ok = true;
  std::set<std::string> untick;
};

class OwnerEnvironment : public CHostEnvironment {
 public:
  OwnerEnvironment() : m_Owner(twltool::MakeHiddenWindow()) { SetHostEnvironment(this); }
  ~OwnerEnvironment() override { SetHostEnvironment(nullptr); }
  HWND GetOwnerWindow() override { return m_Owner; }

 private:
  HWND m_Owner;
};

// The rows as shown, then the clicks on the icons of the rows to untick
// (a ticked row only), then OK or Cancel.
int AnswerDialog(CFileExtensionDialog& dialog, const AssociationOptions& options) {
  std::printf("dialog %d\n", dialog.GetKind());
  for (int row = 0; row < dialog.GetRowCount(); ++row) {
    const FileExtensionEntry* entry = dialog.GetRowEntry(row);
    std::printf("row %s %lu %d\n", dialog.GetRowText(row, 0).c_str(),
                static_cast<unsigned long>(entry ? entry->fileType : 0), dialog.IsRowTicked(row) ? 1 : 0);
  }
  std::fflush(stdout);
  for (int row = 0; row < dialog.GetRowCount(); ++row) {
    if (options.untick.count(dialog.GetRowText(row, 0).c_str()) && dialog.IsRowTicked(row)) dialog.ClickRowImage(row);
  }
  return options.ok ? CFileExtensionDialog::kScriptOk : CFileExtensionDialog::kScriptCancel;
}

int RunCheck(const AssociationOptions& options) {
  twltool::StdoutLogFront front;
  OwnerEnvironment environment;
  CSystem& system = GetSystem();
  system.InitDirectories();
  system.WriteAppDir();
  CUserInterface& ui = GetUserInterface();
  ui.InitDisplay();
  CSkin skin;
  ui.LoadDefaultSkin(skin);
  if (FAILED(ui.GetDDSkin().Create(skin))) return tool::Fail("associations: the built-in skin cannot be built");
  CFileExtensionDialog::SetUnseenScript(
      [&options](CFileExtensionDialog& dialog) { return AnswerDialog(dialog, options); });
  CPlugInLoader loader;
  if (!options.plugIns.empty()) loader.LoadPlugIns(options.plugIns.c_str());
  CPlayerSystem& players = GetPlayerSystem();
  ConnectPlayerSystemToHost(players);
  players.SetLastPlayListFolder("");
  players.SetLoadLastPlayList(false);
  players.Init(&loader.GetManager());
  associations::CheckFileAssociations(players);
  players.Exit();
  DisconnectPlayerSystemFromHost(players);
  loader.UnloadPlugIns();
  CFileExtensionDialog::SetUnseenScript(nullptr);
  ui.GetDDSkin().Release();
  ui.ExitDisplay();
  return 0;
}

}  // namespace

TOOL_COMMAND(RunAssociations, "associations",
             "[--plugins DIR] [--answer ok|cancel] [--untick EXT,...]  the player's start-up check of the file "
             "associations with the players of DIR's plug-ins (none without it): the stored list, the registry "
             "below the classes root and the desktop's default applications as the player leaves them. Each "
             "extension dialog is answered as a user would: prints `dialog KIND` (1 new extensions, 2 first start, "
             "3 re-register) and `row EXT TYPE 0|1` per row as shown, clicks the check image of each listed EXT "
             "that is ticked, then OK (the default) or Cancel; then the log as it is written") {
  AssociationOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (i + 1 == args.size()) return tool::Fail(arg + " takes a value");
    const std::string& value = args[++i];
    if (arg == "--plugins") {
      options.plugIns = value;
    } else if (arg == "--answer" && (value == "ok" || value == "cancel")) {
      options.ok = value == "ok";
    } else if (arg == "--untick") {
      std::stringstream list(value);
      for (std::string extension; std::getline(list, extension, ',');) options.untick.insert(extension);
    } else {
      return tool::Fail("associations: unknown option or bad value '" + arg + " " + value + "'");
    }
  }
  try {
    return RunCheck(options);
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return tool::Fail("associations: " + text);
  }
}
