#include "MachineInterfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>

#include <windows.h>

#include "twlwin/testing_net.h"

namespace twl::winsock {

namespace {

std::mutex overrideLock;
std::optional<std::vector<InterfaceAddress>> testInterfaces;

bool IsLoopback(uint32_t address) { return (ntohl(address) >> 24) == 127; }

std::vector<InterfaceAddress> SystemInterfaces() {
  std::vector<InterfaceAddress> found;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return found;
  for (ifaddrs* item = list; item; item = item->ifa_next) {
    if (!item->ifa_addr || item->ifa_addr->sa_family != AF_INET || !item->ifa_netmask) continue;
    if (item->ifa_flags & IFF_LOOPBACK) continue;
    InterfaceAddress entry{item->ifa_name, 0, 0};
    std::memcpy(&entry.address, &reinterpret_cast<const sockaddr_in*>(item->ifa_addr)->sin_addr, 4);
    std::memcpy(&entry.mask, &reinterpret_cast<const sockaddr_in*>(item->ifa_netmask)->sin_addr, 4);
    if (!IsLoopback(entry.address)) found.push_back(entry);
  }
  freeifaddrs(list);
  return found;
}

// "name=address/mask" items separated by commas; items that do not read
// are left out.
std::vector<InterfaceAddress> ParseInterfaces(const char* text) {
  std::vector<InterfaceAddress> parsed;
  std::stringstream list(text);
  std::string item;
  while (std::getline(list, item, ',')) {
    const size_t equals = item.find('='), slash = item.find('/');
    if (equals == std::string::npos || slash == std::string::npos || slash < equals) continue;
    InterfaceAddress entry{item.substr(0, equals), 0, 0};
    if (inet_pton(AF_INET, item.substr(equals + 1, slash - equals - 1).c_str(), &entry.address) != 1) continue;
    if (inet_pton(AF_INET, item.substr(slash + 1).c_str(), &entry.mask) != 1) continue;
    if (!IsLoopback(entry.address)) parsed.push_back(entry);
  }
  return parsed;
}

std::string Dotted(uint32_t address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address, text, sizeof text);
  return text;
}

void SetMultiString(HKEY key, const char* name, const std::vector<std::string>& entries) {
  std::string data;
  for (const std::string& entry : entries) data += entry + '\0';
  data += '\0';
  RegSetValueExA(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
}

}  // namespace

std::vector<InterfaceAddress> MachineInterfaces() {
  {
    std::lock_guard<std::mutex> guard(overrideLock);
    if (testInterfaces) return *testInterfaces;
  }
  return SystemInterfaces();
}

void WriteTcpipLayout() {
  std::map<std::string, std::pair<std::vector<std::string>, std::vector<std::string>>> adapters;
  for (const InterfaceAddress& entry : MachineInterfaces()) {
    adapters[entry.name].first.push_back(Dotted(entry.address));
    adapters[entry.name].second.push_back(Dotted(entry.mask));
  }
  for (const auto& [name, lists] : adapters) {
    HKEY key;
    const std::string adapterKey = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters\\" + name;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, adapterKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
      RegCloseKey(key);
    const std::string tcpipKey = "System\\CurrentControlSet\\Services\\" + name + "\\Parameters\\Tcpip";
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, tcpipKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      continue;
    SetMultiString(key, "IPAddress", lists.first);
    SetMultiString(key, "SubnetMask", lists.second);
    RegCloseKey(key);
  }
}

bool OnlyLoopback(const std::vector<uint32_t>& addresses) {
  for (uint32_t address : addresses)
    if (!IsLoopback(address)) return false;
  return true;
}

}  // namespace twl::winsock

TWLAPI void TwlTestSetInterfaces(LPCSTR list) {
  std::lock_guard<std::mutex> guard(twl::winsock::overrideLock);
  if (list)
    twl::winsock::testInterfaces = twl::winsock::ParseInterfaces(list);
  else
    twl::winsock::testInterfaces.reset();
}
