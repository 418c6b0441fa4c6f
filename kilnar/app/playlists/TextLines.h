// The lines of a text playlist: split at line feeds, a carriage return
// before the line feed dropped. Playlists are read whole, up to a size no
// playlist of media files comes near.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr uint64_t kLargestTextPlaylist = 64ull << 20;

// The file's bytes; none when it cannot be read or is larger than `most`.
std::optional<std::string> ReadWholeFile(const std::string& path, uint64_t most);
// The file's lines; none when it cannot be read or is too large.
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);
std::vector<std::string> SplitLines(const std::string& text);
