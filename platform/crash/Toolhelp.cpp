// Module snapshots over the kernel's mapping list. Outside a crash a
// snapshot is a kernel object like any other; inside a crash filter it is
// the one snapshot set aside for the crashing thread.
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

#include "CrashHandler.h"
#include "ModuleMap.h"
#include "platform/kernel/KernelObject.h"
#include "platform/modules/Modules.h"
#include "twlwin/errors.h"
#include "platform/modules/SystemModules.h"
#include "twlwin/toolhelp.h"

namespace twl::crash {
namespace {

struct ModuleSpan {
  uintptr_t base = 0;
  uintptr_t end = 0;
  char path[MAX_PATH] = "";
};

class Snapshot : public KernelObject {
 public:
  Snapshot() : KernelObject(ObjectKind::Other) {}
  std::vector<ModuleSpan> modules;
  std::mutex lock;  // guards `next`
  size_t next = 0;
};

// The snapshot of a crashing thread, in memory set aside for it.
constexpr size_t kCrashModuleCapacity = 512;
ModuleSpan crashModules[kCrashModuleCapacity];
size_t crashModuleCount = 0;
size_t crashNext = 0;
const HANDLE kCrashSnapshot = ULongToHandle(0x7FFFFFFCu);  // beyond every id the handle table gives

void CopyText(char* target, size_t capacity, const char* text) {
  size_t length = 0;
  while (text[length] && length + 1 < capacity) ++length;
  for (size_t i = 0; i < length; ++i) target[i] = text[i];
  target[length] = '\0';
}

void SetSpan(ModuleSpan& span, const MappedModule& module) {
  span.base = module.base;
  span.end = module.end;
  CopyText(span.path, sizeof span.path, module.path);
}

bool AddToCrashSnapshot(const MappedModule& module, void*) {
  if (crashModuleCount == kCrashModuleCapacity) return false;
  SetSpan(crashModules[crashModuleCount++], module);
  return true;
}

bool AddToSnapshot(const MappedModule& module, void* context) {
  auto& modules = static_cast<Snapshot*>(context)->modules;
  SetSpan(modules.emplace_back(), module);
  return true;
}

bool InCrashFilter() { return CrashingThread() != 0 && CrashingThread() == CurrentThreadId(); }

void Describe(const ModuleSpan& span, MODULEENTRY32& entry) {
  entry.th32ModuleID = 1;
  entry.th32ProcessID = static_cast<DWORD>(getpid());
  entry.GlblcntUsage = 1;
  entry.ProccntUsage = 1;
  entry.modBaseAddr = reinterpret_cast<BYTE*>(span.base);
  entry.modBaseSize = static_cast<DWORD>(std::min<uintptr_t>(span.end - span.base, 0xFFFFFFFFu));
  entry.hModule = nullptr;
  const char* name = span.path;
  for (const char* at = span.path; *at; ++at) {
    if (*at == '/') name = at + 1;
  }
  CopyText(entry.szModule, sizeof entry.szModule, name);
  CopyText(entry.szExePath, sizeof entry.szExePath, span.path);
}

BOOL NextModule(HANDLE handle, LPMODULEENTRY32 entry, bool restart) {
  if (!entry || entry->dwSize < sizeof(MODULEENTRY32)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (handle == kCrashSnapshot && InCrashFilter()) {
    if (restart) crashNext = 0;
    if (crashNext >= crashModuleCount) {
      SetLastError(ERROR_NO_MORE_FILES);
      return FALSE;
    }
    Describe(crashModules[crashNext++], *entry);
    return TRUE;
  }
  auto snapshot = std::dynamic_pointer_cast<Snapshot>(FindHandle(handle));
  if (!snapshot) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(snapshot->lock);
  if (restart) snapshot->next = 0;
  if (snapshot->next >= snapshot->modules.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  const ModuleSpan& span = snapshot->modules[snapshot->next++];
  Describe(span, *entry);
  entry->hModule = twl::ModuleFromAddress(reinterpret_cast<const void*>(span.base));
  return TRUE;
}

}  // namespace
}  // namespace twl::crash

using namespace twl::crash;

TWLAPI HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId) {
  if (!(flags & TH32CS_SNAPMODULE) || (processId != 0 && processId != static_cast<DWORD>(getpid()))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (InCrashFilter()) {
    crashModuleCount = 0;
    crashNext = 0;
    if (!ForEachMappedModule(AddToCrashSnapshot, nullptr)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    return kCrashSnapshot;
  }
  try {
    auto snapshot = std::make_shared<Snapshot>();
    if (!ForEachMappedModule(AddToSnapshot, snapshot.get())) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = twl::InsertHandle(std::move(snapshot));
    return handle ? handle : INVALID_HANDLE_VALUE;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE_VALUE;
  }
}

TWLAPI BOOL Module32First(HANDLE snapshot, LPMODULEENTRY32 entry) { return NextModule(snapshot, entry, true); }

TWLAPI BOOL Module32Next(HANDLE snapshot, LPMODULEENTRY32 entry) { return NextModule(snapshot, entry, false); }

// Programs find the tool-help calls in kernel32.dll by name at run time.
static const twl::SystemLibraryRegistration kKernel32("kernel32.dll", {
    {"CreateToolhelp32Snapshot", twl::ExportAddress(&CreateToolhelp32Snapshot)},
    {"Module32First", twl::ExportAddress(&Module32First)},
    {"Module32Next", twl::ExportAddress(&Module32Next)},
});
