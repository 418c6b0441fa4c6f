// Choosing a player for the current entry and driving it: play, stop,
// pause, resume, seek.
#include <strings.h>

#include <algorithm>

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Placeholder.h"
#include "playback/player/CandidateOrder.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"

namespace {

constexpr DWORD kPlayFailureCategory = 0x500;

CStr WithFile(const char* key, const char* defaultText, const char* url) {
  return ReplacePlaceholder(LocalText(key, defaultText), {"%FILE%", url});
}

// Tried after: a worse answer, or an equal one whose key sorts later
// without case.
bool TriedAfter(CPlayer* a, const CanPlayAnswer& answerA, CPlayer* b, const CanPlayAnswer& answerB) {
  const int order = CompareAnswers(answerA, answerB);
  if (order != 0) return order > 0;
  return strcasecmp(a->GetKey(), b->GetKey()) > 0;
}

}  // namespace

void CPlayerSystem::FindCandidatePlayers(const char* url) {
  m_Candidates.clear();
  m_Answers.clear();
  std::vector<CPlayer*> players;
  {
    CriticalSectionLock lock(m_PlayersLock);
    players = m_Players;
  }
  for (CPlayer* player : players) {
    CanPlayAnswer answer{};
    if (!player->AskCanPlay(url, answer)) continue;
    m_Candidates.push_back(player);
    m_Answers.push_back(answer);
  }
  // A stable bubble sort: equal answers and keys keep the loading order.
  const size_t count = m_Candidates.size();
  for (size_t pass = count; pass > 1; --pass) {
    for (size_t i = 0; i + 1 < pass; ++i) {
      if (!TriedAfter(m_Candidates[i], m_Answers[i], m_Candidates[i + 1], m_Answers[i + 1])) continue;
      std::swap(m_Candidates[i], m_Candidates[i + 1]);
      std::swap(m_Answers[i], m_Answers[i + 1]);
    }
  }
  ApplyPlayerPreference(url);
}

bool CPlayerSystem::Play(bool prepareVisualizers) {
  // One failing file moves playback on; the loop (not a call per file)
  // keeps a long run of unplayable files off the stack.
  for (;;) {
    if (PlayOnce(prepareVisualizers) != Attempt::kFailed) return true;
    if (!MoveOnAfterFailure()) return false;
  }
}

CPlayerSystem::Attempt CPlayerSystem::PlayOnce(bool prepareVisualizers) {
  CriticalSectionLock lock(m_PlaybackLock);
  m_PlayPending = false;
  CPlayListFileEntry* entry = GetCurrentEntry();
  if (m_Playing || !entry) return Attempt::kNothingToDo;

  ++m_PlayCounter;
  m_WillPlay = false;
  const CStr url = entry->GetURL();
  LogFormat(LOG_CATEGORY_INFO, "%s", WithFile("CPlayerSystem.LogPlaying", "playing '%FILE%'", url).c_str());
  m_ErrorText = CStr();
  FindCandidatePlayers(url);
  if (m_Candidates.empty()) {
    LogFormat(kPlayFailureCategory, "%s\n",
              WithFile("CPlayerSystem.NoPlayersForFile",
                       "Can't play '%FILE%'. No player plugins available for this file type.", url)
                  .c_str());
    return Attempt::kFailed;
  }

  Sessions().SetSessionUrl(url);
  if (prepareVisualizers) m_Visualizers->StartPlayback();
  if (TryCandidates(0, url, entry->GetFileInfo())) {
    lock.Leave();
    Notify(PLAYER_NOTICE_PLAY_STATE);
    return Attempt::kPlaying;
  }
  LogAllRefused(url);
  Sessions().CloseSession();
  if (prepareVisualizers) m_Visualizers->EndPlayback();
  return Attempt::kFailed;
}

