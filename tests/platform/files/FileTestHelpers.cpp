#include "FileTestHelpers.h"

#include <ctime>

namespace filetest {

uint64_t NowTicks() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return (static_cast<uint64_t>(now.tv_sec) + 11644473600ull) * 10000000ull + now.tv_nsec / 100;
}

}  // namespace filetest
