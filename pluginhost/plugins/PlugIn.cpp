#include "pluginhost/plugins/PlugIn.h"

#include <cstring>

#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/WindowsError.h"
#include "foundation/kernel/Placeholder.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/plugins/PlugInVersion.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlugIn, CTypedObject)

namespace {

CStr NameOf(const char* fileName) {
  const CStr name(fileName);
  const char* text = name.c_str();
  const char* dot = std::strrchr(text, '.');
  return dot ? CStr(text, static_cast<size_t>(dot - text)) : name;
}

// A main interface that lacks a function the host must call.
CStr MainInterfaceIncompleteText(const char* function) {
  return ReplacePlaceholder(
      LocalText("CPlugIn.MainInterfaceIncomplete", "The plugin's main interface lacks '%FUNCTION%'."),
      {"%FUNCTION%", function});
}

}  // namespace

CPlugIn::~CPlugIn() { Unload(); }

bool CPlugIn::Load(const char* path, const char* fileName) {
  Unload();
  m_FileName = fileName;
  m_Name = NameOf(fileName);
  LogFormat(LOG_CATEGORY_INFO, "%s",
            ReplacePlaceholder(LocalText("CPlugIn.Loading", "Loading plugin '%PLUGIN%'..."), {"%PLUGIN%", m_FileName})
                .c_str());

  m_Module = LoadLibraryA(path);
  if (!m_Module) {
    const CStr error(CWindowsError::GetErrorText(GetLastError()));
    return FailLoad(ReplacePlaceholder(LocalText("CPlugIn.ErrorLoadDLL", "Can't load DLL (reported error: %ERROR%)"),
                                       {"%ERROR%", error}));
  }
  if (!TakeMainInterface()) return false;

  if (!IsVersionSupported(m_Version))
    return FailLoad(GetHigherPlayerVersionRequiredText(m_Version.requiredPlayerVersion));
  m_Version2 = SpeaksVersion2(m_Version, *m_MainInterface);
  LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText("CPlugIn.InitDone", "done").c_str());
  return true;
}

// The export, the table it returns and the table's version. A table
// without the functions the host calls unconditionally is refused here, so
// that no later call goes through a null slot.
bool CPlugIn::TakeMainInterface() {
  auto getMainInterface = reinterpret_cast<PLUGIN_GetMainInterfaceFunction>(
      reinterpret_cast<void*>(GetProcAddress(m_Module, PLUGIN_MAIN_INTERFACE_EXPORT)));
  if (!getMainInterface) {
    return FailLoad(LocalText("CPlugIn.CantFindGetMainInterface", "Can't find 'PLUGIN_GetMainInterface'."));
  }
  m_MainInterface = getMainInterface();
  if (!m_MainInterface) return FailLoad(MainInterfaceIncompleteText("PLUGIN_GetMainInterface"));
  if (!m_MainInterface->PLUGIN_GetVersion) return FailLoad(MainInterfaceIncompleteText("PLUGIN_GetVersion"));
  if (!m_MainInterface->PLUGIN_Init) return FailLoad(MainInterfaceIncompleteText("PLUGIN_Init"));
  m_Version = {0, 0};
  m_MainInterface->PLUGIN_GetVersion(&m_Version);
  return true;
}

bool CPlugIn::FailLoad(const CStr& text) {
  LogFormat(LOG_CATEGORY_ERROR, "%s\n", text.c_str());
  Unload();
  return false;
}

void CPlugIn::Unload() {
  if (m_Initialized) Exit();
  if (m_Module) FreeLibrary(m_Module);
  m_Module = nullptr;
  m_MainInterface = nullptr;
  m_Version2 = false;
}

bool CPlugIn::Init() {
  if (!m_MainInterface) return false;
  m_Initialized = m_MainInterface->PLUGIN_Init(GetHostApiTable(), m_Module) != FALSE;
  return m_Initialized;
}

bool CPlugIn::Exit() {
  m_Initialized = false;
  if (!m_MainInterface || !m_MainInterface->PLUGIN_Exit) return false;
  return m_MainInterface->PLUGIN_Exit() != FALSE;
}

const void* CPlugIn::GetObject(DWORD kind) {
  if (!m_MainInterface || !m_MainInterface->PLUGIN_GetObject) return nullptr;
  return m_MainInterface->PLUGIN_GetObject(kind);
}

bool CPlugIn::EnumObjects(DWORD kind, DWORD index, const void** table, PLUGIN_CONTEXT* context) {
  if (!m_Version2 || !m_MainInterface || !m_MainInterface->PLUGIN_EnumObjects) return false;
  return m_MainInterface->PLUGIN_EnumObjects(kind, index, table, context) != FALSE;
}
