// One entry of a native playlist as the burner keeps it: a file (with its
// volume) or a folder (with the player's folder flags, carried unchanged).
// Whatever a newer writer stores after a file's volume is passed over. A
// value object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class BinaryFile;

class NativePlaylistEntry {
 public:
  static constexpr int32_t kKindFile = 0;
  static constexpr int32_t kKindFolder = 1;
  static constexpr int32_t kDefaultVolume = 100;

  // No URL, a file of volume 100 without folder flags.
  void Reset();
  void SetUrl(const std::string& url) { m_Url = url; }

  // One record at the file's position; a PlaylistCode. Every length is
  // checked against the entry's size and the bytes the file has left before
  // anything is allocated.
  int Read(BinaryFile& file);
  int Write(BinaryFile& file) const;

  int32_t kind = kKindFile;
  uint32_t folderFlags = 0;
  int32_t volume = kDefaultVolume;

  bool HasUrl() const { return m_Url.has_value(); }
  const std::string& GetUrl() const;

 private:
  std::optional<std::string> m_Url;
};
