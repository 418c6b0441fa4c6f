// The user's player preferences: records of a file-name pattern (a
// wildcard text such as "*.mp3", as typed on the player options page) and
// the keys of the players preferred for the files it matches, in the order
// they were added. The manager keeps the records in the order they were
// made and finds the first one whose pattern matches a URL, without case.
// The player system owns one manager and reorders a file's candidate
// players by the record found.
//
// Threading: the user-interface thread's; no lock.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CObjectPreference : public CTypedObject {
  TWL_DECLARE_CLASS(CObjectPreference)
 public:
  CObjectPreference() = default;
  explicit CObjectPreference(const char* pattern) : m_Pattern(pattern) {}

  const CStr& GetPattern() const { return m_Pattern; }
  void SetPattern(const char* pattern) { m_Pattern = pattern; }
  // Whether the pattern matches the text, without case.
  bool Matches(const char* text) const;

  INT GetCount() const { return static_cast<INT>(m_Keys.size()); }
  // A copy of the key at the index; empty outside the list.
  CStr GetName(INT index) const;
  // The first key equal to the text byte for byte, or -1.
  INT Find(const char* key) const;
  void AddKey(const char* key) { m_Keys.emplace_back(key); }
  void RemoveAllKeys() { m_Keys.clear(); }

 private:
  CStr m_Pattern;
  std::vector<CStr> m_Keys;
};

class CObjectPreferenceManager : public CTypedObject {
  TWL_DECLARE_CLASS(CObjectPreferenceManager)
 public:
  CObjectPreferenceManager() = default;
  CObjectPreferenceManager(const CObjectPreferenceManager&) = delete;
  CObjectPreferenceManager& operator=(const CObjectPreferenceManager&) = delete;

  // A new record at the end of the list; the manager owns it.
  CObjectPreference* Add(const char* pattern);
  INT GetCount() const { return static_cast<INT>(m_Preferences.size()); }
  // Null outside the list.
  CObjectPreference* Get(INT index) const;
  void RemoveAll() { m_Preferences.clear(); }
  // The first record, in list order, whose pattern matches the text
  // without case; null when none does.
  CObjectPreference* Find(const char* text) const;

 private:
  std::vector<std::unique_ptr<CObjectPreference>> m_Preferences;
};
