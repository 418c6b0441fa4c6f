// The speed code of the write configuration record for a write speed
// factor, as the burn job asks the recorder for it: 1x, 2x and 4x have
// codes of their own, even factors from 8 to 40 are their own code, and
// every other factor (odd ones, 6, above 40) asks for 6x.
#pragma once

#include <cstdint>

int16_t SpeedCodeOfFactor(uint32_t factor);
