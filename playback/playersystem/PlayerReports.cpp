// What players report from their own threads, and how the reports that
// change playback are handled on the user-interface thread: the end of a
// file, a changed length, the promise to play a file, and exclusive access
// to the file.
#include <memory>

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Placeholder.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"

namespace {

constexpr DWORD kWarningCategory = 0x10000;
constexpr DWORD kPlaybackErrorCategory = 0x500;

}  // namespace

void CPlayerSystem::SetCurrentPlayer(PLUGIN_HANDLE handle) {
  CriticalSectionLock lock(m_CurrentPlayerLock);
  if (handle != m_CurrentPlayerHandle) {
    m_Identifier->RestartIdentification();
    m_WillPlay = false;
  }
  m_CurrentPlayerHandle = handle;
  PostNotice(PLAYER_NOTICE_CURRENT_PLAYER);
}

void CPlayerSystem::PauseVisualization(PLUGIN_HANDLE caller) {
  if (IsCurrentPlayer(caller)) m_Visualizers->PauseVisualization();
}

void CPlayerSystem::ResumeVisualization(PLUGIN_HANDLE caller) {
  if (IsCurrentPlayer(caller)) m_Visualizers->ResumeVisualization();
}

void CPlayerSystem::StopVisualization(PLUGIN_HANDLE caller) {
  if (IsCurrentPlayer(caller)) m_Visualizers->StopVisualizer();
}

bool CPlayerSystem::FeedVisualization(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency,
                                      DWORD bitsPerSample, DWORD channels, PLUGIN_HANDLE caller) {
  if (!IsCurrentPlayer(caller)) return false;
  return m_Visualizers->FeedVisualizer(samples, bytes, playTime, frequency, bitsPerSample, channels) != 0;
}

void CPlayerSystem::NotifyStickToFile(PLUGIN_HANDLE caller) {
  if (!IsCurrentPlayer(caller)) return;
  CriticalSectionLock lock(m_PlaybackLock);
  m_WillPlay = true;
  if (HWND window = m_MessageWindow.GetWindowHandle())
    PostMessageA(window, kStickToFileMessage, 0, static_cast<LPARAM>(m_PlayCounter));
}

// Every end report carries the play it belongs to, so that one handled
// after the user chose another file (or stopped) leaves that choice alone.
void CPlayerSystem::NotifyPlaybackFinished(DWORD result, PLUGIN_HANDLE caller) {
  if (!IsCurrentPlayer(caller)) return;
  std::unique_ptr<ThreadErrorState, void (*)(ThreadErrorState*)> error(CopyThreadError(), &FreeThreadErrorCopy);
  // Taken before the current player is cleared, which forgets it.
  const bool willPlay = m_WillPlay;
  SetCurrentPlayer(nullptr);
  bool paused = false;
  bool stopping = false;
  DWORD playCounter = 0;
  {
    CriticalSectionLock lock(m_PlaybackLock);
    paused = m_Paused;
    m_Playing = false;
    m_Paused = false;
    {
      CriticalSectionLock position(m_PositionLock);
      m_EndPosition = m_Position;
      m_EndLength = m_Length;
      m_Position = 0;
      m_Length = 0;
    }
    playCounter = m_PlayCounter;
    stopping = m_Stopping;
  }
  if (result == PLAYBACK_FINISHED)
    LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText("CPlayerSystem.LogFinished", "FINISHED").c_str());
  if (stopping) return;
  if (result == PLAYBACK_ERROR) {
    if (error) SetThreadError(error->type, error->code, error->text);
    LogThreadError(kPlaybackErrorCategory, LocalText("CPlayerSystem.PlaybackError", "Error while playing"));
  }
  const HWND window = m_MessageWindow.GetWindowHandle();
  if (!window) return;
  auto* record = new (std::nothrow)
      RefusalRecord{error && error->text ? CStr(error->text) : CStr(), playCounter, willPlay};
  if (!record) return;
  const WPARAM wParam = result | (paused ? kPausedBit : 0);
  if (!PostMessageA(window, kPlaybackFinishedMessage, wParam, reinterpret_cast<LPARAM>(record))) delete record;
}

void CPlayerSystem::SetPosition(DWORD milliseconds, PLUGIN_HANDLE caller) {
  if (!IsCurrentPlayer(caller)) return;
  CriticalSectionLock lock(m_PositionLock);
  m_Position = milliseconds;
}

void CPlayerSystem::SetLength(DWORD milliseconds, PLUGIN_HANDLE caller) {
  if (!IsCurrentPlayer(caller)) return;
  CriticalSectionLock lock(m_PositionLock);
  if (milliseconds != m_Length)
    if (HWND window = m_MessageWindow.GetWindowHandle()) PostMessageA(window, kLengthChangedMessage, 0, 0);
  m_Length = milliseconds;
}

void CPlayerSystem::SetSampleFeed(bool feedsItself, DWORD flags, PLUGIN_HANDLE caller) {
  if (!IsCurrentPlayer(caller)) return;
  CriticalSectionLock lock(m_PlaybackLock);
  if (feedsItself || (flags & 1) == 0) m_Visualizers->StopSampler();
}

PlayingInfo CPlayerSystem::GetPlayingInfo() {
  PlayingInfo info;
  {
    CriticalSectionLock lock(m_PlayingInfoLock);
    info.url = m_PlayingUrl;
    info.displayName = m_PlayingDisplayName;
    info.title = m_PlayingTitle;
  }
  if (!info.url.IsEmpty()) GetPositionAndLength(info.position, info.length);
  return info;
}

