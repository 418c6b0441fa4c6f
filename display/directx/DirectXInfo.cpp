#include "display/directx/DirectXInfo.h"

#include <vector>

#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDirectXInfo, CTypedObject)

namespace {

struct ProbeResult {
  INT lowerBound = -1;
  INT exact = -1;
};

constexpr UINT kFixedInfoSize = 0x34;
constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;

// "InstalledVersion": eight bytes whose first four, big-endian, are the
// version.
ProbeResult ProbeRegistry() {
  ProbeResult result;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return result;
  BYTE value[8] = {};
  DWORD type = REG_NONE;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key, "InstalledVersion", nullptr, &type, value, &size) == ERROR_SUCCESS &&
      type == REG_BINARY && size == sizeof value) {
    const DWORD version = (DWORD{value[0]} << 24) | (DWORD{value[1]} << 16) | (DWORD{value[2]} << 8) | value[3];
    const INT number = version > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<INT>(version);
    result.lowerBound = result.exact = number;
  }
  RegCloseKey(key);
  return result;
}

// NT 4 came with DirectX 2 at least, NT 5 and later with 7.
ProbeResult ProbeSystemVersion() {
  ProbeResult result;
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT) return result;
  if (version.dwMajorVersion == 4) result.lowerBound = 2;
  if (version.dwMajorVersion >= 5) result.lowerBound = 7;
  return result;
}

// The product version of the system's ddraw.dll: 4.m names DirectX m (with
// the versions 1, 2 and 3 that shipped as 4.02, 4.03 and 4.04).
ProbeResult ProbeLibraryVersion() {
  ProbeResult result;
  char folder[MAX_PATH] = "";
  const UINT length = GetSystemDirectoryA(folder, sizeof folder);
  if (length == 0 || length >= sizeof folder - 1) return result;
  CStr path(folder, length);
  if (folder[length - 1] != '\\' && folder[length - 1] != '/') path += "\\";
  path += "ddraw.dll";
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  if (size < 6) return result;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoA(path, handle, size, block.data())) return result;
  void* fixed = nullptr;
  UINT fixedLength = 0;
  if (!VerQueryValueA(block.data(), "\\", &fixed, &fixedLength) || !fixed || fixedLength < kFixedInfoSize)
    return result;
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  if (info->dwSignature != kFixedInfoSignature || (info->dwProductVersionMS >> 16) != 4) return result;
  const DWORD minor = info->dwProductVersionMS & 0xFFFF;
  if (minor > 255) return result;
  const INT version = minor <= 2 ? 1 : minor <= 4 ? static_cast<INT>(minor) - 1 : static_cast<INT>(minor);
  result.lowerBound = result.exact = version;
  return result;
}

}  // namespace

void CDirectXInfo::GetVersion(INT* detected, INT* exact, bool fast) {
  *detected = -1;
  *exact = -1;
  (void)fast;  // the probes here create no DirectDraw objects
  for (ProbeResult (*probe)() : {&ProbeRegistry, &ProbeSystemVersion, &ProbeLibraryVersion}) {
    const ProbeResult found = probe();
    if (found.exact < 0) {
      if (found.lowerBound > *detected) *detected = found.lowerBound;
      continue;
    }
    if (found.exact < *detected) {
      LogFormat(0, "%s\n",
                LocalText("CDirectXInfo.InconsistentVersionInfo", "WARNING: inconsistent DirectX version info detected.")
                    .c_str());
      return;
    }
    *detected = *exact = found.exact;
    return;
  }
}
