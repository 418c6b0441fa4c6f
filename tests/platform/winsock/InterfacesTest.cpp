// The machine's interfaces as Winsock start-up writes them into the
// registry's NT TCP/IP layout, and the own host name's lookup that never
// answers only a loopback address while the machine has interfaces.
#include <gtest/gtest.h>
#include <winsock.h>

#include <cstring>
#include <string>

#include "twlwin/testing_net.h"

namespace {

std::string ReadMultiString(const char* keyPath, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "(no key)";
  char data[256] = {};
  DWORD type = 0, size = sizeof data;
  const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_MULTI_SZ) return "(no list)";
  return std::string(data, size);
}

bool KeyExists(const char* keyPath) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

TEST(WinsockInterfaces, StartUpWritesTheNTLayoutWithoutLoopback) {
  TwlTestSetInterfaces("eth7=192.168.1.5/255.255.255.0,eth7=10.0.0.2/255.0.0.0,wlan3=172.16.4.2/255.255.0.0,"
                       "lo=127.0.0.1/255.0.0.0");
  WSADATA data;
  ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 0), &data));
  EXPECT_TRUE(KeyExists("System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters\\eth7"));
  EXPECT_TRUE(KeyExists("System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters\\wlan3"));
  EXPECT_FALSE(KeyExists("System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters\\lo"));
  const char* eth7 = "System\\CurrentControlSet\\Services\\eth7\\Parameters\\Tcpip";
  EXPECT_EQ(std::string("192.168.1.5\0" "10.0.0.2\0\0", 22), ReadMultiString(eth7, "IPAddress"));
  EXPECT_EQ(std::string("255.255.255.0\0" "255.0.0.0\0\0", 25), ReadMultiString(eth7, "SubnetMask"));
  EXPECT_EQ(std::string("172.16.4.2\0\0", 12),
            ReadMultiString("System\\CurrentControlSet\\Services\\wlan3\\Parameters\\Tcpip", "IPAddress"));
  TwlTestSetInterfaces(nullptr);
}

TEST(WinsockInterfaces, OwnNameIsNotOnlyLoopbackWhileInterfacesExist) {
  TwlTestSetInterfaces("eth7=192.168.1.5/255.255.255.0");
  WSADATA data;
  ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 0), &data));
  char own[256] = {};
  ASSERT_EQ(0, gethostname(own, sizeof own));
  HOSTENT* entry = gethostbyname(own);
  ASSERT_NE(nullptr, entry);
  ASSERT_EQ(AF_INET, entry->h_addrtype);
  bool onlyLoopback = true;
  for (char** item = entry->h_addr_list; *item; ++item) onlyLoopback &= static_cast<unsigned char>((*item)[0]) == 127;
  // Whatever this machine's resolver says: a loopback-only answer is
  // replaced by the interfaces.
  EXPECT_FALSE(onlyLoopback);
  TwlTestSetInterfaces(nullptr);
}

}  // namespace
