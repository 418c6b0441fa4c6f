// The playlist of the last run, kept as "LastPlayList.p4u" in the program
// folder: loaded at the end of Init, saved by Exit.
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"
#include "foundation/streams/StreamError.h"
#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/hostapi/HostEnvironment.h"

namespace {

constexpr const char* kFileName = "LastPlayList.p4u";
constexpr const char* kKeptSuffix = ".bad";
constexpr DWORD kErrorCategory = 0x100;

void LogDone(const char* key) { LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText(key, "done").c_str()); }

void LogNamingFile(DWORD category, const char* key, const char* defaultText, const CStr& file) {
  LogFormat(category, "%s\n", ReplacePlaceholder(LocalText(key, defaultText), {"%FILE%", file}).c_str());
}

void LogError(CError* error) {
  LogFormat(kErrorCategory, "%s : %s\n", error->GetCaption().c_str(), error->GetText().c_str());
  DisposeError(error);
}

// The exit saves the playlist over the file it could not read: the file
// is moved aside first, so that a user can still recover its entries.
void KeepUnreadLastPlayList(const CStr& path) {
  const CStr kept = path + kKeptSuffix;
  if (!MoveFileExA(path, kept, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    LogNamingFile(kErrorCategory, "CPlayerSystem.LastPlayList.NotKept", "could not keep the unread file as %FILE%",
                  kept);
    return;
  }
  LogNamingFile(LOG_CATEGORY_INFO, "CPlayerSystem.LastPlayList.Kept", "the unread file was kept as %FILE%", kept);
}

}  // namespace

CStr CPlayerSystem::GetLastPlayListPath() const {
  const CStr folder = m_LastPlayListFolder ? *m_LastPlayListFolder : GetHostEnvironment().GetProgramFolder();
  return folder.IsEmpty() ? CStr() : folder + kFileName;
}

void CPlayerSystem::LoadLastPlayList() {
  const CStr path = GetLastPlayListPath();
  if (path.IsEmpty()) return;
  LogFormat(LOG_CATEGORY_INFO, "%s",
            LocalText("CPlayerSystem.LoadingLastPlayList", "loading last playlist...").c_str());
  CPlayList loaded;
  try {
    loaded.Load(path, m_Files, m_Folders);
  } catch (CError* error) {
    const auto* streamError = dynamic_cast<CStreamError*>(error);
    if (!streamError || streamError->GetCode() != CStreamError::kFileNotFound) {
      LogError(error);
      return KeepUnreadLastPlayList(path);
    }
    DisposeError(error);
    LogFormat(LOG_CATEGORY_INFO, "%s\n",
              LocalText("CPlayerSystem.LastPlayList.FileNotFound", "file doesn't exist").c_str());
    return;
  }
  loaded.SetName("");
  SetPlayList(loaded);
  LogDone("CPlayerSystem.LoadingLastPlayList.Done");
}

void CPlayerSystem::SaveLastPlayList() {
  const CStr path = GetLastPlayListPath();
  if (path.IsEmpty()) return;
  LogFormat(LOG_CATEGORY_INFO, "%s",
            LocalText("CPlayerSystem.SavingLastPlayList", "saving last playlist...").c_str());
  UpdatePlayListFlags();
  try {
    m_PlayList.Save(path, m_Files);
  } catch (CError* error) {
    LogError(error);
    return;
  }
  LogDone("CPlayerSystem.SavingLastPlayList.Done");
}
