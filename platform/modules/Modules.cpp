// Modules: the program and the shared objects of the process, each known by
// a 32-bit id from a table of its own. One entry per loaded object (keyed by
// the loader's link map), so loading a file twice gives the same handle;
// LoadLibraryA and FreeLibrary count references on it.
#include "Modules.h"
#include "SystemModules.h"

#include <dlfcn.h>
#include <link.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/files/FileAttributes.h"
#include "platform/files/PathResolver.h"
#include "platform/kernel/IdTable.h"
#include "twlwin/errors.h"
#include "twlwin/modules.h"
#include "twlwin/testing.h"

namespace twl {
namespace {

struct Module {
  link_map* map = nullptr;
  std::string mapName;  // the loader's name for it, to notice reuse of a map
  std::string path;     // real path of the file
  void* dl = nullptr;   // our loader handle while LoadLibraryA references it
  int loads = 0;
  const SystemLibrary* system = nullptr;  // set for a library the layer provides
};

struct State {
  std::mutex lock;  // never held while the loader runs library code
  IdTable<Module> table;
  std::map<link_map*, uint32_t> byMap;
  std::map<const SystemLibrary*, uint32_t> bySystemLibrary;
  void* programDl = nullptr;
  link_map* programMap = nullptr;
};

State& Modules() {
  static State* state = [] {
    auto* created = new State;  // never destroyed: used during exit
    created->programDl = dlopen(nullptr, RTLD_NOW);
    dlinfo(created->programDl, RTLD_DI_LINKMAP, &created->programMap);
    return created;
  }();
  return *state;
}

HMODULE ToHandle(uint32_t id) { return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(id)); }

uint32_t ToId(HMODULE module) {
  auto value = reinterpret_cast<uintptr_t>(module);
  return value > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(value);
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string PathOfMap(State& state, link_map* map) {
  if (map == state.programMap) return RealPath("/proc/self/exe");
  return RealPath(map->l_name ? map->l_name : "");
}

// The entry of a loaded object, created if missing. Called with the lock held.
uint32_t RegisterLocked(State& state, link_map* map) {
  const std::string mapName = map->l_name ? map->l_name : "";
  auto found = state.byMap.find(map);
  if (found != state.byMap.end()) {
    auto module = state.table.Find(found->second);
    if (module && module->mapName == mapName) return found->second;
    // The object was unloaded behind our back and the map reused.
    state.table.Remove(found->second);
    state.byMap.erase(found);
  }
  auto module = std::make_shared<Module>();
  module->map = map;
  module->mapName = mapName;
  module->path = PathOfMap(state, map);
  uint32_t id = state.table.Insert(module);
  if (id) state.byMap[map] = id;
  return id;
}

uint32_t ProgramId(State& state) {
  std::lock_guard guard(state.lock);
  return RegisterLocked(state, state.programMap);
}

std::shared_ptr<Module> FindModule(State& state, HMODULE module) {
  uint32_t id = module ? ToId(module) : ProgramId(state);
  return state.table.Find(id);
}

// "Plugin.DLL", "plugin.so" and "plugin" all name the same module.
std::string Stem(const std::string& fileName) {
  std::string folded;
  for (char c : fileName) folded.push_back(FoldCase(c));
  for (const char* extension : {".dll", ".so"}) {
    size_t length = std::strlen(extension);
    if (folded.size() > length && folded.ends_with(extension)) return folded.substr(0, folded.size() - length);
  }
  return folded;
}

struct LoadedObject {
  std::string name;
  const void* address;
};

std::vector<LoadedObject> LoadedObjects() {
  std::vector<LoadedObject> objects;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          if (info->dlpi_phdr[i].p_type != PT_LOAD) continue;
          auto* address = reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
          static_cast<std::vector<LoadedObject>*>(data)->push_back({info->dlpi_name ? info->dlpi_name : "", address});
          break;
        }
        return 0;
      },
      &objects);
  return objects;
}

// The file a bare LoadLibraryA name means: a file of that name (in any
// case) in the program's folder, else the name for the loader to search.
std::string LibraryPath(const char* name) {
  std::string text = WithSlashes(name);
  if (text.find('/') != std::string::npos) return ResolvePath(name);
  std::string local = ResolvePath((ProgramFolder() + "/" + text).c_str());
  struct stat info {};
  return stat(local.c_str(), &info) == 0 ? local : text;
}

// A library of the layer: one entry per library while it is loaded, counted
// like a shared object.
HMODULE LoadSystemLibrary(const SystemLibrary& library) {
  State& state = Modules();
  std::lock_guard guard(state.lock);
  auto found = state.bySystemLibrary.find(&library);
  if (found != state.bySystemLibrary.end()) {
    if (auto module = state.table.Find(found->second)) {
      ++module->loads;
      SetLastError(ERROR_SUCCESS);
      return ToHandle(found->second);
    }
  }
  auto module = std::make_shared<Module>();
  module->system = &library;
  module->path = SystemDirectory() + "/" + library.fileName;
  module->loads = 1;
  uint32_t id = state.table.Insert(module);
  if (!id) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  state.bySystemLibrary[&library] = id;
  SetLastError(ERROR_SUCCESS);
  return ToHandle(id);
}

