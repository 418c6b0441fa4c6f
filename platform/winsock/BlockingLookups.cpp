// The blocking lookups: the entry lives in a buffer of the calling thread,
// valid until its next lookup.
#include <winsock.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "HostEntry.h"
#include "HostLookup.h"
#include "WinsockStartup.h"
#include "WsaErrors.h"

using namespace twl::winsock;

namespace {

alignas(HOSTENT) thread_local char threadEntry[4096];

HOSTENT* Answer(const HostAnswer& answer) {
  int length = 0;
  const int error = answer.error ? answer.error : WriteHostEntry(answer, threadEntry, sizeof threadEntry, &length);
  if (error) return FailWith(error), nullptr;
  return reinterpret_cast<HOSTENT*>(threadEntry);
}

// One part of a dotted address: decimal, octal (leading 0) or hex (0x).
bool ReadPart(const char*& p, uint64_t& value) {
  if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
  int base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    base = 16;
    p += 2;
    if (!std::isxdigit(static_cast<unsigned char>(*p))) return false;
  } else if (p[0] == '0') {
    base = 8;
  }
  value = 0;
  for (;; ++p) {
    const int c = std::tolower(static_cast<unsigned char>(*p));
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else break;
    if (digit >= base) return false;
    value = value * base + digit;
    if (value > 0xFFFFFFFFu) return false;
  }
  return true;
}

}  // namespace

TWLAPI HOSTENT* TwlWsGetHostByName(const char* name) {
  if (!WinsockStarted()) return FailWith(WSANOTINITIALISED), nullptr;
  if (!name) return FailWith(WSAEFAULT), nullptr;
  return Answer(LookUpName(name, nullptr));
}

TWLAPI HOSTENT* TwlWsGetHostByAddr(const char* address, int length, int type) {
  if (!WinsockStarted()) return FailWith(WSANOTINITIALISED), nullptr;
  if (type != AF_INET) return FailWith(WSAEAFNOSUPPORT), nullptr;
  if (!address || length != 4) return FailWith(WSAEFAULT), nullptr;
  uint32_t value;
  std::memcpy(&value, address, 4);
  return Answer(AnswerForAddress(value));
}

TWLAPI int TwlWsGetHostName(char* name, int length) {
  if (!WinsockStarted()) return FailWith(WSANOTINITIALISED);
  if (!name || length <= 0 || !SystemHostName(name, static_cast<size_t>(length))) return FailWith(WSAEFAULT);
  return 0;
}

TWLAPI ULONG TwlWsInetAddr(const char* text) {
  if (!text) return INADDR_NONE;
  uint64_t parts[4];
  int count = 0;
  const char* p = text;
  for (;;) {
    if (count == 4 || !ReadPart(p, parts[count])) return INADDR_NONE;
    ++count;
    if (*p == '\0') break;
    if (*p != '.') return INADDR_NONE;
    ++p;
  }
  // The last part fills the bytes the others leave: a.b.c.d, a.b.c (c 16
  // bits), a.b (b 24 bits), a (32 bits).
  uint64_t value = 0;
  for (int i = 0; i < count - 1; ++i) {
    if (parts[i] > 255) return INADDR_NONE;
    value |= parts[i] << (24 - 8 * i);
  }
  const uint64_t lastLimit = count == 1 ? 0xFFFFFFFFu : (uint64_t{1} << (8 * (5 - count))) - 1;
  if (parts[count - 1] > lastLimit) return INADDR_NONE;
  value |= parts[count - 1];
  return htonl(static_cast<ULONG>(value));
}
