// Executing a command block on the user-interface thread, record by
// record (adds that follow each other in one step). A block may come from another process, so a record that does
// not hold what its type needs is skipped and logged; the other records
// still run.
#include <strings.h>

#include <cstring>
#include <vector>

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

bool IsAddCommand(DWORD type) { return type == COMMAND_ADD || type == COMMAND_ADD_AND_SELECT; }

struct AddItem {
  CStr url;
  bool makeCurrent;
};

// The items go to the end of the playlist in one insertion, so a line of
// ten thousand files costs one renumbering, not ten thousand; the entries
// to make current are then made so in their order, as one by one.
void AddUrls(const std::vector<AddItem>& items) {
  if (items.empty()) return;
  CPlayerSystem& players = GetPlayerSystem();
  std::vector<const char*> texts;
  texts.reserve(items.size());
  for (const AddItem& item : items) texts.push_back(item.url.c_str());
  std::vector<CPlayListEntry*> made(items.size(), nullptr);
  players.AddUrls(nullptr, -1, texts.data(), static_cast<INT>(texts.size()), made.data());
  for (size_t i = 0; i < items.size(); ++i) {
    if (!items[i].makeCurrent || !made[i] || made[i]->IsFolder()) continue;
    players.SetCurrentEntry(static_cast<CPlayListFileEntry*>(made[i])->GetFileNumber());
  }
}

void AddUrl(const CStr& text, bool makeCurrent) { AddUrls({AddItem{AsUrl(text), makeCurrent}}); }

// The reader follows the extension. The playlist's entries take their
// records from the system's databases, which are the process's.
void ReadPlayList(CPlayList& list, const CStr& path, CSystem& system) {
  CFileInfoDataBase& files = system.GetFileInfoDataBase() ? *system.GetFileInfoDataBase() : ::GetFileInfoDataBase();
  CFolderInfoDataBase& folders =
      system.GetFolderInfoDataBase() ? *system.GetFolderInfoDataBase() : ::GetFolderInfoDataBase();
  list.LoadAny(path, files, folders);
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

// Adds that follow each other are executed together (see AddUrls); every
// other record on its own, in block order.
void CSystem::ExecuteCommandBlock(const CommandBlock& block) {
  std::optional<CommandCursor> cursor = GetFirstCommandRecord(block);
  std::vector<AddItem> adds;
  while (std::optional<CommandRecordView> record = GetNextCommandRecord(cursor)) {
    CStr text;
    if (IsAddCommand(record->type) && GetCommandText(*record, text)) {
      adds.push_back({AsUrl(text), record->type == COMMAND_ADD_AND_SELECT});
      continue;
    }
    AddUrls(adds);
    adds.clear();
    ExecuteCommand(*record);
  }
  AddUrls(adds);
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
