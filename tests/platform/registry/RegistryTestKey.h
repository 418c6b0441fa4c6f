// A key of the current user that a test works in, closed at the end.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

class ScopedKey {
 public:
  ScopedKey() = default;
  explicit ScopedKey(HKEY key) : key_(key) {}
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() {
    if (key_) RegCloseKey(key_);
  }
  HKEY get() const { return key_; }
  HKEY* out() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

inline HKEY CreateKey(HKEY root, const char* path, REGSAM access = KEY_ALL_ACCESS) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr),
            ERROR_SUCCESS)
      << path;
  return key;
}

inline LONG OpenKey(HKEY root, const char* path, HKEY* key, REGSAM access = KEY_ALL_ACCESS) {
  return RegOpenKeyExA(root, path, 0, access, key);
}

struct StoredValue {
  LONG result = -1;
  DWORD type = 0xDEADBEEF;
  std::vector<BYTE> data;
};

// Reads a value in two steps, as careful callers do: size, then bytes.
inline StoredValue ReadValue(HKEY key, const char* name) {
  StoredValue value;
  DWORD size = 0;
  value.result = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
  if (value.result != ERROR_SUCCESS) return value;
  value.data.resize(size);
  value.result = RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(), &size);
  value.data.resize(size);
  return value;
}

inline void WriteDword(HKEY key, const char* name, DWORD number) {
  ASSERT_EQ(RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
}

inline std::vector<BYTE> Bytes(const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); }
