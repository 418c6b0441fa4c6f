// The settings root, the registry functions every part of the program
// keeps its values with, the values CSystem keeps itself ("AppDir",
// "FirstStart") and the program's version.
#include "app/core/System.h"
#include "foundation/appcore/PlayerVersion.h"
#include "foundation/appcore/ProductName.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"

namespace {

// Closes a key on every way out of a scope.
class KeyHolder {
 public:
  KeyHolder() = default;
  KeyHolder(const KeyHolder&) = delete;
  KeyHolder& operator=(const KeyHolder&) = delete;
  ~KeyHolder() {
    if (m_Key) RegCloseKey(m_Key);
  }
  HKEY* Out() { return &m_Key; }
  HKEY Get() const { return m_Key; }

 private:
  HKEY m_Key = nullptr;
};

bool KeyOpens(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

[[noreturn]] void ThrowFatalRegistryError(const char* textKey, const char* defaultText) {
  ThrowError<CError>(LocalText("CSystem.FatalRegistryError.Caption", "Fatal error"), LocalText(textKey, defaultText));
}

}  // namespace

// The settings live under the current user when the key is there, under
// the machine when only the machine has it; a key that exists nowhere yet
// goes where this kind of system keeps per-user settings.
void CSystem::ChooseSettingsRoot() {
  HKEY root = HKEY_CURRENT_USER;
  if (KeyOpens(HKEY_CURRENT_USER, kSettingsKeyPath)) {
    root = HKEY_CURRENT_USER;
  } else if (KeyOpens(HKEY_LOCAL_MACHINE, kSettingsKeyPath)) {
    root = HKEY_LOCAL_MACHINE;
  } else {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) {
      ThrowError<CError>(LocalText("CSystem.GetOSVersionFailed.Caption", "Fatal error"),
                         LocalText("CSystem.GetOSVersionFailed.Text", "Unable to determine operating system type."));
    }
    root = version.dwPlatformId == VER_PLATFORM_WIN32_NT ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  }
  // Kept once, by the library's settings key: the library's window places
  // and option pages and every system open the key through it.
  SetSettingsKey(root, kSettingsKeyPath);
}

HKEY CSystem::GetSettingsRoot() const { return ::GetSettingsRoot(); }

CStr CSystem::GetSettingsPath() const { return ::GetSettingsPath(); }

void CSystem::ChooseClassesRoot() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  const bool nt5 = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                   version.dwMajorVersion > 4;
  m_ClassesRoot = nt5 ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
  m_ClassesPath = nt5 ? "Software\\Classes" : "";
}

bool CSystem::OpenRegistryKey(HKEY root, const char* subKey, REGSAM access, HKEY* key) {
  *key = nullptr;
  const LONG result = RegOpenKeyExA(root, subKey, 0, access, key);
  if (result == ERROR_SUCCESS) return true;
  *key = nullptr;
  SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText("RegistryError.OpenKey", "Error opening registry key."));
  return false;
}

bool CSystem::CreateRegistryKey(HKEY root, const char* subKey, REGSAM access, HKEY* key, const char* defaultText) {
  *key = nullptr;
  const LONG result =
      RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key, nullptr);
  if (result != ERROR_SUCCESS) {
    *key = nullptr;
    SetThreadError(THREAD_ERROR_GENERAL, 0,
                   LocalText("RegistryError.CreateOpenKey", "Error creating or opening registry key."));
    return false;
  }
  if (defaultText && !SetRegistryString(*key, nullptr, defaultText)) {
    RegCloseKey(*key);
    *key = nullptr;
    return false;
  }
  return true;
}

bool CSystem::OpenClassesKey(REGSAM access, HKEY* key) const {
  return OpenRegistryKey(m_ClassesRoot, m_ClassesPath, access, key);
}

bool CSystem::DeleteRegistryValue(HKEY key, const char* name) { return RegDeleteValueA(key, name) == ERROR_SUCCESS; }