// Under the playback lock.
bool CPlayerSystem::TryCandidates(size_t first, const CStr& url, FileInfoRecord* file) {
  for (size_t index = first; index < m_Candidates.size(); ++index) {
    CPlayer* player = m_Candidates[index];
    if (!Sessions().IsSessionOn(url)) Sessions().SetSessionUrl(url);
    DWORD knownLength = 0;
    if (file) {
      CriticalSectionLock files(m_Files.GetLock());
      if (file->thirdValuePriority != 0 && file->thirdValue != -1) knownLength = static_cast<DWORD>(file->thirdValue);
    }
    {
      CriticalSectionLock position(m_PositionLock);
      m_Position = 0;
      m_Length = knownLength;
    }
    m_Viewer->EnableUser(CPlayerViewer::kPlayerMode);
    m_Viewer->SetUser(CPlayerViewer::kPlayerMode, player);
    Sessions().SetSessionOwner(player->GetHandle());
    SetCurrentPlayer(player->GetHandle());
    if (player->Play(url)) {
      m_CurrentPlayer = player;
      m_CurrentPlayerIndex = index;
      m_Playing = true;
      return true;
    }
    AppendError(player, GetThreadErrorText());
    SetCurrentPlayer(nullptr);
    m_Viewer->SetUser(CPlayerViewer::kPlayerMode, nullptr);
    Sessions().SetSessionOwner(nullptr);
    m_Visualizers->StopVisualizer();
    m_Viewer->DisableUser(CPlayerViewer::kPlayerMode);
  }
  return false;
}

void CPlayerSystem::AppendError(CPlayer* player, const char* text) {
  m_ErrorText += CStr::Format("%s - %s\n", player ? player->GetName() : "", text ? text : "");
}

void CPlayerSystem::LogAllRefused(const CStr& url) {
  LogFormat(kPlayFailureCategory, "%s\n%s\n%s\n",
            WithFile("CPlayerSystem.CantPlayFile", "Unable to play '%FILE%'.", url).c_str(),
            LocalText("CPlayerSystem.ReportedErrors", "Reported errors:").c_str(), m_ErrorText.c_str());
}

bool CPlayerSystem::MoveOnAfterFailure() {
  {
    CriticalSectionLock lock(m_PlaybackLock);
    ++m_FailedFiles;
    if (m_FailedFiles >= GetFileCount()) {
      m_FailedFiles = 0;
      return false;
    }
  }
  return SelectNextFile();
}

bool CPlayerSystem::PlayWithNextCandidate(const RefusalRecord& record) {
  CriticalSectionLock lock(m_PlaybackLock);
  if (m_Playing || m_PlayCounter != record.playCounter) return true;
  CPlayListFileEntry* entry = GetCurrentEntry();
  if (!entry) return true;
  AppendError(m_CurrentPlayer, record.errorText);
  const CStr url = entry->GetURL();
  if (TryCandidates(m_CurrentPlayerIndex + 1, url, entry->GetFileInfo())) {
    lock.Leave();
    Notify(PLAYER_NOTICE_PLAY_STATE);
    return true;
  }
  LogAllRefused(url);
  Sessions().CloseSession();
  lock.Leave();
  if (!MoveOnAfterFailure()) return false;
  return Play(true);
}

bool CPlayerSystem::StartPlayback() {
  if (m_CurrentEntry < 0 && !m_FolderEnumeration->IsIdle()) {
    m_PlayPending = true;
    return true;
  }
  return Play(true);
}

bool CPlayerSystem::Stop(bool unprepareVisualizers) { return StopPlayback(unprepareVisualizers, true); }

// `endOfRun`: the user stopped (the failure count and a pending play are
// dropped). A change of the current entry stops without it, so that the
// count of files failing in a row survives moving on to the next one.
bool CPlayerSystem::StopPlayback(bool unprepareVisualizers, bool endOfRun) {
  m_Visualizers->StopSampler();
  CriticalSectionLock lock(m_PlaybackLock);
  ++m_PlayCounter;
  m_WillPlay = false;
  bool stopped = true;
  if (m_Playing && m_CurrentPlayer) {
    m_Stopping = true;
    CPlayer* player = m_CurrentPlayer;
    lock.Leave();
    Sessions().AbortSession();
    stopped = player->Stop();
    ThreadErrorState* error = stopped ? nullptr : CopyThreadError();
    LeaveViewerAndSession();
    SetCurrentPlayer(nullptr);
    m_Mixer->RestoreAllVolumes();
    if (unprepareVisualizers)
      m_Visualizers->EndPlayback();
    else
      m_Visualizers->StopVisualizer();
    Sessions().CloseSession();
    {
      CriticalSectionLock position(m_PositionLock);
      m_Position = 0;
      m_Length = 0;
    }
    lock.Enter();
    if (stopped) {
      m_Playing = false;
      m_Paused = false;
    } else {
      if (error) {
        SetThreadError(error->type, error->code, error->text);
        FreeThreadErrorCopy(error);
      }
      LogFormat(LOG_CATEGORY_ERROR, "%s %s", LocalText("CPlayerSystem.StopError", "ERROR:").c_str(),
                GetThreadErrorText().c_str());
    }
    m_Stopping = false;
    lock.Leave();
    Notify(PLAYER_NOTICE_PLAY_STATE);
    lock.Enter();
  }
  if (endOfRun) {
    m_FailedFiles = 0;
    m_PlayPending = false;
  }
  return stopped;
}

