#include "plugins/netvarra/tcp/TCPSettings.h"

#include <windows.h>

#include <cstring>
#include <string>

TWL_IMPLEMENT_CREATABLE_CLASS(CTCPAdapterInfo, CTypedObject)
TWL_IMPLEMENT_CREATABLE_CLASS(CTCPSettings, CTypedObject)

namespace {

constexpr const char* kNTAdapterList = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters";
constexpr const char* kNTAdapterKey = "System\\CurrentControlSet\\Services\\%s\\Parameters\\Tcpip";
constexpr const char* k9xNetTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans";
constexpr DWORD kValueBufferSize = 1000;
constexpr DWORD kMaxKeyName = 500;

// A REG_SZ or REG_MULTI_SZ value as a list of entries; empty when missing
// or of another type.
std::vector<std::string> ReadAddressList(HKEY key, const char* name) {
  char buffer[kValueBufferSize + 2] = {};
  DWORD type = 0, size = kValueBufferSize - 1;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_MULTI_SZ) return {};
  std::vector<std::string> entries;
  // The buffer ends in zeros whatever the value holds.
  for (const char* entry = buffer; *entry && entry < buffer + size; entry += std::strlen(entry) + 1) {
    entries.emplace_back(entry);
    if (type == REG_SZ) break;
  }
  return entries;
}

DWORD MaskInPair(HKEY key, const char* addressValue, const char* maskValue, DWORD address) {
  const std::vector<std::string> addresses = ReadAddressList(key, addressValue);
  const std::vector<std::string> masks = ReadAddressList(key, maskValue);
  for (size_t i = 0; i < addresses.size() && i < masks.size(); ++i) {
    if (inet_addr(addresses[i].c_str()) != address) continue;
    const DWORD mask = inet_addr(masks[i].c_str());
    return mask == INADDR_NONE ? 0 : mask;
  }
  return 0;
}

DWORD MaskInKey(HKEY parent, const char* subKey, const char* pairs[2][2], DWORD address) {
  HKEY key;
  if (RegOpenKeyExA(parent, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
  DWORD mask = MaskInPair(key, pairs[0][0], pairs[0][1], address);
  if (!mask) mask = MaskInPair(key, pairs[1][0], pairs[1][1], address);
  RegCloseKey(key);
  return mask;
}

// Walks the sub-keys of `listKey`; `keyPath` turns a sub-key name into the
// key (under HKLM, or under the list key when `relative`) that holds the pairs.
DWORD FindInAdapterKeys(const char* listKey, bool relative, const char* pairs[2][2], DWORD address) {
  HKEY list;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, listKey, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &list) != ERROR_SUCCESS)
    return 0;
  DWORD mask = 0;
  for (DWORD index = 0; !mask; ++index) {
    char name[kMaxKeyName + 1];
    DWORD length = kMaxKeyName;
    if (RegEnumKeyExA(list, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (relative) {
      mask = MaskInKey(list, name, pairs, address);
    } else {
      const CStr path = CStr::Format(kNTAdapterKey, name);
      mask = MaskInKey(HKEY_LOCAL_MACHINE, path, pairs, address);
    }
  }
  RegCloseKey(list);
  return mask;
}

}  // namespace

bool CTCPSettings::IsLocalAddress(DWORD address) {
  std::vector<CTCPAdapterInfo> adapters;
  if (!GetAdapters(adapters)) return false;
  for (const CTCPAdapterInfo& adapter : adapters)
    if ((adapter.m_SubnetMask & adapter.m_Address) == (adapter.m_SubnetMask & address)) return true;
  return false;
}

bool CTCPSettings::GetAdapters(std::vector<CTCPAdapterInfo>& adapters) {
  adapters.clear();
  const CStr name = GetLocalHostName();
  HOSTENT* entry = gethostbyname(name);
  if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list) return false;
  for (char** item = entry->h_addr_list; *item; ++item) {
    DWORD address;
    std::memcpy(&address, *item, 4);
    if (!address) break;
    if (const DWORD mask = FindSubnetMask(address)) adapters.emplace_back(address, mask);
  }
  return true;
}

CStr CTCPSettings::GetLocalHostName() {
  char name[1000] = {};
  if (gethostname(name, sizeof name - 1) != 0) return CStr();
  return CStr(name);
}

DWORD CTCPSettings::FindSubnetMask(DWORD address) {
  if (IsWindowsNT()) {
    const char* pairs[2][2] = {{"IPAddress", "SubnetMask"}, {"DhcpIPAddress", "DhcpSubnetMask"}};
    return FindInAdapterKeys(kNTAdapterList, false, pairs, address);
  }
  const char* pairs[2][2] = {{"IPAddress", "IPMask"}, {"DhcpIPAddress", "DhcpIPMask"}};
  return FindInAdapterKeys(k9xNetTrans, true, pairs, address);
}

bool CTCPSettings::IsWindowsNT() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
