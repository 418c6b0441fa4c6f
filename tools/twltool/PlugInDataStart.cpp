#include "PlugInDataStart.h"

#include "foundation/appcore/LogFront.h"
#include "foundation/kernel/Error.h"

namespace twltool {

namespace {

CStr WithSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder.c_str();
  return (folder + "/").c_str();
}

}  // namespace

PlugInsFolderEnvironment::PlugInsFolderEnvironment(const std::string& folder) : m_Folder(WithSeparator(folder)) {
  if (!folder.empty()) SetHostEnvironment(this);
}

PlugInsFolderEnvironment::~PlugInsFolderEnvironment() {
  if (&GetHostEnvironment() == this) SetHostEnvironment(nullptr);
}

PlugInDataStart::PlugInDataStart(const std::string& folder) : m_Environment(folder) {
  if (folder.empty()) return;
  m_Started = true;
  CDataSystem& data = GetDataSystem();
  m_Loader.LoadPlugIns(folder.c_str());
  data.LoadOptions();
  data.Init(m_Loader.GetManager());
}

void PlugInDataStart::StartProxies() {
  try {
    GetDataSystem().InitProxyDataBase();
  } catch (CError* error) {
    // A stored setting that cannot be read leaves the registrations; the
    // command goes on without the user's proxies, as the player does.
    LogFormat(HOST_LOG_ERROR, "%s\n", error->GetText().c_str());
    DisposeError(error);
  }
}

PlugInDataStart::~PlugInDataStart() {
  if (!m_Started) return;
  GetDataSystem().Exit();
  m_Loader.UnloadPlugIns();
}

}  // namespace twltool
