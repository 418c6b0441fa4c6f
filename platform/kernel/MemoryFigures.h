// Reading the kernel's figures in "Name:   123 kB" lines (/proc/meminfo,
// /proc/self/status). The reader takes any text; lines it cannot read are
// skipped. Pure functions; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace twl {

// The value of the first line named `name`, in bytes when it is given in
// kB; none when there is no such line or its value does not read or fit.
std::optional<uint64_t> ReadFigure(std::string_view text, std::string_view name);

struct MemoryFigures {
  std::optional<uint64_t> total;      // MemTotal
  std::optional<uint64_t> available;  // MemAvailable, else MemFree + Buffers + Cached; at most total
  std::optional<uint64_t> swapTotal;
  std::optional<uint64_t> swapFree;   // at most swapTotal
};

MemoryFigures ReadMemoryFigures(std::string_view meminfo);

}  // namespace twl
