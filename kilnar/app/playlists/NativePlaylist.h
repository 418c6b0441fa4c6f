// The burner's own reader and writer of the player's native playlist file
// ("Ostrell PlayList"): the playlist the player hands over, album playlists
// and the copies written for the CD. It writes the first version of the
// format (nothing after a file's volume) and reads every later one. Every
// operation answers a PlaylistCode. After a failed read the playlist holds
// the entries read before the failure. A playlist read from another folder
// than the one its head names moves its entries along (Rebase). Used on one
// thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kilnar/app/playlists/NativePlaylistEntry.h"

class BinaryFile;

class NativePlaylist {
 public:
  // Slots are added in steps of this many.
  static constexpr int32_t kGrowth = 50;

  int Load(const std::string& path);
  // Reads the file from its start and re-bases the entries against the
  // folder of `path`, the place the file was read from.
  int Read(BinaryFile& file, const std::string& path);
  // Writes the playlist with the base text, or with the path when the base
  // text is empty.
  int Save(const std::string& path, const std::string& baseText) const;
  int Write(BinaryFile& file, const std::string& baseText) const;
  // Takes the entry over and puts it at `position` (-1: at the end).
  int Insert(std::unique_ptr<NativePlaylistEntry> entry, int32_t position);
  void Clear();

  // Entries that begin with the folder named in the head move under the
  // folder of `path` when the file lies elsewhere, each only when the
  // moved path exists.
  void Rebase(const std::string& path);

  int32_t GetCount() const { return static_cast<int32_t>(m_Entries.size()); }
  int32_t GetCapacity() const { return m_Capacity; }
  const NativePlaylistEntry& GetEntry(int32_t index) const { return *m_Entries[static_cast<size_t>(index)]; }
  // The base text of the head; absent when the file had none (a length of
  // 0, or no terminating zero).
  const std::optional<std::string>& GetBase() const { return m_Base; }

  uint32_t flags = 0;

 private:
  int ReadEntries(BinaryFile& file, uint32_t count);

  std::vector<std::unique_ptr<NativePlaylistEntry>> m_Entries;
  int32_t m_Capacity = 0;
  std::optional<std::string> m_Base;
};
