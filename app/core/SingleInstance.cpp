// One instance per desktop: a start with commands hands them to the
// running instance and ends, and so does one whose command line held only
// faults; a start without a command line (or with -n) runs
// beside it with the next free instance number. The init mutex spans the
// walk and the creation of the owner window, so of two starts at the same
// time the second sees the first one's window.
#include <windows.h>

#include "app/command/CommandBlock.h"
#include "app/core/OwnerWindow.h"
#include "app/core/System.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

namespace {

constexpr const char* kInitMutexName = "TWL Init Mutex";

[[noreturn]] void ThrowMutexError(const char* key, const char* text) {
  ThrowError<CError>(LocalText("MutexError.Caption", "Mutex error"), LocalText(key, text));
}

// Holds the init mutex for its lifetime.
class CInitMutexLock {
 public:
  CInitMutexLock() {
    m_Mutex = CreateMutexA(nullptr, FALSE, kInitMutexName);
    if (!m_Mutex) ThrowMutexError("MutexError.CreateFailed", "Error to creating mutex object.");
    // An abandoned mutex is ours all the same.
    if (WaitForSingleObject(m_Mutex, INFINITE) == WAIT_FAILED) {
      CloseHandle(m_Mutex);
      ThrowMutexError("MutexError.WaitFailed", "Wait failed.");
    }
  }
  CInitMutexLock(const CInitMutexLock&) = delete;
  CInitMutexLock& operator=(const CInitMutexLock&) = delete;
  ~CInitMutexLock() {
    ReleaseMutex(m_Mutex);
    CloseHandle(m_Mutex);
  }

 private:
  HANDLE m_Mutex = nullptr;
};

struct WalkResult {
  HWND forwardTo = nullptr;
  INT instanceNumber = 0;
};

WalkResult WalkOwnerWindows(bool haveCommands) {
  WalkResult result;
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    if (!IsOwnerWindowOfAnInstance(window)) continue;
    if (haveCommands) {
      result.forwardTo = window;
      return result;
    }
    const INT number = GetOwnerWindowInstance(window);
    if (number >= result.instanceNumber) result.instanceNumber = number + 1;
  }
  return result;
}

typedef BOOL(WINAPI* AllowSetForegroundWindowFunction)(DWORD processId);

}  // namespace

bool CSystem::CheckSingleInstance(const CommandBlock* block, bool faultyCommandLine) {
  HWND forwardTo = nullptr;
  {
    CInitMutexLock lock;
    const WalkResult found = WalkOwnerWindows(block != nullptr || faultyCommandLine);
    forwardTo = found.forwardTo;
    if (!forwardTo) {
      m_InstanceNumber = found.instanceNumber;
      m_OwnerWindow->Create(m_InstanceNumber);
    }
  }
  if (!forwardTo) return true;
  if (!block) return false;
  AllowForegroundForWindow(forwardTo);
  SendCommandBlock(forwardTo, *block);
  return false;
}

void CSystem::SendCommandBlock(HWND window, const CommandBlock& block) {
  COPYDATASTRUCT data{kCommandBlockCopyDataId, block.GetSize(), const_cast<BYTE*>(block.GetData())};
  SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

// Only systems that restrict the foreground have the call; it is looked up
// by name so that the program runs on the older ones too.
void CSystem::AllowForegroundForWindow(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return;
  const bool restricts =
      version.dwPlatformId == VER_PLATFORM_WIN32_NT
          ? version.dwMajorVersion >= 5
          : version.dwMajorVersion > 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion >= 90);
  if (!restricts) return;
  HMODULE user32 = LoadLibraryA("user32.dll");
  if (!user32) return;
  // Through void(*)(), which converts to any function type.
  auto allow = reinterpret_cast<AllowSetForegroundWindowFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "AllowSetForegroundWindow")));
  if (allow) allow(processId);
  FreeLibrary(user32);
}
