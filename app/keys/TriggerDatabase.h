// CTriggerDatabase: the key bindings file (Keys.ini in the program folder),
// one section per trigger category, one entry per trigger name, the value
// listing its hotkeys. The file is read and written through the profile
// functions at every access, so edits by other programs show at the next
// read. An absent entry leaves a trigger's keys as they are; an empty one
// means no keys.
//
// Threading: any thread. Lock order: the trigger's lock, then the
// database's; the database never takes a trigger's lock while holding its
// own.
#pragma once

#include <windows.h>

#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CTrigger;

class CTriggerDatabase : public CTypedObject {
  TWL_DECLARE_CLASS(CTriggerDatabase)
 public:
  // What the reader is given as the default: it tells an absent entry.
  static constexpr const char* kNoEntry = "@@noentry@@";

  CTriggerDatabase() = default;
  CTriggerDatabase(const CTriggerDatabase&) = delete;
  CTriggerDatabase& operator=(const CTriggerDatabase&) = delete;

  // Values are read into a buffer of `size` characters, so a longer value
  // is cut to size - 1.
  void Open(const char* path, DWORD size);
  void Close();
  const CStr& GetPath() const { return m_Path; }

  // A present entry replaces the trigger's hotkeys (found, and the answer
  // of ParseKeys); an absent one leaves them, or with clearWhenAbsent
  // removes them (not found, the answer is clearWhenAbsent). Nothing is
  // read while the database is closed.
  bool LoadTrigger(CTrigger& trigger, bool clearWhenAbsent, bool* found);
  // Writes the trigger's value; writing failures are not reported.
  void SaveTrigger(CTrigger& trigger);
  // Removes the trigger's entry from the file.
  void DeleteTrigger(CTrigger& trigger);

 private:
  CStr m_Path;
  // The size, plus room for the reader's terminating zeros.
  std::vector<char> m_Buffer;
  DWORD m_Size = 0;
  CriticalSection m_Lock;
};
