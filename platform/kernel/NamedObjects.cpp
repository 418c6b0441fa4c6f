#include "NamedObjects.h"

#include <map>
#include <mutex>

namespace twl {
namespace {

std::mutex& NamesLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

std::map<std::string, std::weak_ptr<KernelObject>>& Names() {
  static auto* names = new std::map<std::string, std::weak_ptr<KernelObject>>;
  return *names;
}

HANDLE InsertOrFail(std::shared_ptr<KernelObject> object) {
  return object ? InsertHandle(std::move(object)) : nullptr;
}

}  // namespace

NamedLookup OpenOrCreateNamed(const std::string& name, ObjectKind kind,
                              const std::function<std::shared_ptr<KernelObject>()>& make) {
  std::lock_guard lock(NamesLock());
  auto& names = Names();
  if (auto existing = names[name].lock()) {
    if (existing->Kind() != kind) {
      SetLastError(ERROR_INVALID_HANDLE);
      return {};
    }
    HANDLE handle = InsertHandle(existing);
    if (handle) SetLastError(ERROR_ALREADY_EXISTS);
    return {handle, true};
  }
  if (!make) {
    names.erase(name);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return {};
  }
  auto object = make();  // sets the last error itself when it fails
  if (!object) {
    names.erase(name);
    return {};
  }
  names[name] = object;
  HANDLE handle = InsertOrFail(object);
  return {handle, false};
}

}  // namespace twl