HMODULE LoadedSystemLibrary(const SystemLibrary& library) {
  State& state = Modules();
  std::lock_guard guard(state.lock);
  auto found = state.bySystemLibrary.find(&library);
  return found == state.bySystemLibrary.end() ? nullptr : ToHandle(found->second);
}

}  // namespace

HMODULE ModuleFromAddress(const void* address) {
  Dl_info info{};
  link_map* map = nullptr;
  if (!address || !dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) || !map) return nullptr;
  State& state = Modules();
  std::lock_guard guard(state.lock);
  return ToHandle(RegisterLocked(state, map));
}

std::string ProgramFolder() {
  std::string program = RealPath("/proc/self/exe");
  return program.substr(0, program.find_last_of('/'));
}

std::string ModuleFilePath(HMODULE module) {
  auto found = FindModule(Modules(), module);
  return found ? found->path : std::string();
}

}  // namespace twl

TWLAPI HMODULE LoadLibraryA(LPCSTR name) {
  if (!name || !*name) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (const twl::SystemLibrary* library = twl::FindSystemLibrary(name)) {
    if (library->attach) library->attach();
    return twl::LoadSystemLibrary(*library);
  }
  std::string path = twl::LibraryPath(name);
  void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!dl) {
    const char* why = dlerror();
    SetLastError(why && std::strstr(why, "undefined symbol") ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  link_map* map = nullptr;
  dlinfo(dl, RTLD_DI_LINKMAP, &map);
  twl::State& state = twl::Modules();
  void* extra = nullptr;
  uint32_t id = 0;
  {
    std::lock_guard guard(state.lock);
    id = twl::RegisterLocked(state, map);
    auto module = state.table.Find(id);
    if (module && map != state.programMap) {
      // One loader reference per entry; further loads only count.
      if (module->dl) extra = dl;
      else module->dl = dl;
      ++module->loads;
    } else {
      extra = dl;
    }
  }
  if (extra) dlclose(extra);
  if (!id) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  return twl::ToHandle(id);
}

TWLAPI BOOL FreeLibrary(HMODULE handle) {
  twl::State& state = twl::Modules();
  void* unload = nullptr;
  {
    std::lock_guard guard(state.lock);
    auto module = state.table.Find(twl::ToId(handle));
    if (!module) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    if (module->loads == 0) return TRUE;  // the program, or a module the loader keeps anyway
    if (--module->loads > 0) return TRUE;
    unload = module->dl;
    module->dl = nullptr;
    state.table.Remove(twl::ToId(handle));
    if (module->system) state.bySystemLibrary.erase(module->system);
    else state.byMap.erase(module->map);
  }
  if (unload) dlclose(unload);
  return TRUE;
}

TWLAPI FARPROC GetProcAddress(HMODULE handle, LPCSTR name) {
  twl::State& state = twl::Modules();
  auto module = twl::FindModule(state, handle);
  if (!module) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (reinterpret_cast<uintptr_t>(name) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);  // no export ordinals here
    return nullptr;
  }
  if (module->system) {
    FARPROC address = twl::FindSystemExport(*module->system, name);
    SetLastError(address ? ERROR_SUCCESS : ERROR_PROC_NOT_FOUND);
    return address;
  }
  const bool program = module->map == state.programMap;
  void* dl = program ? state.programDl : dlopen(module->path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  void* symbol = dl ? dlsym(dl, name) : nullptr;
  if (symbol && !program) {
    // Only the module's own exports count, not those of its dependencies.
    Dl_info info{};
    link_map* owner = nullptr;
    if (!dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) || owner != module->map) {
      symbol = nullptr;
    }
  }
  if (dl && !program) dlclose(dl);
  if (!symbol) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

TWLAPI HMODULE GetModuleHandleA(LPCSTR name) {
  twl::State& state = twl::Modules();
  if (!name) return twl::ToHandle(twl::ProgramId(state));
  if (const twl::SystemLibrary* library = twl::FindSystemLibrary(name)) {
    if (HMODULE module = twl::LoadedSystemLibrary(*library)) return module;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::string wanted = twl::WithSlashes(name);
  const bool byPath = wanted.find('/') != std::string::npos;
  if (byPath) wanted = twl::RealPath(twl::ResolvePath(name));
  const std::string program = twl::RealPath("/proc/self/exe");
  for (const auto& object : twl::LoadedObjects()) {
    std::string path = object.name.empty() ? program : object.name;
    bool match = byPath ? twl::RealPath(path) == wanted
                        : twl::Stem(twl::FileNameOf(path)) == twl::Stem(wanted);
    if (match) {
      if (HMODULE module = twl::ModuleFromAddress(object.address)) return module;
    }
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

TWLAPI DWORD GetModuleFileNameA(HMODULE handle, LPSTR buffer, DWORD size) {
  auto module = twl::FindModule(twl::Modules(), handle);
  if (!module) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  const std::string& path = module->path;
  if (!buffer || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() >= size) {
    // Truncated: size-1 characters and the NUL; the answer equals the size.
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

TWLAPI HMODULE TwlTestModuleFromAddress(const void* address) { return twl::ModuleFromAddress(address); }
