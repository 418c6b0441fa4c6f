#include "kilnar/app/playlists/NativePlaylist.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "kilnar/app/playlists/BinaryFile.h"
#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/app/playlists/PlaylistCodes.h"
#include "playlistformat/PlayListFileFormat.h"

namespace {

// The least a record takes: its size, kind, folder flags and URL length.
constexpr uint64_t kSmallestEntry = 16;
// The size field counts at least the count and base length after it, and
// the flags before them.
constexpr uint32_t kSmallestSizeField = 12;

}  // namespace

int NativePlaylist::Load(const std::string& path) {
  BinaryFile file;
  if (!file.OpenForReading(path)) {
    Clear();
    return kPlaylistCannotOpen;
  }
  return Read(file, path);
}

int NativePlaylist::Read(BinaryFile& file, const std::string& path) {
  Clear();
  uint8_t head[playlistfile::kHeadFieldsSize];
  if (!file.Read(head, sizeof head)) return kPlaylistEndsEarly;
  if (std::memcmp(head, playlistfile::kMagic, sizeof playlistfile::kMagic) != 0) return kPlaylistNotNative;
  if (GetLittleEndian32(head + 20) > playlistfile::kFirstVersion) return kPlaylistTooNew;
  if (GetLittleEndian32(head + 24) < kSmallestSizeField) return kPlaylistMalformed;
  const uint32_t count = GetLittleEndian32(head + 32);
  const uint64_t baseLength = GetLittleEndian32(head + 36);

  if (baseLength > file.Remaining()) return kPlaylistEndsEarly;
  std::vector<char> base(baseLength);
  if (!file.Read(base.data(), base.size())) return kPlaylistEndsEarly;
  // A base without its zero cannot be trusted to end where it should.
  if (!base.empty() && base.back() == '\0') m_Base = std::string(base.data());

  const int code = ReadEntries(file, count);
  if (code != kPlaylistOk) return code;
  Rebase(path);
  return kPlaylistOk;
}

int NativePlaylist::ReadEntries(BinaryFile& file, uint32_t count) {
  // The count is only believed as far as the file could hold that many.
  const uint64_t possible = file.Remaining() / kSmallestEntry;
  m_Entries.reserve(static_cast<size_t>(std::min<uint64_t>(count, possible)));
  for (uint32_t i = 0; i < count; ++i) {
    auto entry = std::make_unique<NativePlaylistEntry>();
    const int code = entry->Read(file);
    if (code == kPlaylistEntrySkipped) continue;
    if (code != kPlaylistOk) return code;
    m_Entries.push_back(std::move(entry));
  }
  m_Capacity = std::max(m_Capacity, GetCount());
  return kPlaylistOk;
}

int NativePlaylist::Save(const std::string& path, const std::string& baseText) const {
  BinaryFile file;
  if (!file.Create(path, true)) return kPlaylistCannotOpen;
  return Write(file, baseText.empty() ? path : baseText);
}

int NativePlaylist::Write(BinaryFile& file, const std::string& baseText) const {
  uint8_t head[playlistfile::kHeadFieldsSize];
  std::memcpy(head, playlistfile::kMagic, sizeof playlistfile::kMagic);
  SetLittleEndian32(head + 16, playlistfile::kFirstVersion);
  SetLittleEndian32(head + 20, playlistfile::kFirstVersion);
  SetLittleEndian32(head + 24, 0);  // the size, known at the end
  SetLittleEndian32(head + 28, flags);
  SetLittleEndian32(head + 32, static_cast<uint32_t>(m_Entries.size()));
  SetLittleEndian32(head + 36, static_cast<uint32_t>(baseText.size() + 1));
  if (!file.Write(head, sizeof head) || !file.Write(baseText.c_str(), baseText.size() + 1))
    return kPlaylistShortWrite;
  for (const auto& entry : m_Entries) {
    const int code = entry->Write(file);
    if (code != kPlaylistOk) return code;
  }
  const uint64_t end = file.Position();
  uint8_t size[4];
  SetLittleEndian32(size, static_cast<uint32_t>(end - playlistfile::kSizeFieldEnd));
  if (!file.SeekTo(24)) return kPlaylistSeekFailed;
  return file.Write(size, sizeof size) ? kPlaylistOk : kPlaylistShortWrite;
}

int NativePlaylist::Insert(std::unique_ptr<NativePlaylistEntry> entry, int32_t position) {
  const int32_t count = GetCount();
  if (position == -1) position = count;
  if (position < 0 || position > count) return kPlaylistBadPosition;
  if (count == m_Capacity) {
    m_Capacity += kGrowth;
    m_Entries.reserve(static_cast<size_t>(m_Capacity));
  }
  m_Entries.insert(m_Entries.begin() + position, std::move(entry));
  return kPlaylistOk;
}

void NativePlaylist::Clear() {
  m_Entries.clear();
  m_Entries.shrink_to_fit();
  m_Capacity = 0;
  m_Base.reset();
}
