#include "app/playercommands/BurnerLaunch.h"

#include <vector>

#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/auxwindow/AuxMessageBox.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayList.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "twlwin/fileversion.h"

namespace {

constexpr const char* kBurnerKey = "Software\\Velbrook\\Velbrook Kilnar! Add-On";
constexpr const char* kBurnerValue = "PlayListBurnerPath";
constexpr const char* kAddOnPage = "/internet/download/0014/add-ons";
constexpr const char* kUpdatePage = "/internet/download/0014/add-ons/kilnar_1.htm";
// The one burner version that cannot read this player's playlists.
constexpr DWORD kRefusedVersionMS = 0x00010000;
constexpr DWORD kRefusedVersionLS = 0x00000001;

CStr ReadBurnerPath(HKEY root) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, kBurnerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return CStr();
  CStr path;
  if (!GetRegistryString(key, kBurnerValue, path)) path = CStr();
  RegCloseKey(key);
  return path;
}

bool IsRefusedVersion(const CStr& program) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &handle);
  if (size == 0) return false;
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoA(program.c_str(), handle, size, data.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO))
    return false;
  return info->dwFileVersionMS == kRefusedVersionMS && info->dwFileVersionLS == kRefusedVersionLS;
}

void OfferPage(HWND parent, const char* captionKey, const char* caption, const char* textKey, const char* text,
               const char* page) {
  if (AuxMessageBox(parent, LocalText(textKey, text).c_str(), LocalText(captionKey, caption).c_str(),
                    MB_YESNO | MB_ICONINFORMATION) == IDYES)
    CUserInterface::StartWebBrowser((CUserInterface::GetWebHost() + page).c_str());
}

// The playlist's file entries, in display order, as a new native playlist
// file; its path, or empty with the thread error set (the file is gone).
CStr WriteFlattenedPlayList(CPlayList& current) {
  CPlayList copy;
  copy.Assign(current);
  CPlayList flat;
  CPlayerSystem::FlattenEntries(flat, copy);
  flat.Renumber();
  CStr path;
  try {
    HANDLE file = nullptr;
    path = CSystem::CreateTempFile("TWLTmp", ".p4u", &file);
    CloseHandle(file);
    flat.Save(path.c_str(), GetFileInfoDataBase());
  } catch (CError* error) {
    StoreThreadError(error);
    DisposeError(error);
    if (*path.c_str()) DeleteFileA(path.c_str());
    return CStr();
  }
  return path;
}

void LogStartFailed() {
  LogThreadError(LOG_CATEGORY_ERROR,
                 LocalText("CPlayerSystem.CDRecordExecuteError", "Error starting cd recording component.").c_str());
}

}  // namespace

std::string QuoteCommandArgument(const std::string& text) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(2 * backslashes + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

CStr FindPlayListBurner() {
  CStr path = ReadBurnerPath(HKEY_CURRENT_USER);
  if (!*path.c_str()) path = ReadBurnerPath(HKEY_LOCAL_MACHINE);
  if (!*path.c_str() || !CSystem::FileExists(path.c_str())) return CStr();
  return path;
}

CStr RecordPlayListToCD(HWND parent) {
  const CStr program = FindPlayListBurner();
  if (!*program.c_str()) {
    OfferPage(parent, "CPlayerSystem.KilnarAddOnNotInstalled.Caption", "Add-on needed",
              "CPlayerSystem.KilnarAddOnNotInstalled.Text",
              "The Velbrook Kilnar! Add-On is needed to record playlists to a data media CD. This add-on is not "
              "currently installed on your system.\n\nDo you want to visit the Velbrook website to download the "
              "add-on now?",
              kAddOnPage);
    return CStr();
  }
  if (IsRefusedVersion(program)) {
    OfferPage(parent, "CPlayerSystem.KilnarAddOnOutdated.Caption", "Please update ...",
              "CPlayerSystem.KilnarAddOnOutdated.Text",
              "The Velbrook Kilnar! Add-On version that is currently installed on your system cannot be used with "
              "this version of Velbrook Tunewell. Please install an updated version of the Velbrook Kilnar! "
              "Add-On.\n\nDo you want to visit the Velbrook website to download a free update now?",
              kUpdatePage);
    return CStr();
  }
  CPlayList& current = GetPlayerSystem().GetPlayList();
  const CStr name = current.GetName();
  const CStr list = WriteFlattenedPlayList(current);
  if (!*list.c_str()) {
    LogStartFailed();
    return CStr();
  }
  // The program runs to the next double quote: its path cannot be escaped.
  std::string command = "\"" + std::string(program.c_str()) + "\"";
  if (*name.c_str()) command += " -n " + QuoteCommandArgument(name.c_str());
  command += " -p " + QuoteCommandArgument(list.c_str());
  if (!CSystem::StartProcess(command.c_str(), nullptr)) {
    LogStartFailed();
    DeleteFileA(list.c_str());
    return CStr();
  }
  return CStr(command.c_str());
}
