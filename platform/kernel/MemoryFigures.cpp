#include "MemoryFigures.h"

#include <limits>

namespace twl {

namespace {

constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();

uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return a > kMax - b ? kMax : a + b; }

std::string_view TrimLeft(std::string_view text) {
  size_t at = text.find_first_not_of(" \t");
  return at == std::string_view::npos ? std::string_view{} : text.substr(at);
}

// "digits [kB]" in bytes.
std::optional<uint64_t> ValueOf(std::string_view rest) {
  rest = TrimLeft(rest);
  if (rest.empty() || rest[0] < '0' || rest[0] > '9') return std::nullopt;
  uint64_t value = 0;
  size_t at = 0;
  for (; at < rest.size() && rest[at] >= '0' && rest[at] <= '9'; ++at) {
    uint64_t digit = static_cast<uint64_t>(rest[at] - '0');
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  if (TrimLeft(rest.substr(at)).starts_with("kB")) {
    if (value > kMax / 1024) return std::nullopt;
    value *= 1024;
  }
  return value;
}

}  // namespace

std::optional<uint64_t> ReadFigure(std::string_view text, std::string_view name) {
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.size() > name.size() && line.starts_with(name) && line[name.size()] == ':')
      return ValueOf(line.substr(name.size() + 1));
  }
  return std::nullopt;
}

MemoryFigures ReadMemoryFigures(std::string_view meminfo) {
  MemoryFigures figures;
  figures.total = ReadFigure(meminfo, "MemTotal");
  figures.available = ReadFigure(meminfo, "MemAvailable");
  if (!figures.available) {
    if (auto free = ReadFigure(meminfo, "MemFree")) {
      uint64_t buffers = ReadFigure(meminfo, "Buffers").value_or(0);
      uint64_t cached = ReadFigure(meminfo, "Cached").value_or(0);
      figures.available = SaturatingAdd(SaturatingAdd(*free, buffers), cached);
    }
  }
  figures.swapTotal = ReadFigure(meminfo, "SwapTotal");
  figures.swapFree = ReadFigure(meminfo, "SwapFree");
  // Nothing can have more free than it has at all.
  if (figures.total && figures.available && *figures.available > *figures.total) figures.available = figures.total;
  if (figures.swapTotal && figures.swapFree && *figures.swapFree > *figures.swapTotal)
    figures.swapFree = figures.swapTotal;
  return figures;
}

}  // namespace twl
