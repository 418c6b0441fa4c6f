// Records the largest single request to the global allocation functions
// made by the calling thread while a LargestAllocation is alive, so that a
// test can show that a loader did not allocate for a count it was told.
#pragma once

#include <cstddef>

class LargestAllocation {
 public:
  LargestAllocation();
  ~LargestAllocation();
  LargestAllocation(const LargestAllocation&) = delete;
  LargestAllocation& operator=(const LargestAllocation&) = delete;

  size_t Bytes() const;
};
