// The probes CDirectXInfo::GetVersion combines. Each answers a lower bound
// of the DirectX major version and, when it can tell, the exact version
// (-1 for none). Any thread.
#pragma once

#include <windows.h>

#include <cstddef>

struct DirectXProbeResult {
  INT lowerBound = -1;
  INT exact = -1;
};

// HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\DirectX" "InstalledVersion": an
// 8-byte REG_BINARY whose first four bytes, big-endian, are the version.
DirectXProbeResult ProbeDirectXRegistry();
// Windows NT 4 comes with 2 at least, later NT versions with 7.
DirectXProbeResult ProbeDirectXSystemVersion();
// What "ddraw.dll" exports and which interfaces its objects answer.
DirectXProbeResult ProbeDirectDraw(bool fast);
// The product version of "ddraw.dll" in the system folder.
DirectXProbeResult ProbeDirectDrawFileVersion();

// The DirectX version a version block of "ddraw.dll" names: product
// version 4.m gives 1 for m up to 2, m - 1 for 3 and 4, m from 5 on; -1
// when the block holds no such fixed information. The block is untrusted.
INT DirectXVersionOfVersionBlock(const BYTE* block, size_t size);
