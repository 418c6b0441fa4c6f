#include "foundation/appcore/RegistryValues.h"

#include <cstring>

#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"

namespace {

bool FailGet(LONG result) {
  SetThreadError(THREAD_ERROR_GENERAL, static_cast<DWORD>(result),
                 LocalText("RegistryError.GetValue", "Error retrieving value from registry."));
  return false;
}

bool FailSet(LONG result) {
  SetThreadError(THREAD_ERROR_GENERAL, static_cast<DWORD>(result),
                 LocalText("RegistryError.SetValue", "Error setting registry value."));
  return false;
}

// Reads a value of exactly this type and size; larger, smaller or other
// values are refused before a byte is copied.
bool GetExactValue(HKEY key, const char* name, DWORD wantedType, void* buffer, DWORD wantedSize) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG result = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  if (result != ERROR_SUCCESS) return FailGet(result);
  if (type != wantedType || size != wantedSize) return FailGet(ERROR_INVALID_DATA);
  result = RegQueryValueExA(key, name, nullptr, &type, static_cast<BYTE*>(buffer), &size);
  if (result != ERROR_SUCCESS) return FailGet(result);
  if (type != wantedType || size != wantedSize) return FailGet(ERROR_INVALID_DATA);
  return true;
}

}  // namespace

bool GetRegistryString(HKEY key, const char* name, CStr& text) {
  text = CStr();
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG result = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  if (result != ERROR_SUCCESS) return FailGet(result);
  if (type != REG_SZ || size == 0) return FailGet(ERROR_INVALID_DATA);
  // Two spare zero bytes end the text even when the stored value has no
  // terminator of its own.
  std::vector<char> buffer(static_cast<size_t>(size) + 2, '\0');
  DWORD read = size;
  result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read);
  if (result != ERROR_SUCCESS) return FailGet(result);
  if (type != REG_SZ) return FailGet(ERROR_INVALID_DATA);
  text = CStr(buffer.data());
  return true;
}

bool SetRegistryString(HKEY key, const char* name, const char* text) {
  const char* value = text ? text : "";
  const DWORD size = static_cast<DWORD>(std::strlen(value) + 1);
  const LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), size);
  return result == ERROR_SUCCESS || FailSet(result);
}

bool GetRegistryDWord(HKEY key, const char* name, DWORD* value) {
  DWORD read = 0;
  const bool ok = GetExactValue(key, name, REG_DWORD, &read, sizeof read);
  *value = ok ? read : 0;
  return ok;
}

bool SetRegistryDWord(HKEY key, const char* name, DWORD value) {
  const LONG result = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  return result == ERROR_SUCCESS || FailSet(result);
}

bool GetRegistryBinary(HKEY key, const char* name, void* buffer, DWORD size) {
  return GetExactValue(key, name, REG_BINARY, buffer, size);
}

bool SetRegistryBinary(HKEY key, const char* name, const void* data, DWORD size) {
  const LONG result = RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
  return result == ERROR_SUCCESS || FailSet(result);
}

bool GetRegistryBinaryAlloc(HKEY key, const char* name, std::vector<BYTE>& data, bool& found) {
  found = false;
  data.clear();
  // Another process may make the value larger between the two queries:
  // then the size is asked again.
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND) return true;
    if (result != ERROR_SUCCESS) return FailGet(result);
    if (type != REG_BINARY) return true;
    data.resize(size);
    result = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
    if (result == ERROR_MORE_DATA) continue;
    if (result == ERROR_FILE_NOT_FOUND || (result == ERROR_SUCCESS && type != REG_BINARY)) {
      data.clear();
      return true;
    }
    if (result != ERROR_SUCCESS) {
      data.clear();
      return FailGet(result);
    }
    data.resize(size);
    found = true;
    return true;
  }
  return FailGet(ERROR_MORE_DATA);
}
