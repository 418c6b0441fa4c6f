// The stored choice of skin: "<default>", a name below the Skins folder,
// or an absolute path of a skin file or skin folder.
#include <strings.h>

#include <cstring>

#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/ThreadErrorLog.h"

namespace {

// A stored name with neither a drive, a network path nor a leading
// slash (an absolute path here) lies below the Skins folder.
bool IsBelowSkinsFolder(const CStr& stored) {
  return !stored.IsEmpty() && !(stored == CUserInterface::kDefaultSkinName) && !std::strstr(stored, "\\\\") &&
         !std::strchr(stored, ':') && stored.c_str()[0] != '/';
}

}  // namespace

void CUserInterface::LoadSkinOption() {
  m_SkinName = kDefaultSkinName;
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &key)) return;
  CStr stored;
  if (GetRegistryString(key, "Skin", stored))
    m_SkinName = IsBelowSkinsFolder(stored) ? GetSystem().GetSkinsFolder() + stored : stored;
  RegCloseKey(key);
}

void CUserInterface::SaveSkinOption() {
  const CStr& folder = GetSystem().GetSkinsFolder();
  const size_t length = folder.GetLength();
  const bool inFolder =
      length > 0 && m_SkinName.GetLength() >= length && strncasecmp(m_SkinName, folder, length) == 0;
  const char* stored = inFolder ? m_SkinName.c_str() + length : m_SkinName.c_str();
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_SET_VALUE, &key)) {
    LogThreadError(LOGCODE_ERROR, nullptr);
    return;
  }
  if (!SetRegistryString(key, "Skin", stored)) LogThreadError(LOGCODE_ERROR, nullptr);
  RegCloseKey(key);
}
