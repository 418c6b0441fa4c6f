// Executing a command block on the user-interface thread, record by
// record. A block may come from another process, so a record that does
// not hold what its type needs is skipped and logged; the other records
// still run.
#include <strings.h>

#include <cstring>

#include "app/command/CommandBlock.h"
#include "app/core/System.h"
#include "app/core/UserInterfaceLink.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "pluginhost/fileinfo/InfoDataBases.h"

namespace {

bool IsTextCommand(DWORD type) {
  return type == COMMAND_ADD || type == COMMAND_ADD_AND_SELECT || type == COMMAND_LOAD_PLAYLIST ||
         type == COMMAND_INSTALL_SKIN || type == COMMAND_INSTALL_AND_ACTIVATE_SKIN;
}

bool IsValueCommand(DWORD type) { return type == COMMAND_LOOP || type == COMMAND_SHUFFLE || type == COMMAND_MINIMIZE; }

CStr AsUrl(const CStr& text) {
  if (std::strstr(text.c_str(), "://")) return text;
  return CStr::Format("file://%s", text.c_str());
}

bool HasExtension(const CStr& path, const char* extension) {
  const char* dot = std::strrchr(path.c_str(), '.');
  return dot && strcasecmp(dot, extension) == 0;
}

void AddUrl(const CStr& text, bool makeCurrent) {
  CPlayerSystem& players = GetPlayerSystem();
  const CStr url = AsUrl(text);
  const char* texts[] = {url.c_str()};
  CPlayListEntry* made[1] = {nullptr};
  players.AddUrls(nullptr, -1, texts, 1, made);
  if (!makeCurrent || !made[0] || made[0]->IsFolder()) return;
  players.SetCurrentEntry(static_cast<CPlayListFileEntry*>(made[0])->GetFileNumber());
}

// M3U and PLS lists cannot be read yet: they fail with a clear reason.
// The playlist's entries take their records from the system's databases,
// which are the process's.
void ReadPlayList(CPlayList& list, const CStr& path, CSystem& system) {
  if (HasExtension(path, ".m3u") || HasExtension(path, ".pls")) {
    ThrowError<CError>(LocalText("CSystem.LoadPlayListFailed", "Error loading playlist"),
                       CStr::Format("'%s': this kind of playlist cannot be read.", path.c_str()));
  }
  CFileInfoDataBase& files = system.GetFileInfoDataBase() ? *system.GetFileInfoDataBase() : ::GetFileInfoDataBase();
  CFolderInfoDataBase& folders =
      system.GetFolderInfoDataBase() ? *system.GetFolderInfoDataBase() : ::GetFolderInfoDataBase();
  list.Load(path, files, folders);
}

void LoadPlayList(const CStr& path, CSystem& system) {
  try {
    CPlayList list;
    ReadPlayList(list, path, system);
    GetPlayerSystem().SetPlayList(list);
  } catch (CError* error) {
    StoreThreadError(error);
    DisposeError(error);
    LogThreadError(LOGCODE_ERROR, LocalText("CSystem.LoadPlayListFailed", "Error loading playlist"));
  }
}

void InstallSkinOrLog(CSystem& system, const CStr& path, bool activate) {
  if (!system.InstallSkin(path, activate)) LogThreadError(LOGCODE_ERROR, nullptr);
}

void SetMinimized(bool minimize) {
  CUserInterfaceLink* ui = GetUserInterfaceLink();
  if (!ui) return;
  if (minimize)
    ui->MinimizeAll(true);
  else
    ui->RestoreAll();
}

}  // namespace

void CSystem::ExecuteCommandBlock(const CommandBlock& block) {
  std::optional<CommandCursor> cursor = GetFirstCommandRecord(block);
  while (std::optional<CommandRecordView> record = GetNextCommandRecord(cursor)) ExecuteCommand(*record);
}

void CSystem::ExecuteCommand(const CommandRecordView& record) {
  CStr text;
  DWORD value = 0;
  if (IsTextCommand(record.type) && !GetCommandText(record, text)) {
    LogFormat(LOGCODE_ERROR, "%s\n",
              LocalText("CSystem.CommandTextUnterminated", "Command skipped: its text has no end.").c_str());
    return;
  }
  if (IsValueCommand(record.type) && !GetCommandValue(record, value)) {
    LogFormat(LOGCODE_ERROR, "%s\n",
              LocalText("CSystem.CommandValueMissing", "Command skipped: its value is missing.").c_str());
    return;
  }
  switch (record.type) {
    case COMMAND_ADD:
    case COMMAND_ADD_AND_SELECT:
      AddUrl(text, record.type == COMMAND_ADD_AND_SELECT);
      break;
    case COMMAND_LOOP:
      GetPlayerSystem().SetLoop(value != 0);
      break;
    case COMMAND_SHUFFLE:
      GetPlayerSystem().SetShuffle(value != 0);
      break;
    case COMMAND_PLAY:
      GetPlayerSystem().StartPlayback();
      break;
    case COMMAND_MINIMIZE:
      SetMinimized(value != 0);
      break;
    case COMMAND_LOAD_PLAYLIST:
      LoadPlayList(text, *this);
      break;
    case COMMAND_INSTALL_SKIN:
    case COMMAND_INSTALL_AND_ACTIVATE_SKIN:
      InstallSkinOrLog(*this, text, record.type == COMMAND_INSTALL_AND_ACTIVATE_SKIN);
      break;
    default:
      break;  // types of later programs
  }
}
