// Replaces the global allocation functions of this test program.
#include "LargestAllocation.h"

#include <cstdlib>
#include <new>

namespace {

thread_local int t_Watching = 0;
thread_local size_t t_Largest = 0;

void* Allocate(size_t size) noexcept {
  if (t_Watching && size > t_Largest) t_Largest = size;
  return std::malloc(size ? size : 1);
}

}  // namespace

LargestAllocation::LargestAllocation() {
  ++t_Watching;
  t_Largest = 0;
}
LargestAllocation::~LargestAllocation() { --t_Watching; }
size_t LargestAllocation::Bytes() const { return t_Largest; }

void* operator new(size_t size) {
  void* memory = Allocate(size);
  if (!memory) throw std::bad_alloc();
  return memory;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, size_t) noexcept { std::free(memory); }