bool CPlayerSystem::GetExclusiveFileAccess(const char* url, PLUGIN_HANDLE caller) {
  FileInfoRecord* file = url ? m_Files.Get(url) : nullptr;
  {
    CriticalSectionLock lock(m_CurrentPlayerLock);
    CPlayer* player = caller == m_CurrentPlayerHandle ? FindPlayerByHandle(caller) : nullptr;
    if (file && player && player->IsExclusiveAccessAllowed()) {
      m_Identifier->AddToPendingList(file);
      Sessions().ReleaseSessionsOnUrl(url);
      // The current player cannot change meanwhile: the lock stays held.
      while (m_Identifier->GetCurrentObject() == file) Sleep(5);
      return true;
    }
  }
  CPlayer* named = FindPlayerByHandle(caller);
  const CStr text = ReplacePlaceholder(
      LocalText("CPlayerSystem.GetExclusiveFileAccessNotAllowed",
                "The plugin '%PLUGIN%' called 'GetExclusiveFileAccess' but is not allowed to do so."),
      {"%PLUGIN%", named ? named->GetName() : ""});
  SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_ACCESS_DENIED, text);
  return false;
}

// Under the current-player lock, as the file access above: a stop clears
// the current player before it releases the controls, so every control
// handed out is released by it. (Play holds the playback lock while a
// player starts; a player thread asking meanwhile must not wait for it.)
bool CPlayerSystem::GetMixerVolumeControl(DWORD componentType, CMixerVolumeControl** control, PLUGIN_HANDLE caller) {
  if (!control) {
    SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_INVALID_PARAM, GetMiscErrorText(MISC_ERROR_INVALID_PARAM));
    return false;
  }
  *control = nullptr;
  CriticalSectionLock lock(m_CurrentPlayerLock);
  if (!caller || caller != m_CurrentPlayerHandle) {
    SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_ACCESS_DENIED, GetMiscErrorText(MISC_ERROR_ACCESS_DENIED));
    return false;
  }
  return m_Mixer->GetVolumeControl(componentType, control);
}

// --- The own message window

void CPlayerSystem::OnMessage(void* context, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* system = static_cast<CPlayerSystem*>(context);
  switch (message) {
    case kPlaybackFinishedMessage:
      system->OnPlaybackFinished(wParam, lParam);
      break;
    case kLengthChangedMessage:
      system->OnLengthChanged();
      break;
    case kStickToFileMessage:
      system->OnStickToFile(static_cast<DWORD>(lParam));
      break;
    default:
      break;
  }
}

void CPlayerSystem::OnLengthChanged() {
  FileInfoRecord* file = GetCurrentFileObject();
  if (!file) return;
  DWORD position = 0;
  DWORD length = 0;
  GetPositionAndLength(position, length);
  if (length != 0xFFFFFFFF) RecordLength(length);
}

void CPlayerSystem::RecordLength(DWORD length) {
  if (FileInfoRecord* file = GetCurrentFileObject())
    m_Files.UpdateFileInfo(file->key, nullptr, 0, 0, 0, static_cast<int>(length), kPlayerLengthPriority);
}

void CPlayerSystem::OnStickToFile(DWORD playCounter) {
  if (playCounter == GetPlayCounter()) Sessions().DetachSession();
}

void CPlayerSystem::OnPlaybackFinished(WPARAM wParam, LPARAM lParam) {
  std::unique_ptr<RefusalRecord> record(reinterpret_cast<RefusalRecord*>(lParam));
  if (!record || record->playCounter != GetPlayCounter()) return;  // the user moved on meanwhile
  const DWORD result = static_cast<DWORD>(wParam) & ~kPausedBit;
  const bool paused = (wParam & kPausedBit) != 0;

  m_Viewer->SetUser(CPlayerViewer::kPlayerMode, nullptr);
  Sessions().SetSessionOwner(nullptr);
  m_Viewer->DisableUser(CPlayerViewer::kPlayerMode);
  const bool willPlay = m_WillPlay.exchange(false) || record->willPlay;
  m_MessageWindow.DiscardMessages(kLengthChangedMessage);
  m_Visualizers->StopVisualizer();
  m_Mixer->RestoreAllVolumes();

  if (result == PLAYBACK_CANNOT_PLAY) {
    if (willPlay) {
      CPlayer* refused = GetCurrentPlayer();
      const CStr text = ReplacePlaceholder(
          LocalText("CPlayerSystem.TryOtherAfterStickToFile",
                    "WARNING: Plugin '%PLUGIN%' notified the player that it WILL be able to play the file but then "
                    "said that it cannot. This might result in degraded performance if the file can only be accessed "
                    "slowly."),
          {"%PLUGIN%", refused ? refused->GetName() : ""});
      LogFormat(kWarningCategory, "%s\n", text.c_str());
    }
    if (!PlayWithNextCandidate(*record))
      m_Visualizers->EndPlayback();
    else if (paused)
      Pause();
  } else {
    Sessions().CloseSession();
    INT failed = 0;
    {
      CriticalSectionLock lock(m_PlaybackLock);
      if (result == PLAYBACK_FINISHED)
        m_FailedFiles = 0;
      else
        ++m_FailedFiles;
      failed = m_FailedFiles;
    }
    if (result == PLAYBACK_FINISHED) {
      DWORD length = 0;
      {
        CriticalSectionLock position(m_PositionLock);
        length = m_EndLength == 0xFFFFFFFF || m_EndLength < m_EndPosition ? m_EndPosition : m_EndLength;
      }
      if (length != 0xFFFFFFFF) RecordLength(length);
    }
    if (failed < GetFileCount() && SelectNextFile()) {
      if (!Play(false))
        m_Visualizers->EndPlayback();
      else if (paused)
        Pause();
    } else {
      {
        CriticalSectionLock lock(m_PlaybackLock);
        m_FailedFiles = 0;
      }
      m_Visualizers->EndPlayback();
    }
  }
  Notify(PLAYER_NOTICE_PLAY_STATE);
}