// The player mode of the viewer and session 0 belong to nobody; length
// reports still queued are dropped.
void CPlayerSystem::LeaveViewerAndSession() {
  m_Viewer->SetUser(CPlayerViewer::kPlayerMode, nullptr);
  Sessions().SetSessionOwner(nullptr);
  m_Viewer->DisableUser(CPlayerViewer::kPlayerMode);
  if (m_MessageWindow.GetWindowHandle()) m_MessageWindow.DiscardMessages(kLengthChangedMessage);
}

void CPlayerSystem::Pause() {
  {
    CriticalSectionLock lock(m_PlaybackLock);
    if (m_Playing && m_CurrentPlayer) {
      if (m_CurrentPlayer->Pause()) {
        m_Paused = true;
        if (m_Visualizers->IsSamplerCapturing()) {
          m_Visualizers->PauseVisualization();
          if (!m_Visualizers->PauseSampler())
            LogThreadError(LOG_CATEGORY_ERROR,
                           LocalText("CPlayerSystem.ErrorPausingDataSampler", "Error pausing data sampler"));
        }
      } else {
        LogThreadError(LOG_CATEGORY_ERROR, nullptr);
      }
    }
  }
  Notify(PLAYER_NOTICE_PAUSE_STATE);
}

void CPlayerSystem::Resume() {
  {
    CriticalSectionLock lock(m_PlaybackLock);
    if (m_Paused && m_CurrentPlayer) {
      if (m_CurrentPlayer->Resume()) {
        m_Paused = false;
        if (m_Visualizers->IsSamplerCapturing()) {
          m_Visualizers->ResumeVisualization();
          if (!m_Visualizers->ResumeSampler())
            LogThreadError(LOG_CATEGORY_ERROR,
                           LocalText("CPlayerSystem.ErrorResumingDataSampler", "Error resuming data sampler"));
        }
      } else {
        LogThreadError(LOG_CATEGORY_ERROR, nullptr);
      }
    }
  }
  Notify(PLAYER_NOTICE_PAUSE_STATE);
}

void CPlayerSystem::TogglePause() {
  CriticalSectionLock lock(m_PlaybackLock);
  if (m_Paused)
    Resume();
  else
    Pause();
}

// The player's Seek runs outside the playback lock: it may wait for the
// player's own thread, which may be waiting to report.
void CPlayerSystem::Seek(DWORD milliseconds) {
  CPlayer* player = nullptr;
  {
    CriticalSectionLock lock(m_PlaybackLock);
    if (!m_Playing) return;
    player = m_CurrentPlayer;
  }
  if (player && !player->Seek(milliseconds))
    LogThreadError(LOG_CATEGORY_ERROR, LocalText("CPlayerSystem.SeekError", "Can't seek:"));
}

void CPlayerSystem::SeekRelative(LONG deltaMilliseconds) {
  DWORD position = 0;
  DWORD length = 0;
  GetPositionAndLength(position, length);
  const LONGLONG target = std::clamp<LONGLONG>(static_cast<LONGLONG>(position) + deltaMilliseconds, 0, 0xFFFFFFFFLL);
  if (length != 0 && target > static_cast<LONGLONG>(length)) return;
  Seek(static_cast<DWORD>(target));
}

void CPlayerSystem::GetPositionAndLength(DWORD& position, DWORD& length) {
  CriticalSectionLock lock(m_PositionLock);
  position = m_Position;
  length = m_Length;
}
