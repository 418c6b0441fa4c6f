// The playlist of the last run, kept as "LastPlayList.p4u" in the program
// folder: loaded at the end of Init, saved by Exit.
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/StreamError.h"
#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/hostapi/HostEnvironment.h"

namespace {

constexpr const char* kFileName = "LastPlayList.p4u";
constexpr DWORD kErrorCategory = 0x100;

void LogDone(const char* key) { LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText(key, "done").c_str()); }

void LogError(CError* error) {
  LogFormat(kErrorCategory, "%s : %s\n", error->GetCaption().c_str(), error->GetText().c_str());
  DisposeError(error);
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
    if (!streamError || streamError->GetCode() != CStreamError::kFileNotFound) return LogError(error);
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
