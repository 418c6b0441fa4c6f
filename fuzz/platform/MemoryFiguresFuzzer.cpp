// The reader of the kernel's "Name: value kB" figures on arbitrary text:
// no value may come out larger than what it is bounded by, and nothing may
// read outside the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/kernel/MemoryFigures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  twl::MemoryFigures figures = twl::ReadMemoryFigures(text);
  if (figures.total && figures.available && *figures.available > *figures.total) __builtin_trap();
  if (figures.swapTotal && figures.swapFree && *figures.swapFree > *figures.swapTotal) __builtin_trap();
  if (size > 0) twl::ReadFigure(text.substr(1), text.substr(0, data[0] % 16 < size ? data[0] % 16 : 0));
  return 0;
}
