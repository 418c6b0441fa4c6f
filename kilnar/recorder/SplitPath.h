// A path split into drive, folder, file name and extension, each kept in a
// fixed field. Windows-style and POSIX paths split alike: the drive is "X:"
// when the text begins with a letter and a colon, else empty; '\' and '/'
// both end a folder. The folder keeps its last separator and the extension
// its dot. Texts longer than a field are cut to it. A value object.
#pragma once

#include <cstddef>

class SplitPath {
 public:
  static constexpr size_t kFullSize = 260;
  static constexpr size_t kDriveSize = 3;
  static constexpr size_t kPartSize = 256;

  SplitPath() { Clear(); }
  explicit SplitPath(const char* text) { Set(text); }

  // Copies the text (null counts as empty) and splits it.
  void Set(const char* text);
  void Clear();

  const char* GetFull() const { return m_Full; }
  const char* GetDrive() const { return m_Drive; }
  const char* GetFolder() const { return m_Folder; }
  const char* GetName() const { return m_Name; }
  const char* GetExtension() const { return m_Extension; }

 private:
  char m_Full[kFullSize];
  char m_Drive[kDriveSize];
  char m_Folder[kPartSize];
  char m_Name[kPartSize];
  char m_Extension[kPartSize];
};
