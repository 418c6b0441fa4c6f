// CTCPSettings: whether an IPv4 address lies on a subnet of one of this
// machine's network adapters. The machine's addresses come from looking up
// its own host name; each address's subnet mask from the TCP/IP settings
// in the registry (HKEY_LOCAL_MACHINE), in the NT layout or the 9x one.
// Only reads; keeps no state, so any thread may ask. Never throws: what
// cannot be found makes the adapter list shorter, and the answer false.
#pragma once

#include <winsock.h>

#include <vector>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

// One address of this machine and its subnet mask, both in network byte
// order (as inet_addr gives them).
class CTCPAdapterInfo : public CTypedObject {
  TWL_DECLARE_CLASS(CTCPAdapterInfo)
 public:
  CTCPAdapterInfo() = default;
  CTCPAdapterInfo(DWORD address, DWORD mask) : m_Address(address), m_SubnetMask(mask) {}

  DWORD m_Address = 0;
  DWORD m_SubnetMask = 0;
};

class CTCPSettings : public CTypedObject {
  TWL_DECLARE_CLASS(CTCPSettings)
 public:
  static bool IsLocalAddress(DWORD address);
  static bool GetAdapters(std::vector<CTCPAdapterInfo>& adapters);
  // Empty when the name cannot be read.
  static CStr GetLocalHostName();
  // 0 when the registry does not list the address.
  static DWORD FindSubnetMask(DWORD address);
  static bool IsWindowsNT();
};
