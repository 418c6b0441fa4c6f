#include "ClassesRoot.h"

#include <gtest/gtest.h>

namespace icontest {

void SetClassesValue(const std::string& subKey, DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  const std::string path = "Software\\Classes\\" + subKey;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void RegisterFileType(const std::string& extension, const std::string& type, const std::string& location) {
  SetClassesValue(extension, REG_SZ, type + '\0');
  if (!location.empty()) SetClassesValue(type + "\\DefaultIcon", REG_SZ, location + '\0');
}

}  // namespace icontest
