// The local-subnet test over registry fixtures in the NT and 9x layouts,
// with this machine's addresses answered by the testing host table.
#include <string>

#include "NetTestSupport.h"
#include "plugins/netvarra/tcp/TCPSettings.h"
#include "twlwin/testing.h"

namespace {

constexpr const char* kAdapters = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters";

void WriteValue(const std::string& keyPath, const char* name, DWORD type, const std::string& data) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  if (name) {
    // Both types end in a zero; a list in a second one.
    const std::string stored = data + std::string(type == REG_MULTI_SZ ? 2 : 1, '\0');
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(stored.data()),
                                            static_cast<DWORD>(stored.size())));
  }
  RegCloseKey(key);
}

// An NT adapter whose Tcpip key gets the values.
std::string NTAdapter(const char* service) {
  WriteValue(std::string(kAdapters) + "\\" + service, nullptr, REG_SZ, "");
  return std::string("System\\CurrentControlSet\\Services\\") + service + "\\Parameters\\Tcpip";
}

class TCPSettingsTest : public nettest::NetTest {
 protected:
  void OwnAddresses(const char* addresses) {
    TwlTestSetHostAnswer(CTCPSettings::GetLocalHostName(), addresses, 0, 0);
  }
  static bool IsLocal(const char* address) { return CTCPSettings::IsLocalAddress(inet_addr(address)); }
};

TEST_F(TCPSettingsTest, NTLayout) {
  OwnAddresses("192.168.1.5");
  const std::string tcpip = NTAdapter("{NIC-1}");
  WriteValue(tcpip, "IPAddress", REG_MULTI_SZ, "192.168.1.5");
  WriteValue(tcpip, "SubnetMask", REG_MULTI_SZ, "255.255.255.0");
  EXPECT_TRUE(IsLocal("192.168.1.77"));
  EXPECT_FALSE(IsLocal("192.168.2.77"));
}

TEST_F(TCPSettingsTest, DhcpAddressAsSingleText) {
  OwnAddresses("10.1.2.3");
  const std::string tcpip = NTAdapter("{NIC-1}");
  WriteValue(tcpip, "IPAddress", REG_MULTI_SZ, "0.0.0.0");
  WriteValue(tcpip, "SubnetMask", REG_MULTI_SZ, "0.0.0.0");
  WriteValue(tcpip, "DhcpIPAddress", REG_SZ, "10.1.2.3");
  WriteValue(tcpip, "DhcpSubnetMask", REG_SZ, "255.255.0.0");
  EXPECT_EQ(inet_addr("255.255.0.0"), CTCPSettings::FindSubnetMask(inet_addr("10.1.2.3")));
  EXPECT_TRUE(IsLocal("10.1.200.1"));
  EXPECT_FALSE(IsLocal("10.2.0.1"));
}

TEST_F(TCPSettingsTest, SecondAddressTakesSecondMask) {
  OwnAddresses("172.16.4.2");
  const std::string tcpip = NTAdapter("{NIC-1}");
  WriteValue(tcpip, "IPAddress", REG_MULTI_SZ, std::string("192.168.1.5") + '\0' + "172.16.4.2");
  WriteValue(tcpip, "SubnetMask", REG_MULTI_SZ, std::string("255.255.255.0") + '\0' + "255.255.0.0");
  EXPECT_EQ(inet_addr("255.255.0.0"), CTCPSettings::FindSubnetMask(inet_addr("172.16.4.2")));
  EXPECT_TRUE(IsLocal("172.16.9.9"));
}

TEST_F(TCPSettingsTest, UnlistedAddressGivesNoAdapter) {
  OwnAddresses("192.168.1.5");
  const std::string tcpip = NTAdapter("{NIC-1}");
  WriteValue(tcpip, "IPAddress", REG_MULTI_SZ, "192.168.7.7");
  WriteValue(tcpip, "SubnetMask", REG_MULTI_SZ, "255.255.255.0");
  NTAdapter("{NIC-2}");  // an adapter key without values
  EXPECT_EQ(0u, CTCPSettings::FindSubnetMask(inet_addr("192.168.1.5")));
  EXPECT_FALSE(IsLocal("192.168.1.77"));
}

TEST_F(TCPSettingsTest, NineXLayout) {
  TwlTestSetVersion(4, 10, 2222, VER_PLATFORM_WIN32_WINDOWS, "");
  OwnAddresses("192.168.1.5");
  const std::string key = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\0001";
  WriteValue(key, "IPAddress", REG_SZ, "192.168.1.5");
  WriteValue(key, "IPMask", REG_SZ, "255.255.255.0");
  EXPECT_FALSE(CTCPSettings::IsWindowsNT());
  EXPECT_TRUE(IsLocal("192.168.1.77"));
  EXPECT_FALSE(IsLocal("192.168.2.77"));
  TwlTestResetVersion();
}

}  // namespace
