#include "HostEntry.h"

#include <winsock.h>

#include <cstring>

namespace twl::winsock {

namespace {

constexpr size_t kPointer = sizeof(char*);

size_t AlignUp(size_t value) { return (value + kPointer - 1) & ~(kPointer - 1); }

}  // namespace

int WriteHostEntry(const HostAnswer& answer, char* buffer, int length, int* needed) {
  // The entry starts the buffer; the lists after it are pointer-aligned in
  // memory, wherever the buffer starts.
  const uintptr_t start = reinterpret_cast<uintptr_t>(buffer);
  const size_t count = answer.addresses.size();
  const size_t aliasesAt = AlignUp(start + sizeof(HOSTENT)) - start;
  const size_t listAt = aliasesAt + kPointer;
  const size_t addressesAt = listAt + (count + 1) * kPointer;
  const size_t nameAt = addressesAt + count * 4;
  const size_t total = nameAt + answer.name.size() + 1;
  *needed = total > 0xFFFF ? 0xFFFF : static_cast<int>(total);
  if (!buffer || length < 0 || total > static_cast<size_t>(length)) return WSAENOBUFS;

  char* base = buffer;
  HOSTENT entry{};
  entry.h_name = base + nameAt;
  entry.h_aliases = reinterpret_cast<char**>(base + aliasesAt);
  entry.h_addrtype = AF_INET;
  entry.h_length = 4;
  entry.h_addr_list = reinterpret_cast<char**>(base + listAt);
  std::memcpy(base, &entry, sizeof entry);
  char* none = nullptr;
  std::memcpy(base + aliasesAt, &none, kPointer);
  for (size_t i = 0; i < count; ++i) {
    char* address = base + addressesAt + i * 4;
    std::memcpy(address, &answer.addresses[i], 4);
    std::memcpy(base + listAt + i * kPointer, &address, kPointer);
  }
  std::memcpy(base + listAt + count * kPointer, &none, kPointer);
  std::memcpy(base + nameAt, answer.name.c_str(), answer.name.size() + 1);
  return 0;
}

}  // namespace twl::winsock
