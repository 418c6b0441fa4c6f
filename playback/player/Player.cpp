#include "playback/player/Player.h"

#include "playback/player/CandidateOrder.h"

// Registered on CTypedObject although built on CControlWindowUser: the type
// test does not count a player as a viewer-window user.
TWL_IMPLEMENT_CLASS(CPlayer, CTypedObject)

bool CPlayer::AskCanPlay(const char* url, CanPlayAnswer& answer) {
  answer = CanPlayAnswer{};
  CanPlay(url, answer);
  SetExclusiveAccessAllowed(answer.exclusiveAccess != 0);
  return IsCandidateAnswer(answer);
}

void CPlayer::SetExclusiveAccessAllowed(bool allowed) {
  CriticalSectionLock lock(m_Lock);
  m_ExclusiveAccessAllowed = allowed;
}

bool CPlayer::IsExclusiveAccessAllowed() {
  CriticalSectionLock lock(m_Lock);
  return m_ExclusiveAccessAllowed;
}
