// The probes that ask the system rather than DirectDraw: the registry, the
// operating system's version and the version resource of "ddraw.dll".
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "display/directx/DirectXProbes.h"
#include "twlwin/fileversion.h"

namespace {

constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
constexpr size_t kFixedInfoSize = 0x34;
// Version blocks are counted in 16 bits; anything claiming more is not one.
constexpr DWORD kLargestVersionBlock = 0x10000;

DWORD ReadLittleEndian(const BYTE* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

DirectXProbeResult Exactly(INT version) { return {version, version}; }

// The folder the system keeps its libraries in, with a separator at the
// end.
std::string SystemFolder() {
  std::vector<char> buffer(MAX_PATH);
  UINT length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (length == 0 || length >= buffer.size()) return {};
  std::string folder(buffer.data(), length);
  if (folder.back() != '/' && folder.back() != '\\') folder += '/';
  return folder;
}

}  // namespace

DirectXProbeResult ProbeDirectXRegistry() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  BYTE value[8] = {};
  DWORD type = REG_NONE;
  DWORD size = sizeof value;
  const LONG status = RegQueryValueExA(key, "InstalledVersion", nullptr, &type, value, &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_BINARY || size != sizeof value) return {};
  const DWORD version = (static_cast<DWORD>(value[0]) << 24) | (value[1] << 16) | (value[2] << 8) | value[3];
  // A version that reads as negative says nothing.
  if (version > INT_MAX) return {};
  return Exactly(static_cast<INT>(version));
}

DirectXProbeResult ProbeDirectXSystemVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT) return {};
  if (info.dwMajorVersion == 4) return {2, -1};
  if (info.dwMajorVersion >= 5) return {7, -1};
  return {};
}

INT DirectXVersionOfVersionBlock(const BYTE* block, size_t size) {
  if (!block || size < kFixedInfoSize) return -1;
  for (size_t at = 0; at + kFixedInfoSize <= size; ++at) {
    if (ReadLittleEndian(block + at) != kFixedInfoSignature) continue;
    const DWORD productVersion = ReadLittleEndian(block + at + offsetof(VS_FIXEDFILEINFO, dwProductVersionMS));
    const DWORD major = HIWORD(productVersion);
    const DWORD minor = LOWORD(productVersion);
    if (major != 4 || minor > 255) return -1;
    if (minor <= 2) return 1;
    if (minor <= 4) return static_cast<INT>(minor) - 1;
    return static_cast<INT>(minor);
  }
  return -1;
}

DirectXProbeResult ProbeDirectDrawFileVersion() {
  const std::string folder = SystemFolder();
  if (folder.empty()) return {};
  const std::string path = folder + "ddraw.dll";
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size < 6 || size > kLargestVersionBlock) return {};
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoA(path.c_str(), handle, size, block.data())) return {};
  const INT version = DirectXVersionOfVersionBlock(block.data(), block.size());
  if (version == -1) return {};
  return Exactly(version);
}