bool CSystem::GetRegistryString(HKEY key, const char* name, CStr& text) {
  return ::GetRegistryString(key, name, text);
}

bool CSystem::GetRegistryDWord(HKEY key, const char* name, DWORD* value) {
  return ::GetRegistryDWord(key, name, value);
}

bool CSystem::GetRegistryBinary(HKEY key, const char* name, void* buffer, DWORD size) {
  return ::GetRegistryBinary(key, name, buffer, size);
}

// Only a REG_BINARY value counts; an empty one gives an empty buffer.
bool CSystem::GetRegistryBinaryAlloc(HKEY key, const char* name, std::vector<BYTE>& data) {
  bool found = false;
  if (!::GetRegistryBinaryAlloc(key, name, data, found)) return false;
  if (found) return true;
  SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText("RegistryError.GetValue", "Error retrieving value from registry."));
  return false;
}

bool CSystem::SetRegistryString(HKEY key, const char* name, const char* text) {
  return ::SetRegistryString(key, name, text);
}

bool CSystem::SetRegistryDWord(HKEY key, const char* name, DWORD value) {
  return ::SetRegistryDWord(key, name, value);
}

bool CSystem::SetRegistryBinary(HKEY key, const char* name, const void* data, DWORD size) {
  return ::SetRegistryBinary(key, name, data, size);
}

// "AppDir" tells other programs (the burner among them) where the player
// lives; a folder stored there already is the user's and stays.
void CSystem::WriteAppDir() {
  KeyHolder maker;
  if (RegCreateKeyExA(GetSettingsRoot(), kMakerKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_CREATE_SUB_KEY,
                      nullptr, maker.Out(), nullptr) != ERROR_SUCCESS)
    ThrowFatalRegistryError("CSystem.FatalRegistryError.OpenKey", "Unable to open registry key.");
  KeyHolder product;
  if (RegCreateKeyExA(maker.Get(), kProductName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, product.Out(), nullptr) != ERROR_SUCCESS)
    ThrowFatalRegistryError("CSystem.FatalRegistryError.OpenKey", "Unable to open registry key.");
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExA(product.Get(), "AppDir", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size >= 2)
    return;
  const DWORD length = static_cast<DWORD>(m_ProgramFolder.GetLength() + 1);
  if (RegSetValueExA(product.Get(), "AppDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(m_ProgramFolder.c_str()),
                     length) != ERROR_SUCCESS)
    ThrowFatalRegistryError("CSystem.FatalRegistryError.SetValue", "Unable to set registry value.");
}

void CSystem::ReadFirstStart() {
  m_FirstStart = true;
  HKEY key = nullptr;
  if (RegOpenKeyExA(GetSettingsRoot(), GetSettingsPath(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  DWORD type = REG_NONE;
  DWORD value = 1;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key, "FirstStart", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
          ERROR_SUCCESS &&
      type == REG_DWORD && size == sizeof value && value == 0)
    m_FirstStart = false;
  RegCloseKey(key);
}

void CSystem::WriteFirstStart(bool firstStart) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(GetSettingsRoot(), GetSettingsPath(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  if (!SetRegistryDWord(key, "FirstStart", firstStart ? 1 : 0)) LogThreadError(LOGCODE_ERROR, nullptr);
  RegCloseKey(key);
}

void CSystem::ExtractVersion() {
  m_VersionText = CStr();
  m_MajorVersion = m_MinorVersion = m_BuildNumber = -1;
  // Throws the "Fatal resource error" when the resource is missing or
  // malformed.
  const PlayerVersion& version = GetRunningPlayerVersion();
  m_VersionText = version.text;
  m_MajorVersion = version.major;
  m_MinorVersion = version.minor;
  m_BuildNumber = version.build;
  m_Version = version.packed;
}

bool CSystem::IsVersionSupported(DWORD first, DWORD second) const { return !(first > m_Version && second > m_Version); }
