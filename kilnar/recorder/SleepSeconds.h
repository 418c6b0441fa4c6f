// The engine's wait between drive polls: blocks the calling thread for n
// seconds of the layer's clock, so a test on the manual clock (or a run
// with the fast clock) passes through it at once.
#pragma once

#include <cstdint>

void SleepSeconds(uint32_t seconds);
