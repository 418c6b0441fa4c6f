#include "app/core/SystemInfo.h"

#include <cstring>
#include <vector>

#include "app/core/System.h"
#include "display/directx/DirectXInfo.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"

namespace {

constexpr BYTE kProductWorkstation = 1;
constexpr BYTE kProductServer = 3;
constexpr WORD kSuitePersonal = 0x200;
constexpr UINT kFixedVersionBlockSize = 52;
// The maker's page where a system update for the controls is offered.
constexpr const char* kProductDownloadPage = "http://www.velbrook.example/products/0014";

CStr Name(const char* key, const char* defaultText) { return LocalText(key, defaultText); }

CStr Windows9xName(DWORD major, DWORD minor) {
  if (major != 4) return Name("CSystem.OS.Windows", "Windows");
  if (minor == 0) return Name("CSystem.OS.Win95", "Windows 95");
  if (minor < 90) return Name("CSystem.OS.Win98", "Windows 98");
  if (minor == 90) return Name("CSystem.OS.WinME", "Windows ME");
  return Name("CSystem.OS.WinMEOrHigher", "Windows ME or higher");
}

CStr WindowsNTName(const OSVERSIONINFOEXA& version, bool extended) {
  const bool v50 = version.dwMajorVersion == 5 && version.dwMinorVersion == 0;
  const bool v51 = version.dwMajorVersion == 5 && version.dwMinorVersion == 1;
  const BYTE product = extended ? version.wProductType : 0;
  if (product == kProductServer) {
    if (v50) return Name("CSystem.OS.Win2k.Server", "Windows 2000 Server");
    if (v51) return Name("CSystem.OS.WinXP.Server", "Windows XP Server");
    return Name("CSystem.OS.WinNT.Server", "Windows NT Server");
  }
  if (product == kProductWorkstation) {
    if (v50) return Name("CSystem.OS.Win2k.Workstation", "Windows 2000 Professional");
    if (v51) {
      if (version.wSuiteMask & kSuitePersonal)
        return Name("CSystem.OS.WinXP.Workstation.Personal", "Windows XP Home Edition");
      return Name("CSystem.OS.WinXP.Workstation.NonPersonal", "Windows XP Professional");
    }
    return Name("CSystem.OS.WinNT.Workstation", "Windows NT Workstation");
  }
  if (v50) return Name("CSystem.OS.Win2k", "Windows 2000");
  if (v51) return Name("CSystem.OS.WinXP", "Windows XP");
  return Name("CSystem.OS.WinNT", "Windows NT");
}

bool IsNT5Edition(const OSVERSIONINFOEXA& version) {
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 5 &&
         (version.dwMinorVersion == 0 || version.dwMinorVersion == 1);
}

void LogLine(CSystem& system, const CStr& text) { system.LogFormat(LOGCODE_INFO, "%s\n", text.c_str()); }

// The extended answer first, then the plain one.
bool QueryVersion(OSVERSIONINFOEXA& version, bool& extended) {
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  extended = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)) != FALSE;
  if (extended) return true;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)) != FALSE;
}

}  // namespace

CStr GetWindowsEditionName(const OSVERSIONINFOEXA& version, bool extended) {
  switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32s: return Name("CSystem.OS.Win32s", "Win32s");
    case VER_PLATFORM_WIN32_WINDOWS: return Windows9xName(version.dwMajorVersion, version.dwMinorVersion);
    case VER_PLATFORM_WIN32_NT: return WindowsNTName(version, extended);
    default: return Name("CSystem.OS.UnknownWindows", "Unknown Windows type");
  }
}

