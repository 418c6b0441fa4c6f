#include "kilnar/app/burn/SpeedCode.h"

int16_t SpeedCodeOfFactor(uint32_t factor) {
  if (factor == 1) return 0;
  if (factor == 2) return 1;
  if (factor == 4) return 2;
  if (factor >= 8 && factor <= 40 && factor % 2 == 0) return static_cast<int16_t>(factor);
  return 6;
}
