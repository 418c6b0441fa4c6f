#include "SystemModules.h"

#include <dlfcn.h>

#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <utility>

#include "platform/files/FileAttributes.h"
#include "platform/files/PathResolver.h"
#include "twlwin/errors.h"
#include "twlwin/testing.h"

namespace twl {
namespace {

// "DDRAW.DLL", "ddraw.dll" and "ddraw" are one library.
std::string LibraryKey(const std::string& fileName) {
  std::string key;
  for (char c : fileName) key.push_back(FoldCase(c));
  if (key.size() > 4 && key.ends_with(".dll")) key.resize(key.size() - 4);
  return key;
}

struct Registry {
  std::map<std::string, SystemLibrary> libraries;  // by LibraryKey; filled at load time only
  std::mutex hiddenLock;
  std::set<std::string> hiddenLibraries;
  std::set<std::pair<std::string, std::string>> hiddenExports;
};

Registry& Libraries() {
  static Registry* registry = new Registry;  // never destroyed: used during exit
  return *registry;
}

bool IsHidden(const std::string& key) {
  Registry& registry = Libraries();
  std::lock_guard guard(registry.hiddenLock);
  return registry.hiddenLibraries.count(key) != 0;
}

}  // namespace

SystemLibraryRegistration::SystemLibraryRegistration(const char* fileName,
                                                     std::initializer_list<SystemExport> exports) {
  SystemLibrary& library = Libraries().libraries[LibraryKey(fileName)];
  library.fileName = fileName;
  library.exports.assign(exports.begin(), exports.end());
}

SystemLibraryRegistration::SystemLibraryRegistration(const char* fileName, SystemVersion version,
                                                     std::initializer_list<SystemExport> exports)
    : SystemLibraryRegistration(fileName, exports) {
  Libraries().libraries[LibraryKey(fileName)].version = version;
}

SystemLibraryRegistration::SystemLibraryRegistration(const char* fileName, void (*attach)(),
                                                     std::initializer_list<SystemExport> exports)
    : SystemLibraryRegistration(fileName, exports) {
  Libraries().libraries[LibraryKey(fileName)].attach = attach;
}

SystemLibraryRegistration::SystemLibraryRegistration(const char* fileName, bool (*present)(),
                                                     std::initializer_list<SystemExport> exports)
    : SystemLibraryRegistration(fileName, exports) {
  Libraries().libraries[LibraryKey(fileName)].present = present;
}

const std::string& SystemDirectory() {
  static const std::string folder = [] {
    Dl_info info{};
    std::string path;
    if (dladdr(reinterpret_cast<const void*>(&SystemDirectory), &info) && info.dli_fname) {
      path = AbsolutePath(info.dli_fname);
    }
    std::string::size_type slash = path.find_last_of('/');
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/system32";
  }();
  return folder;
}

const SystemLibrary* FindSystemLibrary(const char* name) {
  if (!name || !*name) return nullptr;
  std::string path = WithSlashes(name);
  std::string::size_type slash = path.find_last_of('/');
  if (slash != std::string::npos && !EqualIgnoringCase(path.substr(0, slash), SystemDirectory())) return nullptr;
  std::string key = LibraryKey(slash == std::string::npos ? path : path.substr(slash + 1));
  const auto& libraries = Libraries().libraries;
  auto found = libraries.find(key);
  if (found == libraries.end() || IsHidden(key)) return nullptr;
  if (found->second.present && !found->second.present()) return nullptr;
  return &found->second;
}

FARPROC FindSystemExport(const SystemLibrary& library, const char* name) {
  if (!name) return nullptr;
  {
    Registry& registry = Libraries();
    std::lock_guard guard(registry.hiddenLock);
    if (registry.hiddenExports.count({LibraryKey(library.fileName), name})) return nullptr;
  }
  for (const SystemExport& entry : library.exports) {
    if (std::strcmp(entry.name, name) == 0) return entry.address;
  }
  return nullptr;
}

}  // namespace twl

TWLAPI void TwlTestHideSystemLibrary(LPCSTR fileName, BOOL hidden) {
  twl::Registry& registry = twl::Libraries();
  std::lock_guard guard(registry.hiddenLock);
  std::string key = twl::LibraryKey(fileName ? fileName : "");
  if (hidden) registry.hiddenLibraries.insert(key);
  else registry.hiddenLibraries.erase(key);
}

TWLAPI void TwlTestHideSystemExport(LPCSTR fileName, LPCSTR exportName, BOOL hidden) {
  twl::Registry& registry = twl::Libraries();
  std::lock_guard guard(registry.hiddenLock);
  std::pair<std::string, std::string> key{twl::LibraryKey(fileName ? fileName : ""), exportName ? exportName : ""};
  if (hidden) registry.hiddenExports.insert(key);
  else registry.hiddenExports.erase(key);
}

TWLAPI UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  const std::string& folder = twl::SystemDirectory();
  if (!buffer || size <= folder.size()) return static_cast<UINT>(folder.size() + 1);
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<UINT>(folder.size());
}
