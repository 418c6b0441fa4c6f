#include "ModuleMap.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace twl::crash {
namespace {

constexpr size_t kMaxPath = 4096;

// One line of the mapping list:
// "start-end perms offset major:minor inode   path".
struct Mapping {
  uintptr_t start = 0;
  uintptr_t end = 0;
  bool executable = false;
  uint64_t offset = 0;
  uint64_t device = 0;
  uint64_t inode = 0;
  const char* path = nullptr;
};

class LineParser {
 public:
  LineParser(const char* text, const char* end) : at_(text), end_(end) {}

  uint64_t Number(int base) {
    uint64_t value = 0;
    while (at_ < end_) {
      int digit = Digit(*at_);
      if (digit < 0 || digit >= base) break;
      value = value * base + digit;
      ++at_;
    }
    return value;
  }
  bool Skip(char expected) {
    if (at_ >= end_ || *at_ != expected) return false;
    ++at_;
    return true;
  }
  void SkipBlanks() {
    while (at_ < end_ && *at_ == ' ') ++at_;
  }
  const char* At() const { return at_; }
  void Advance(size_t count) { at_ = count > static_cast<size_t>(end_ - at_) ? end_ : at_ + count; }

 private:
  static int Digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  }

  const char* at_;
  const char* end_;
};

bool ParseMapping(char* line, char* end, Mapping& mapping) {
  LineParser parser(line, end);
  mapping.start = parser.Number(16);
  if (!parser.Skip('-')) return false;
  mapping.end = parser.Number(16);
  if (!parser.Skip(' ') || end - parser.At() < 4) return false;
  mapping.executable = parser.At()[2] == 'x';
  parser.Advance(4);
  parser.SkipBlanks();
  mapping.offset = parser.Number(16);
  parser.SkipBlanks();
  uint64_t major = parser.Number(16);
  if (!parser.Skip(':')) return false;
  mapping.device = (major << 32) | parser.Number(16);
  parser.SkipBlanks();
  mapping.inode = parser.Number(10);
  parser.SkipBlanks();
  mapping.path = parser.At();
  *end = '\0';
  return true;
}

// Gathers the mappings of one file into a module.
class ModuleBuilder {
 public:
  ModuleBuilder(ModuleVisitor visit, void* context) : visit_(visit), context_(context) {}

  // False once the visitor asked to stop.
  bool Add(const Mapping& mapping) {
    if (mapping.inode == 0) return true;  // anonymous memory, the heap, the stacks
    bool sameFile = open_ && mapping.inode == inode_ && mapping.device == device_ && mapping.offset != 0;
    if (!sameFile) {
      if (!Finish()) return false;
      Start(mapping);
    }
    end_ = mapping.end;
    executable_ = executable_ || mapping.executable;
    return true;
  }

  bool Finish() {
    if (!open_) return true;
    open_ = false;
    if (!executable_) return true;  // a data file, not code
    MappedModule module{base_, end_, path_};
    return visit_(module, context_);
  }

 private:
  void Start(const Mapping& mapping) {
    open_ = true;
    base_ = mapping.start;
    inode_ = mapping.inode;
    device_ = mapping.device;
    executable_ = false;
    size_t length = strnlen(mapping.path, kMaxPath - 1);
    memcpy(path_, mapping.path, length);
    path_[length] = '\0';
  }

  ModuleVisitor visit_;
  void* context_;
  bool open_ = false;
  bool executable_ = false;
  uintptr_t base_ = 0;
  uintptr_t end_ = 0;
  uint64_t inode_ = 0;
  uint64_t device_ = 0;
  char path_[kMaxPath];
};

}  // namespace

bool ForEachMappedModule(ModuleVisitor visit, void* context) {
  int file = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  ModuleBuilder builder(visit, context);
  char buffer[kMaxPath + 256];
  size_t filled = 0;
  bool going = true;
  while (going) {
    ssize_t got = read(file, buffer + filled, sizeof buffer - 1 - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    filled += static_cast<size_t>(got);
    char* line = buffer;
    char* stop = buffer + filled;
    while (going) {
      char* newline = static_cast<char*>(memchr(line, '\n', stop - line));
      if (!newline) break;
      Mapping mapping;
      if (ParseMapping(line, newline, mapping)) going = builder.Add(mapping);
      line = newline + 1;
    }
    filled = static_cast<size_t>(stop - line);
    memmove(buffer, line, filled);
    if (filled == sizeof buffer - 1) filled = 0;  // a line longer than any path: drop it
  }
  close(file);
  if (going) builder.Finish();
  return true;
}

}  // namespace twl::crash
