// The logical block size the image writer puts into its volume
// descriptors: 2048 at start; reading an earlier session's primary
// descriptor takes over that disc's. One value for the program, used on the
// user-interface thread.
#pragma once

#include <cstdint>

uint16_t GetLogicalBlockSize();
void SetLogicalBlockSize(uint16_t size);
