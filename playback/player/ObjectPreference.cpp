#include "playback/player/ObjectPreference.h"

#include <cstring>

#include "foundation/kernel/WildcardMatch.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CObjectPreference, CTypedObject)
TWL_IMPLEMENT_CREATABLE_CLASS(CObjectPreferenceManager, CTypedObject)

bool CObjectPreference::Matches(const char* text) const { return MatchWildcard(text, m_Pattern, false); }

CStr CObjectPreference::GetName(INT index) const {
  if (index < 0 || index >= GetCount()) return CStr();
  return m_Keys[static_cast<size_t>(index)];
}

INT CObjectPreference::Find(const char* key) const {
  if (!key) return -1;
  for (size_t i = 0; i < m_Keys.size(); ++i)
    if (std::strcmp(m_Keys[i], key) == 0) return static_cast<INT>(i);
  return -1;
}

CObjectPreference* CObjectPreferenceManager::Add(const char* pattern) {
  m_Preferences.push_back(std::make_unique<CObjectPreference>(pattern));
  return m_Preferences.back().get();
}

CObjectPreference* CObjectPreferenceManager::Get(INT index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_Preferences[static_cast<size_t>(index)].get();
}

CObjectPreference* CObjectPreferenceManager::Find(const char* text) const {
  for (const auto& preference : m_Preferences)
    if (preference->Matches(text)) return preference.get();
  return nullptr;
}