CStr FormatEditionLine(const OSVERSIONINFOEXA& version, bool extended) {
  const bool nt5 = IsNT5Edition(version);
  CStr line = CStr::Format("%s %s%lu.%lu%s", GetWindowsEditionName(version, extended).c_str(), nt5 ? "(NT " : "",
                           static_cast<unsigned long>(version.dwMajorVersion),
                           static_cast<unsigned long>(version.dwMinorVersion), nt5 ? ")" : "");
  // The service-pack text is not terminated when the system filled it up.
  const CStr servicePack(version.szCSDVersion, strnlen(version.szCSDVersion, sizeof version.szCSDVersion));
  if (!servicePack.IsEmpty() && !(servicePack == " ")) {
    if (servicePack.c_str()[0] != ' ') line += " ";
    line += servicePack;
  }
  DWORD build = version.dwBuildNumber;
  if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) build &= 0xFFFF;
  const CStr detected = ReplacePlaceholder(LocalText("CSystem.OSBuildDetected", "build %BUILD% detected"),
                                           {"%BUILD%", CStr::Format("%lxh", static_cast<unsigned long>(build))});
  return line + " " + detected;
}

CStr FormatByteSize(LONGLONG value) {
  CStr amount;
  CStr text;
  if (value < 1024) {
    amount = CStr::Format("%lu", static_cast<unsigned long>(value));
    text = LocalText("CSystem.MemString.Bytes", "%AMOUNT% bytes");
  } else if (value < 0x100000) {
    amount = CStr::Format("%.2f", static_cast<double>(value) / 1024);
    text = LocalText("CSystem.MemString.KB", "%AMOUNT% KB");
  } else if (value < 0x40000000) {
    amount = CStr::Format("%.2f", static_cast<double>(value >> 10) / 1024);
    text = LocalText("CSystem.MemString.MB", "%AMOUNT% MB");
  } else if (value < (LONGLONG{1} << 40)) {
    amount = CStr::Format("%.2f", static_cast<double>(value >> 20) / 1024);
    text = LocalText("CSystem.MemString.GB", "%AMOUNT% GB");
  } else {
    amount = CStr::Format("%.2f", static_cast<double>(value >> 30) / 1024);
    text = LocalText("CSystem.MemString.TB", "%AMOUNT% TB");
  }
  return ReplacePlaceholder(text, {"%AMOUNT%", amount});
}

CStr FormatDirectXLine(INT version, bool exact) {
  if (version < 0) return CStr();
  CStr text;
  if (exact) {
    text = version == 0 ? LocalText("CSystem.DirectX.NoneInstalled", "No DirectX detected")
                        : LocalText("CSystem.DirectX.VersionXDetected", "DirectX %VERSION% detected");
  } else {
    text = version == 0 ? LocalText("CSystem.DirectX.NoneOrHigher", "No DirectX or higher detected")
                        : LocalText("CSystem.DirectX.VersionXOrHigherDetected", "DirectX %VERSION% or higher detected");
  }
  return ReplacePlaceholder(text, {"%VERSION%", CStr::Format("%d", version)});
}

bool GetFileVersion(const char* path, DWORD* mostSignificant, DWORD* leastSignificant) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return false;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoA(path, handle, size, block.data())) return false;
  void* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", &fixed, &length) || !fixed || length < kFixedVersionBlockSize) return false;
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  *mostSignificant = info->dwFileVersionMS;
  *leastSignificant = info->dwFileVersionLS;
  return true;
}

ULONGLONG GetFileVersion64(const char* path) {
  DWORD high = 0;
  DWORD low = 0;
  if (!GetFileVersion(path, &high, &low)) return 0;
  return (static_cast<ULONGLONG>(high) << 32) | low;
}

