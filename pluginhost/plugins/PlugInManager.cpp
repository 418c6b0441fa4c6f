#include "pluginhost/plugins/PlugInManager.h"

#include <strings.h>

#include <cstring>

#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Placeholder.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInManager, CTypedObject)

namespace {

bool HasDllExtension(const char* name) {
  const char* dot = std::strrchr(name, '.');
  return dot && strcasecmp(dot, ".dll") == 0;
}

// The folder with a separator at its end; the caller's may have one.
CStr FolderWithSeparator(const char* folder) {
  CStr text(folder);
  const size_t length = text.GetLength();
  if (length == 0 || (text.c_str()[length - 1] != '\\' && text.c_str()[length - 1] != '/')) text += "/";
  return text;
}

}  // namespace

CPlugInManager::~CPlugInManager() { UnloadAll(); }

void CPlugInManager::UnloadAll() {
  while (!m_PlugIns.empty()) m_PlugIns.pop_back();
}

CPlugIn* CPlugInManager::GetPlugIn(INT index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_PlugIns.size()) return nullptr;
  return m_PlugIns[static_cast<size_t>(index)].get();
}

bool CPlugInManager::IsLoaded(const char* fileName) const {
  for (const auto& plugIn : m_PlugIns) {
    if (strcasecmp(plugIn->GetFileName().c_str(), fileName) == 0) return true;
  }
  return false;
}

void CPlugInManager::ScanFolder(const char* folder, bool onlyNew) {
  const CStr prefix = FolderWithSeparator(folder);
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(CStr::Format("%s*.dll", prefix.c_str()), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  bool announced = false;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (!HasDllExtension(entry.cFileName)) continue;
    if (onlyNew && IsLoaded(entry.cFileName)) continue;
    if (onlyNew && !announced) {
      announced = true;
      LogFormat(
          LOG_CATEGORY_INFO, "\n%s\n\n",
          LocalText("CPluginManager.NewPluginsDetectedHeader", "-------- new plugin(s) detected --------").c_str());
    }
    LoadOne(CStr::Format("%s%s", prefix.c_str(), entry.cFileName), entry.cFileName);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

void CPlugInManager::LoadOne(const CStr& path, const char* fileName) {
  auto plugIn = std::make_unique<CPlugIn>();
  if (!plugIn->Load(path, fileName)) return;
  LogFormat(LOG_CATEGORY_INFO, "%s",
            ReplacePlaceholder(LocalText("CPluginManager.InitializingPlugin", "initializing plugin '%PLUGIN%'..."),
                               {"%PLUGIN%", plugIn->GetFileName()})
                .c_str());
  if (!plugIn->Init()) {
    LogFormat(LOG_CATEGORY_ERROR, "%s\n", GetThreadErrorText().c_str());
    return;  // deleting it unloads it, without PLUGIN_Exit
  }
  LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText("CPluginManager.InitializingPlugin.Done", "done").c_str());
  m_PlugIns.push_back(std::move(plugIn));
}
