// One key of an IniFile: the file it belongs to (not owned; it must outlive
// the entry), a section and a key of at most 49 characters each (longer
// names are cut; a null one is stored as empty).
#pragma once

#include <cstddef>

class IniFile;

class IniEntry {
 public:
  static constexpr size_t kNameSize = 50;

  IniEntry(IniFile& file, const char* section, const char* key);

  // Copies the value into the caller's text, cut to `size` bytes with its
  // terminating zero.
  void Read(char* text, size_t size) const;
  void Write(const char* value) const;

  const char* GetSection() const { return m_Section; }
  const char* GetKey() const { return m_Key; }

 private:
  IniFile* m_File;
  char m_Section[kNameSize];
  char m_Key[kNameSize];
};
