// This machine's IPv4 network interfaces as Winsock callers of Windows
// know them: every interface address except loopback ones, with its subnet
// mask, in network byte order. Tests may name the list instead
// (TwlTestSetInterfaces). Any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace twl::winsock {

struct InterfaceAddress {
  std::string name;  // the interface ("eth0")
  uint32_t address;
  uint32_t mask;
};

std::vector<InterfaceAddress> MachineInterfaces();

// Writes the Windows NT TCP/IP layout of the interfaces into
// HKEY_LOCAL_MACHINE: an adapter key per interface under
// "System\CurrentControlSet\Services\Tcpip\Parameters\Adapters", and its
// "IPAddress" and "SubnetMask" lists (REG_MULTI_SZ) under
// "System\CurrentControlSet\Services\<name>\Parameters\Tcpip".
void WriteTcpipLayout();

// Whether every address is a loopback one (127.0.0.0/8); true for none.
bool OnlyLoopback(const std::vector<uint32_t>& addresses);

}  // namespace twl::winsock
