#include "kilnar/app/playlists/McdPlaylist.h"

#include "kilnar/app/playlists/CCDAudioDoc.h"
#include "kilnar/app/playlists/TextLines.h"
#include "platform/mfc/Archive.h"

McdPlaylist::McdPlaylist(const std::string& path) : M3uCopyPlaylist(path) { Fill(); }

std::vector<std::string> McdPlaylist::PathsOfArchive(const std::string& bytes) {
  std::vector<std::string> paths;
  try {
    CArchive archive(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    archive.ReadObject(RUNTIME_CLASS(CCDAudioDoc));
    int16_t count = 0;
    archive >> count;
    std::string title;
    std::string path;
    for (int16_t i = 0; i < count; ++i) {
      archive >> title >> path;
      paths.push_back(path);
    }
  } catch (const CArchiveException&) {
    paths.clear();
  }
  return paths;
}

std::vector<std::string> McdPlaylist::ReadPaths() {
  const auto bytes = ReadWholeFile(m_path, kLargestTextPlaylist);
  return bytes ? PathsOfArchive(*bytes) : std::vector<std::string>();
}
