// Counts the calls of the global allocation functions made by the calling
// thread while a NewCounter is alive, so that a test can show that an
// operation allocated nothing, or freed what it allocated.
#pragma once

#include <cstddef>

class NewCounter {
 public:
  NewCounter();
  ~NewCounter();
  NewCounter(const NewCounter&) = delete;
  NewCounter& operator=(const NewCounter&) = delete;

  long Allocations() const;
  long Frees() const;
};
