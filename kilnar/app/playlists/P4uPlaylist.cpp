#include "kilnar/app/playlists/P4uPlaylist.h"

#include "kilnar/app/playlists/BinaryFile.h"
#include "kilnar/app/playlists/PlaylistCodes.h"
#include "kilnar/app/playlists/PlaylistPaths.h"

P4uPlaylist::P4uPlaylist(const std::string& path) : CdPlaylist(path) {
  m_loadResult = m_native.Load(path);
  Fill();
}

void P4uPlaylist::Load(const std::string& path) {
  m_loadResult = m_native.Load(path);
  CdPlaylist::Load(path);
}

std::vector<std::string> P4uPlaylist::ReadPaths() {
  std::vector<std::string> paths;
  for (int32_t i = 0; i < m_native.GetCount(); ++i) {
    const NativePlaylistEntry& entry = m_native.GetEntry(i);
    if (entry.kind != NativePlaylistEntry::kKindFile) continue;
    paths.push_back(LocalPathOfUrl(entry.GetUrl()));
  }
  return paths;
}

bool P4uPlaylist::Save() {
  NativePlaylist copy;
  for (int32_t i = 0; i < m_native.GetCount(); ++i) {
    const NativePlaylistEntry& entry = m_native.GetEntry(i);
    if (entry.kind != NativePlaylistEntry::kKindFile) continue;
    const std::string cdName = GetCdNameOf(LocalPathOfUrl(entry.GetUrl()));
    if (cdName.empty()) continue;  // its file is missing: not on the CD
    auto copied = std::make_unique<NativePlaylistEntry>(entry);
    copied->SetUrl(kPlaceholder + cdName);
    if (copy.Insert(std::move(copied), -1) != kPlaylistOk) return false;
  }
  const std::string base = kPlaceholder + m_name + ".P4U";
  return WriteCopyWith([&](BinaryFile& file) { return copy.Write(file, base) == kPlaylistOk; });
}
