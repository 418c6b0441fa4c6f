#include "foundation/appcore/SettingsKey.h"

#include <mutex>

#include "foundation/appcore/ProductName.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"

namespace {

struct SettingsKey {
  std::mutex lock;
  HKEY root = HKEY_CURRENT_USER;
  CStr path = kProductSettingsPath;
};

SettingsKey& TheSettingsKey() {
  static SettingsKey key;
  return key;
}

}  // namespace

void SetSettingsKey(HKEY root, const char* path) {
  SettingsKey& key = TheSettingsKey();
  std::lock_guard<std::mutex> guard(key.lock);
  key.root = root;
  key.path = path;
}

HKEY GetSettingsRoot() {
  SettingsKey& key = TheSettingsKey();
  std::lock_guard<std::mutex> guard(key.lock);
  return key.root;
}

CStr GetSettingsPath() {
  SettingsKey& key = TheSettingsKey();
  std::lock_guard<std::mutex> guard(key.lock);
  return key.path;
}

bool OpenSettingsKey(REGSAM access, HKEY* key) {
  *key = nullptr;
  const HKEY root = GetSettingsRoot();
  const CStr path = GetSettingsPath();
  // Writing must not fail only because nothing was stored before (a fresh
  // user profile): the key is made on the way.
  const bool writing = (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0;
  const LONG result = writing ? RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                                key, nullptr)
                              : RegOpenKeyExA(root, path, 0, access, key);
  if (result == ERROR_SUCCESS) return true;
  *key = nullptr;
  SetThreadError(THREAD_ERROR_GENERAL, static_cast<DWORD>(result),
                 LocalText("RegistryError.OpenKey", "Error opening registry key."));
  return false;
}
