// The user's preferred players moved to the front of a file's candidates.
#include <algorithm>

#include "playback/playersystem/PlayerSystem.h"

void CPlayerSystem::ApplyPlayerPreference(const char* url) {
  const CObjectPreference* preference = m_PlayerPreferences.Find(url);
  if (!preference) return;
  for (INT key = 0; key < preference->GetCount(); ++key) {
    CPlayer* player = FindPlayerByKey(preference->GetName(key));
    const auto found = std::find(m_Candidates.begin(), m_Candidates.end(), player);
    if (!player || found == m_Candidates.end()) continue;
    // Out of its place and in at the front, its answer with it.
    const auto at = found - m_Candidates.begin();
    std::rotate(m_Candidates.begin(), found, found + 1);
    std::rotate(m_Answers.begin(), m_Answers.begin() + at, m_Answers.begin() + at + 1);
  }
}
