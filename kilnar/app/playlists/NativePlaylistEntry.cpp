#include "kilnar/app/playlists/NativePlaylistEntry.h"

#include <cstring>
#include <vector>

#include "kilnar/app/playlists/BinaryFile.h"
#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/app/playlists/PlaylistCodes.h"
#include "playlistformat/PlayListFileFormat.h"

namespace {

// After the URL of a file entry: its volume.
constexpr uint64_t kVolumeSize = 4;

}  // namespace

void NativePlaylistEntry::Reset() {
  m_Url.reset();
  kind = kKindFile;
  folderFlags = 0;
  volume = kDefaultVolume;
}

const std::string& NativePlaylistEntry::GetUrl() const {
  static const std::string none;
  return m_Url ? *m_Url : none;
}

int NativePlaylistEntry::Read(BinaryFile& file) {
  Reset();
  uint8_t head[16];
  if (!file.Read(head, sizeof head)) return kPlaylistEndsEarly;
  const uint64_t size = GetLittleEndian32(head);
  const uint32_t storedKind = GetLittleEndian32(head + 4);
  const uint32_t flags = GetLittleEndian32(head + 8);
  const uint64_t urlLength = GetLittleEndian32(head + 12);
  if (size < playlistfile::kEntryFixedSize) return kPlaylistMalformed;
  const uint64_t rest = size - playlistfile::kEntryFixedSize;  // bytes of the record after its head
  if (storedKind != kKindFile && storedKind != kKindFolder) {
    return file.Skip(rest) ? kPlaylistEntrySkipped : kPlaylistEndsEarly;
  }
  if (urlLength == 0) return kPlaylistMalformed;
  const uint64_t fieldsAfterUrl = storedKind == kKindFile ? kVolumeSize : 0;
  if (rest < urlLength + fieldsAfterUrl) return kPlaylistMalformed;
  if (rest > file.Remaining()) return kPlaylistEndsEarly;

  std::vector<char> url(urlLength);
  if (!file.Read(url.data(), url.size())) return kPlaylistEndsEarly;
  if (url.back() != '\0') return kPlaylistMalformed;
  kind = static_cast<int32_t>(storedKind);
  folderFlags = flags;
  m_Url = std::string(url.data());  // up to its first zero
  if (kind == kKindFile) {
    uint8_t stored[4];
    if (!file.Read(stored, sizeof stored)) return kPlaylistEndsEarly;
    volume = static_cast<int32_t>(GetLittleEndian32(stored));
  }
  return file.Skip(rest - urlLength - fieldsAfterUrl) ? kPlaylistOk : kPlaylistSeekFailed;
}

int NativePlaylistEntry::Write(BinaryFile& file) const {
  if (!m_Url) return kPlaylistEntryWithoutUrl;
  const uint32_t urlLength = static_cast<uint32_t>(m_Url->size() + 1);
  const uint32_t size = urlLength + playlistfile::kEntryFixedSize + (kind == kKindFile ? kVolumeSize : 0);
  uint8_t head[16];
  SetLittleEndian32(head, size);
  SetLittleEndian32(head + 4, static_cast<uint32_t>(kind));
  SetLittleEndian32(head + 8, folderFlags);
  SetLittleEndian32(head + 12, urlLength);
  if (!file.Write(head, sizeof head) || !file.Write(m_Url->c_str(), urlLength)) return kPlaylistShortWrite;
  if (kind != kKindFile) return kPlaylistOk;
  uint8_t stored[4];
  SetLittleEndian32(stored, static_cast<uint32_t>(volume));
  return file.Write(stored, sizeof stored) ? kPlaylistOk : kPlaylistShortWrite;
}