// The machine in the log, then the two requirements: DirectX 3 and the
// common controls 4.71.
void CSystem::RetrieveSystemInfo() {
  OSVERSIONINFOEXA version;
  bool extended = false;
  if (QueryVersion(version, extended)) LogLine(*this, FormatEditionLine(version, extended));

  SYSTEM_INFO machine{};
  GetSystemInfo(&machine);
  if (machine.dwNumberOfProcessors == 1) {
    LogLine(*this, LocalText("CSystem.SysInfo.Processors.Single", "single processor system"));
  } else {
    LogLine(*this, ReplacePlaceholder(LocalText("CSystem.SysInfo.Processors.Multi", "%NUM% processor system"),
                                      {"%NUM%", CStr::Format("%lu", static_cast<unsigned long>(
                                                                         machine.dwNumberOfProcessors))}));
  }

  MEMORYSTATUS memory{};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatus(&memory);
  auto bytes = [](SIZE_T count) {
    return FormatByteSize(count > 0x7FFFFFFFFFFFFFFFull ? 0x7FFFFFFFFFFFFFFFll : static_cast<LONGLONG>(count));
  };
  LogLine(*this, FillPlaceholders(LocalText("CSystem.SysInfo.PhysicalMem", "physical memory: %OVERALL%, free: %FREE%"),
                                  {{"%OVERALL%", bytes(memory.dwTotalPhys)}, {"%FREE%", bytes(memory.dwAvailPhys)}}));
  LogLine(*this,
          FillPlaceholders(LocalText("CSystem.SysInfo.VirtualMem", "virtual memory: %OVERALL%, free: %FREE%"),
                           {{"%OVERALL%", bytes(memory.dwTotalVirtual)}, {"%FREE%", bytes(memory.dwAvailVirtual)}}));

  INT detected = -1;
  INT exact = -1;
  CDirectXInfo().GetVersion(detected, exact, true);
  m_DirectXVersion = detected;
  if (detected < 0) {
    LogFormat(LOGCODE_WARNING, "%s\n",
              LocalText("CSystem.CannotDetermineDirectXVersionWarning",
                        "WARNING: Unable to detect DirectX version. If the player does not run properly make sure "
                        "that you have at least DirectX 3 installed.")
                  .c_str());
  } else {
    LogLine(*this, FormatDirectXLine(detected, exact >= 0));
  }
  if (detected >= 0 && detected < 3) {
    const CStr caption = LocalText("CSystem.DirectXVersionError.Caption", "DirectX error");
    if (detected == 0) {
      ThrowError<CError>(caption, LocalText("CSystem.DirectXVersionError.NoneInstalled",
                                            "The player needs DirectX 3 or higher. You don't seem to have any version "
                                            "of DirectX installed. Please install DirectX 3 or higher."));
    }
    ThrowError<CError>(caption,
                       ReplacePlaceholder(LocalText("CSystem.DirectXVersionError.NeedHigherVersion",
                                                    "The player needs DirectX 3 or higher (DirectX %CURVER% was "
                                                    "detected). Please install DirectX 3 or higher."),
                                          {"%CURVER%", CStr::Format("%d", detected)}));
  }
  CheckCommonControls();
}

void CSystem::CheckCommonControls() {
  DWORD high = 0;
  DWORD low = 0;
  if (!GetFileVersion("comctl32.dll", &high, &low)) return;
  const DWORD major = high >> 16;
  const DWORD minor = high & 0xFFFF;
  if (major > 4 || (major == 4 && minor > 70)) return;
  const CStr text = LocalText(
      "CSystem.NeedNewerCommonControls.Text",
      "The player needs the Windows Common Controls version %MINVER% or higher. Version %CURVER% was detected on your "
      "system.\n\nTo update your system please go to\n\n%WEBSITE%\n\nand download \"%UPDATENAME%\" from the "
      "\"%UPDATELOCATION%\" section. Then run the downloaded file and follow the instructions on the screen.");
  ThrowError<CError>(LocalText("CSystem.NeedNewerCommonControls.Caption", "Common Controls error"),
                     FillPlaceholders(text, {{"%MINVER%", "4.71"},
                                             {"%CURVER%", CStr::Format("%d.%02d", static_cast<int>(major),
                                                                       static_cast<int>(minor))},
                                             {"%WEBSITE%", kProductDownloadPage},
                                             {"%UPDATENAME%", "System update for Windows 95"},
                                             {"%UPDATELOCATION%", "Downloads"}}));
}
