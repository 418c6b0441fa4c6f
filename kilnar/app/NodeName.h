// The names of one file or folder of a CD: the source path on disk, the
// ISO name written into the ISO 9660 tree and the Joliet name (the long
// name in UTF-16, at most 64 units) written into the Joliet tree. Names
// are UTF-8; the ISO name holds at most 63 bytes, cut at a character
// boundary. A value object.
#pragma once

#include <cstddef>
#include <string>

class NameCharMap;

class NodeName {
 public:
  static constexpr size_t kIsoNameMost = 63;
  static constexpr size_t kJolietMost = 64;

  // Path = the text; then SetLongName of its file name and extension.
  void SetPath(const std::string& path);
  // Joliet name = the text's units, ISO name = the text.
  void SetLongName(const std::string& name);
  // ISO name = the text; the Joliet name follows it while it is empty.
  void SetIsoName(const std::string& name);
  // A non-empty text replaces the ISO name.
  void SetShortName(const std::string& name);
  // Joliet name = the units; the ISO name becomes their UTF-8.
  void SetJolietName(const std::u16string& units);
  void SetJolietNameOnly(const std::u16string& units);

  // Makes the ISO name by the rule of a name mode (1 to 5).
  void MapIsoName(int mode, bool isFolder, const NameCharMap& table);
  // At most 8 characters before the dot and 3 after it, all of A-Z, 0-9
  // and "_".
  bool IsValid83() const;

  const std::string& GetPath() const { return m_Path; }
  const std::string& GetIsoName() const { return m_IsoName; }
  const std::u16string& GetJolietName() const { return m_Joliet; }
  size_t GetJolietLength() const { return m_Joliet.size(); }
  // The Joliet name as UTF-8.
  std::string GetJolietText() const;

 private:
  std::string m_Path;
  std::string m_IsoName;
  std::u16string m_Joliet;
};
