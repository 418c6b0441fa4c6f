#include "plugins/netvarra/module/Module.h"

#include <winsock.h>

#include <string>

#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/StreamError.h"
#include "plugins/netvarra/ftp/FTPLoginFile.h"

namespace netvarra {

const HostApiTable* g_Host = nullptr;
HMODULE g_Module = nullptr;

namespace {

constexpr const char* kTimerClass = "23623 FTPTimerWindowClass";
constexpr UINT_PTR kTimerId = 123;
constexpr UINT kTimerPeriodMs = 500;

int g_StartCount = 0;
HWND g_TimerWindow = nullptr;
CFTPLoginDataBase g_Logins;
CFTPConnectionManager g_Connections;
constexpr int kPoolCapacity = 3;
constexpr DWORD kPoolIdleTimeoutMs = 60000;

// The plug-ins folder, where the saved FTP servers live; empty when the
// host does not name one.
std::string LoginFolder() {
  const char* folder = g_Host ? g_Host->HOST_GetFolder(1) : nullptr;
  return folder ? folder : "";
}


LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kTimerId) {
    g_Connections.RemoveExpired();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void SetHostErrorText(const char* text) {
  if (g_Host) g_Host->HOST_SetErrorText(text);
}

// A damaged or unreadable file leaves the saved servers empty; the plug-in
// still starts.
void LoadLogins() {
  std::string errorText;
  if (LoadFTPLogins(g_Logins, LoginFolder(), errorText)) return;
  SetHostErrorText(errorText.c_str());
  if (g_Host) g_Host->HOST_LogError("Unable to load ftp login database.", 0x100);
}

bool StartServices() {
  WNDCLASSA windowClass{};
  windowClass.style = CS_NOCLOSE;
  windowClass.lpfnWndProc = &TimerWindowProc;
  windowClass.hInstance = g_Module;
  windowClass.lpszClassName = kTimerClass;
  if (!RegisterClassA(&windowClass)) {
    SetHostErrorText("Error registering window class.");
    return false;
  }
  g_TimerWindow = CreateWindowExA(0, kTimerClass, "Timer window", WS_POPUP, -100, -100, 10, 10, nullptr, nullptr,
                                  g_Module, nullptr);
  if (!g_TimerWindow) {
    UnregisterClassA(kTimerClass, g_Module);
    SetHostErrorText("Error creating timer window.");
    return false;
  }
  if (!SetTimer(g_TimerWindow, kTimerId, kTimerPeriodMs, nullptr)) {
    DestroyWindow(g_TimerWindow);
    g_TimerWindow = nullptr;
    UnregisterClassA(kTimerClass, g_Module);
    SetHostErrorText("Error starting timer.");
    return false;
  }
  WSADATA data;
  WSAStartup(MAKEWORD(1, 0), &data);
  LoadLogins();
  g_Connections.Init(kPoolCapacity, kPoolIdleTimeoutMs);
  return true;
}

void StopServices() {
  SaveFTPLogins(g_Logins, LoginFolder());
  g_Logins.Clear();
  g_Connections.Clear();
  if (g_TimerWindow) {
    KillTimer(g_TimerWindow, kTimerId);
    DestroyWindow(g_TimerWindow);
    g_TimerWindow = nullptr;
  }
  // So that a later first start can register the class again.
  UnregisterClassA(kTimerClass, g_Module);
}

}  // namespace

void GetVersion(PlugInVersionInfo* info) {
  if (info) *info = {0x10000, 0x1004B};
}

bool ModuleStart() {
  if (g_StartCount == 0 && !StartServices()) return false;
  ++g_StartCount;
  return true;
}

void ModuleStop() {
  if (g_StartCount <= 0) return;
  if (--g_StartCount == 0) StopServices();
}

int ModuleStartCount() { return g_StartCount; }

CFTPLoginDataBase& FTPLogins() { return g_Logins; }

CFTPConnectionManager& FTPConnections() { return g_Connections; }

void ReportErrorToHost(CError* error) noexcept {
  if (!g_Host) {
    if (error) DisposeError(error);
    return;
  }
  try {
    if (!error || IsKindOf<CMemoryError>(error))
      g_Host->HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
    else if (IsKindOf<CStreamError>(error))
      g_Host->HOST_SetError(HOST_ERROR_STREAM, static_cast<CStreamError*>(error)->GetCode(), error->GetText());
    else
      g_Host->HOST_SetErrorText(error->GetText());
  } catch (...) {
    g_Host->HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
  }
  if (error) DisposeError(error);
}

}  // namespace netvarra
