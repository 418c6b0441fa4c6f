// Moving through the play order: the current entry and play position,
// next and previous with loop and shuffle, and the two switches.
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"

void CPlayerSystem::SetCurrentPosition(INT position) {
  const INT entry = m_PlayOrder.GetFile(position);
  ChangeCurrent(entry < 0 ? -1 : position, entry);
}

void CPlayerSystem::SetCurrentEntry(INT entry) {
  const INT position = m_PlayOrder.IndexOf(entry);
  ChangeCurrent(position, position < 0 ? -1 : entry);
}

void CPlayerSystem::ChangeCurrent(INT position, INT entry) {
  bool wasPlaying = false;
  bool wasPaused = false;
  {
    CriticalSectionLock lock(m_PlaybackLock);
    ++m_PlayCounter;
    m_WillPlay = false;
    wasPlaying = m_Playing;
    wasPaused = m_Paused;
  }
  StopPlayback(false, false);
  m_PlayPosition = position;
  m_CurrentEntry = entry;
  UpdateEffectiveVolume();
  Notify(PLAYER_NOTICE_CURRENT_ENTRY);
  RefreshPlayingInfo();
  if (!wasPlaying) return;
  if (entry < 0) {
    m_Visualizers->EndPlayback();
    return;
  }
  if (!Play(false))
    m_Visualizers->EndPlayback();
  else if (wasPaused)
    Pause();
}

void CPlayerSystem::RefreshPlayingInfo() {
  CStr url;
  CStr displayName;
  CStr title;
  if (FileInfoRecord* file = GetCurrentFileObject()) {
    CriticalSectionLock files(m_Files.GetLock());
    url = file->key;
    displayName = file->displayText && !file->displayText->empty() ? file->displayText->c_str() : file->name;
    if (file->typeText) title = file->typeText->c_str();
  }
  CriticalSectionLock lock(m_PlayingInfoLock);
  m_PlayingUrl = url;
  m_PlayingDisplayName = displayName;
  m_PlayingTitle = title;
}

bool CPlayerSystem::SelectNextFile() {
  const INT count = GetFileCount();
  if (count == 0) return false;
  if (count == 1) {
    if (!m_Loop) return false;
    SetCurrentPosition(0);
    return true;
  }
  INT next = m_PlayPosition + 1;
  if (next >= count) {
    if (!m_Loop) return false;
    if (m_Shuffle) ShufflePlayOrder(-1);
    next = 0;
  }
  SetCurrentPosition(next);
  return true;
}

bool CPlayerSystem::SelectPreviousFile() {
  const INT count = GetFileCount();
  if (count == 0) return false;
  if (count == 1) {
    if (!m_Loop) return false;
    SetCurrentPosition(0);
    return true;
  }
  INT previous = m_PlayPosition - 1;
  if (previous < 0) {
    if (!m_Loop) return false;
    if (m_Shuffle) ShufflePlayOrder(-1);
    previous = count - 1;
  }
  SetCurrentPosition(previous);
  return true;
}

bool CPlayerSystem::SelectFirstFile() {
  if (GetFileCount() == 0) return false;
  SetCurrentPosition(0);
  return true;
}

bool CPlayerSystem::SelectLastFile() {
  if (GetFileCount() == 0) return false;
  SetCurrentPosition(GetFileCount() - 1);
  return true;
}

void CPlayerSystem::ShufflePlayOrder(INT first) {
  m_PlayOrder.Shuffle(GetFileCount(), first, m_Random);
  m_PlayPosition = m_PlayOrder.IndexOf(m_CurrentEntry);
}

void CPlayerSystem::ResetPlayOrder() {
  m_PlayOrder.Reset(GetFileCount());
  m_PlayPosition = m_CurrentEntry >= 0 && m_CurrentEntry < GetFileCount() ? m_CurrentEntry : -1;
}

void CPlayerSystem::SetShuffle(bool on) {
  if (on != m_Shuffle) {
    if (on) {
      const bool playing = IsPlaying();
      ShufflePlayOrder(playing ? m_CurrentEntry : -1);
      m_Shuffle = true;
      if (!playing && GetFileCount() > 0) SetCurrentPosition(0);
    } else {
      ResetPlayOrder();
    }
  }
  m_Shuffle = on;
  Notify(PLAYER_NOTICE_SHUFFLE);
}

void CPlayerSystem::SetLoop(bool on) {
  m_Loop = on;
  Notify(PLAYER_NOTICE_LOOP);
}
