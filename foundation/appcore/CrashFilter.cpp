#include "foundation/appcore/CrashFilter.h"

#include "foundation/log/Log.h"
#include "foundation/log/LogFile.h"

namespace {

CrashFilterTargets theTargets;

struct FaultingModule {
  const char* name = nullptr;  // null when no module holds the address
  const void* base = nullptr;
};

// The entry lives in static memory: the filter may not allocate, and the
// name must outlive the search.
MODULEENTRY32 moduleEntry;

FaultingModule FindModuleForAddress(const void* address) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  const auto* target = static_cast<const BYTE*>(address);
  moduleEntry.dwSize = sizeof moduleEntry;
  for (BOOL more = Module32First(snapshot, &moduleEntry); more; more = Module32Next(snapshot, &moduleEntry)) {
    if (target >= moduleEntry.modBaseAddr && target < moduleEntry.modBaseAddr + moduleEntry.modBaseSize)
      return {moduleEntry.szModule, moduleEntry.modBaseAddr};
  }
  return {};
}

}  // namespace

void InstallCrashFilter(const CrashFilterTargets& targets) {
  theTargets = targets;
  SetUnhandledExceptionFilter(&TopLevelExceptionFilter);
}

// The platform lets one crashing thread at a time into the filter, so the
// reports of several threads do not mix without a lock of our own (which a
// signal handler could not take safely anyway).
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
  return EXCEPTION_EXECUTE_HANDLER;
}
