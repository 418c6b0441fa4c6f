#include "HostLookup.h"

#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <sstream>

#include "MachineInterfaces.h"
#include "WsaErrors.h"
#include "twlwin/testing_net.h"

namespace twl::winsock {

namespace {

struct TableEntry {
  std::vector<uint32_t> addresses;
  int error = 0;
  DWORD delayMs = 0;
};

struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

std::mutex tableLock;
std::map<std::string, TableEntry, NoCase>& Table() {
  static auto* table = new std::map<std::string, TableEntry, NoCase>;
  return *table;
}
std::atomic<DWORD> lastKind{TWL_LOOKUP_NONE};

HostAnswer AskSystem(const std::string& name) {
  HostAnswer answer;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  const int result = getaddrinfo(name.c_str(), nullptr, &hints, &found);
  answer.error = WsaCodeFromLookup(result);
  if (result != 0) return answer;
  answer.name = found && found->ai_canonname ? found->ai_canonname : name;
  for (addrinfo* a = found; a; a = a->ai_next) {
    if (a->ai_family != AF_INET || a->ai_addrlen < sizeof(sockaddr_in)) continue;
    uint32_t address;
    std::memcpy(&address, &reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr, 4);
    if (std::find(answer.addresses.begin(), answer.addresses.end(), address) == answer.addresses.end())
      answer.addresses.push_back(address);
  }
  freeaddrinfo(found);
  if (answer.addresses.empty()) answer.error = 11004;
  return answer;
}

// Dotted addresses separated by commas, in network byte order.
std::vector<uint32_t> ParseAddressList(const char* text) {
  std::vector<uint32_t> addresses;
  std::stringstream list(text ? text : "");
  std::string item;
  while (std::getline(list, item, ',')) {
    unsigned a, b, c, d;
    char rest;
    if (std::sscanf(item.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &rest) != 4 || a > 255 || b > 255 || c > 255 ||
        d > 255)
      continue;
    const unsigned char bytes[4] = {static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                                    static_cast<unsigned char>(c), static_cast<unsigned char>(d)};
    uint32_t address;
    std::memcpy(&address, bytes, 4);
    addresses.push_back(address);
  }
  return addresses;
}

}  // namespace

void LookupCancel::Cancel() {
  std::lock_guard<std::mutex> guard(m_Lock);
  m_Cancelled = true;
  m_Changed.notify_all();
}

bool LookupCancel::IsCancelled() {
  std::lock_guard<std::mutex> guard(m_Lock);
  return m_Cancelled;
}

bool LookupCancel::WaitCancelled(DWORD ms) {
  std::unique_lock<std::mutex> guard(m_Lock);
  return m_Changed.wait_for(guard, std::chrono::milliseconds(ms), [this] { return m_Cancelled; });
}

// The machine's own name: a resolver that knows only a loopback address for
// it (Debian's 127.0.1.1) is answered with the interfaces' addresses, as a
// Windows machine answers.
static HostAnswer AskSystemForOwnName(const std::string& name, HostAnswer answer) {
  char own[256];
  if (!SystemHostName(own, sizeof own) || strcasecmp(own, name.c_str()) != 0) return answer;
  if (answer.error == 0 && !OnlyLoopback(answer.addresses)) return answer;
  const std::vector<InterfaceAddress> interfaces = MachineInterfaces();
  if (interfaces.empty()) return answer;
  HostAnswer ownAnswer{0, answer.error ? name : answer.name, {}};
  for (const InterfaceAddress& entry : interfaces)
    if (std::find(ownAnswer.addresses.begin(), ownAnswer.addresses.end(), entry.address) == ownAnswer.addresses.end())
      ownAnswer.addresses.push_back(entry.address);
  return ownAnswer;
}

HostAnswer LookUpName(const std::string& name, LookupCancel* cancel) {
  NoteLookupKind(TWL_LOOKUP_BY_NAME);
  std::unique_lock<std::mutex> guard(tableLock);
  if (Table().empty()) {
    guard.unlock();
    return AskSystemForOwnName(name, AskSystem(name));
  }
  auto it = Table().find(name);
  if (it == Table().end()) return HostAnswer{11001, {}, {}};
  const TableEntry entry = it->second;
  guard.unlock();
  if (entry.delayMs) {
    LookupCancel ownCancel;
    if ((cancel ? cancel : &ownCancel)->WaitCancelled(entry.delayMs)) return HostAnswer{11002, {}, {}};
  }
  if (entry.error) return HostAnswer{entry.error, {}, {}};
  if (entry.addresses.empty()) return HostAnswer{11004, {}, {}};
  return HostAnswer{0, name, entry.addresses};
}

HostAnswer AnswerForAddress(uint32_t address) {
  NoteLookupKind(TWL_LOOKUP_BY_ADDRESS);
  unsigned char bytes[4];
  std::memcpy(bytes, &address, 4);
  char dotted[16];
  std::snprintf(dotted, sizeof dotted, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
  return HostAnswer{0, dotted, {address}};
}

void NoteLookupKind(DWORD kind) { lastKind = kind; }
DWORD LastLookupKind() { return lastKind; }

bool SystemHostName(char* name, size_t size) {
  char own[256] = {};
  if (::gethostname(own, sizeof own - 1) != 0) return false;
  const size_t length = std::strlen(own);
  if (length + 1 > size) return false;
  std::memcpy(name, own, length + 1);
  return true;
}

}  // namespace twl::winsock

using namespace twl::winsock;

TWLAPI void TwlTestSetHostAnswer(LPCSTR name, LPCSTR addresses, int error, DWORD delayMs) {
  if (!name) return;
  std::lock_guard<std::mutex> guard(tableLock);
  Table()[name] = TableEntry{ParseAddressList(addresses), error, delayMs};
}

TWLAPI void TwlTestClearHostAnswers() {
  std::lock_guard<std::mutex> guard(tableLock);
  Table().clear();
}

TWLAPI DWORD TwlTestLastLookupKind() { return LastLookupKind(); }
