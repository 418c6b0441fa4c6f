// A message or settings file in the profile format, read and written one
// key at a time through the platform's profile calls. A missing file,
// section or key reads as an empty text; nothing is cached, so every read
// sees the file as it is. Short-lived locals of one thread.
//
// Where the file lies: a name with a drive letter, or an absolute POSIX
// path, is taken as it stands; any other name lies beside the running
// program ("MSG\SCSI.MSG" is the MSG folder beside it); no name at all is
// the program's own path with another extension. A name without an
// extension gets the given one, or ".INI".
#pragma once

#include <string>

class IniEntry;

class IniFile {
 public:
  static constexpr size_t kValueSize = 512;

  // Either argument may be null or empty.
  IniFile(const char* name, const char* extension);

  // The value, or an empty text when the key is missing or section or key
  // is null. Cut to 511 characters; valid until the next GetString.
  const char* GetString(const char* section, const char* key);
  // Stores the value on one line: each line break becomes "#". Does
  // nothing when an argument is null; a file that cannot be written is
  // left alone (the write is a courtesy, never a reason to fail).
  void WriteString(const char* section, const char* key, const char* value);
  IniEntry GetEntry(const char* section, const char* key);

  const std::string& GetPath() const { return m_Path; }

 private:
  char m_Value[kValueSize];
  std::string m_Path;
};
