// kilnartool write-image --dao: an ISO image written as one Mode 1 track
// of a disc written at once, described by the recorder class's cue sheet,
// its raw lead-in or its vendor track table.
#pragma once

#include <cstdint>
#include <string>

class ScsiDevice;

namespace kilnartool {

// Writes `blocks` 2048-byte blocks read from `fd` after the recorder was
// configured: PrepareDAO of the layout, the blocks from LBA 0 in pieces of
// at most 20 (wrapped into raw sectors when the class writes 2352-byte
// blocks), EndDAO. False with the recorder's text (or the reading
// failure's) in `error`.
bool WriteImageAtOnce(ScsiDevice& recorder, int fd, uint32_t blocks, const std::string& imageName, std::string& error);

}  // namespace kilnartool
