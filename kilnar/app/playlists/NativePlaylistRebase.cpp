// Re-basing as the burner does it: the player's rule of which entries move
// and where to, with the burner's own last step, which moves an entry only
// when the moved path exists. So a CD playlist's "<VAR>\" entries whose files
// are not beside it keep their placeholder.
#include "kilnar/app/playlists/NativePlaylist.h"
#include "playlistformat/PathRebasing.h"

namespace {

// The entry's URL under the new folder, or the URL itself when it does not
// lie under the old one near enough.
std::string MovedUrl(const std::string& url, const std::string& oldFolder, const std::string& newFolder,
                     size_t keep) {
  const rebasing::PrefixMatch match = rebasing::MatchPathPrefix(url, oldFolder);
  if (!match.matched) return url;
  const size_t unmatched = oldFolder.size() - match.storedPosition;
  if (unmatched > keep || unmatched > newFolder.size()) return url;
  return newFolder.substr(0, newFolder.size() - unmatched) + url.substr(match.urlPosition);
}

}  // namespace

void NativePlaylist::Rebase(const std::string& path) {
  if (!m_Base) return;
  const std::string newFolder = rebasing::FolderOf(path);
  const std::string oldFolder = rebasing::FolderOf(*m_Base);
  if (newFolder.empty() || oldFolder.empty() || rebasing::IsSamePath(newFolder, oldFolder)) return;
  const size_t keep = rebasing::GetCommonPathTailLength(oldFolder, newFolder);
  for (auto& entry : m_Entries) {
    if (!entry->HasUrl()) continue;
    const std::string moved = MovedUrl(entry->GetUrl(), oldFolder, newFolder, keep);
    if (moved != entry->GetUrl() && rebasing::ExistsOnDisk(moved, entry->kind != NativePlaylistEntry::kKindFile))
      entry->SetUrl(moved);
  }
}
