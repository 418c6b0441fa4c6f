#include <cstring>
#include <mutex>

#include "twlwin/errors.h"
#include "twlwin/testing.h"
#include "twlwin/version.h"

namespace {

struct ReportedVersion {
  DWORD major = 5;
  DWORD minor = 1;
  DWORD build = 2600;
  DWORD platform = VER_PLATFORM_WIN32_NT;
  char servicePack[128] = "";
};

std::mutex versionLock;
ReportedVersion reported;

}  // namespace

TWLAPI BOOL GetVersionExA(LPOSVERSIONINFOA info) {
  if (!info || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
                info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA))) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::lock_guard lock(versionLock);
  info->dwMajorVersion = reported.major;
  info->dwMinorVersion = reported.minor;
  info->dwBuildNumber = reported.build;
  info->dwPlatformId = reported.platform;
  std::memcpy(info->szCSDVersion, reported.servicePack, sizeof info->szCSDVersion);
  if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA)) {
    auto* extended = reinterpret_cast<LPOSVERSIONINFOEXA>(info);
    extended->wServicePackMajor = 0;
    extended->wServicePackMinor = 0;
    extended->wSuiteMask = 0;
    extended->wProductType = 1;  // a workstation
    extended->wReserved = 0;
  }
  return TRUE;
}

TWLAPI void TwlTestSetVersion(DWORD major, DWORD minor, DWORD build, DWORD platformId, LPCSTR servicePack) {
  std::lock_guard lock(versionLock);
  reported.major = major;
  reported.minor = minor;
  reported.build = build;
  reported.platform = platformId;
  std::memset(reported.servicePack, 0, sizeof reported.servicePack);
  if (servicePack) std::strncpy(reported.servicePack, servicePack, sizeof reported.servicePack - 1);
}

TWLAPI void TwlTestResetVersion() {
  std::lock_guard lock(versionLock);
  reported = ReportedVersion{};
}
