#include "foundation/appcore/CrashFilter.h"

#include <cstring>

#include "foundation/errors/LocalText.h"
#include "foundation/log/Log.h"
#include "foundation/log/LogFile.h"

namespace {

CrashFilterTargets theTargets;

// The fatal-error box's texts, fetched when the filter is installed: the
// filter itself may not allocate.
char boxCaption[256];
char boxText[1024];

void Keep(char* target, size_t capacity, const CStr& text) {
  const size_t length = text.GetLength() < capacity - 1 ? text.GetLength() : capacity - 1;
  std::memcpy(target, text.c_str(), length);
  target[length] = '\0';
}

struct FaultingModule {
  const char* name = nullptr;  // null when no module holds the address
  const void* base = nullptr;
};

// The entry lives in static memory: the filter may not allocate, and the
// name must outlive the search.
MODULEENTRY32 moduleEntry;

// The tool-help calls, looked up by name before any crash: all three, or
// none (then the report names no module).
using SnapshotFunction = HANDLE(WINAPI*)(DWORD, DWORD);
using ModuleWalkFunction = BOOL(WINAPI*)(HANDLE, LPMODULEENTRY32);
SnapshotFunction createSnapshot = nullptr;
ModuleWalkFunction firstModule = nullptr;
ModuleWalkFunction nextModule = nullptr;

void LoadToolhelpFunctions() {
  HMODULE kernel = LoadLibraryA("kernel32.dll");  // kept for the whole run
  createSnapshot = nullptr;
  firstModule = nextModule = nullptr;
  if (!kernel) return;
  auto find = [kernel](const char* name) { return reinterpret_cast<void*>(GetProcAddress(kernel, name)); };
  auto snapshot = reinterpret_cast<SnapshotFunction>(find("CreateToolhelp32Snapshot"));
  auto first = reinterpret_cast<ModuleWalkFunction>(find("Module32First"));
  auto next = reinterpret_cast<ModuleWalkFunction>(find("Module32Next"));
  if (!snapshot || !first || !next) return;
  createSnapshot = snapshot;
  firstModule = first;
  nextModule = next;
}

FaultingModule FindModuleForAddress(const void* address) {
  if (!createSnapshot) return {};
  HANDLE snapshot = createSnapshot(TH32CS_SNAPMODULE, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  const auto* target = static_cast<const BYTE*>(address);
  moduleEntry.dwSize = sizeof moduleEntry;
  for (BOOL more = firstModule(snapshot, &moduleEntry); more; more = nextModule(snapshot, &moduleEntry)) {
    if (target >= moduleEntry.modBaseAddr && target < moduleEntry.modBaseAddr + moduleEntry.modBaseSize)
      return {moduleEntry.szModule, moduleEntry.modBaseAddr};
  }
  return {};
}

}  // namespace

void InstallCrashFilter(const CrashFilterTargets& targets) {
  LoadToolhelpFunctions();
  Keep(boxCaption, sizeof boxCaption, LocalText("FatalException.Caption", "Velbrook Tunewell - Fatal error"));
  Keep(boxText, sizeof boxText,
       LocalText("FatalException.Text",
                 "A fatal error occurred.\n\nSee 'CrashLog.txt' or 'Log.txt' for further details after you closed "
                 "this messagebox."));
  theTargets = targets;
  SetUnhandledExceptionFilter(&TopLevelExceptionFilter);
}

// The platform lets one crashing thread at a time into the filter, so the
// reports of several threads do not mix without a lock of our own (which a
// signal handler could not take safely anyway). The report and the crash
// log are written before the box is shown: a process killed while the box
// is up keeps them.
LONG WINAPI TopLevelExceptionFilter(EXCEPTION_POINTERS* exception) {
  if (!exception || !exception->ExceptionRecord) return EXCEPTION_CONTINUE_SEARCH;
  const FaultingModule module = FindModuleForAddress(exception->ExceptionRecord->ExceptionAddress);
  // A log file without a name writes nothing; asking first would take its
  // lock, which a signal handler must not wait for.
  if (theTargets.logFile)
    theTargets.logFile->WriteCrashReport(exception, module.name, module.base, LOG_SEVERITY_ERROR);
  if (theTargets.logWindow)
    theTargets.logWindow->WriteCrashReport(exception, module.name, module.base, LOG_SEVERITY_ERROR);
  if (theTargets.afterReport) theTargets.afterReport();
  MessageBoxA(nullptr, boxText, boxCaption, MB_ICONERROR);
  return EXCEPTION_EXECUTE_HANDLER;
}
