// Replaces the global allocation functions of the test program that links
// this file; they count and note the largest request, then allocate with
// malloc. One replacement serves NewCounter and LargestAllocation, since a
// program can replace them only once.
#include "CountingNew.h"

#include <cstdlib>
#include <new>

#include "LargestAllocation.h"

namespace {

thread_local int t_Counting = 0;
thread_local long t_Allocations = 0;
thread_local long t_Frees = 0;
thread_local int t_Watching = 0;
thread_local size_t t_Largest = 0;

void* Allocate(size_t size) noexcept {
  if (t_Counting) ++t_Allocations;
  if (t_Watching && size > t_Largest) t_Largest = size;
  return std::malloc(size ? size : 1);
}

void Free(void* memory) noexcept {
  if (memory && t_Counting) ++t_Frees;
  std::free(memory);
}

}  // namespace

NewCounter::NewCounter() {
  ++t_Counting;
  t_Allocations = 0;
  t_Frees = 0;
}
NewCounter::~NewCounter() { --t_Counting; }
long NewCounter::Allocations() const { return t_Allocations; }
long NewCounter::Frees() const { return t_Frees; }

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
void operator delete(void* memory) noexcept { Free(memory); }
void operator delete[](void* memory) noexcept { Free(memory); }
void operator delete(void* memory, size_t) noexcept { Free(memory); }
void operator delete[](void* memory, size_t) noexcept { Free(memory); }
