#include "plugins/pluginsdk/PlugInObject.h"

#include "plugins/pluginsdk/OstrellMain.h"

namespace pluginsdk {

PlugInObject::PlugInObject(bool& constructed, const char* name, const char* id, const char* description,
                           const PlugInVersionInfo* version)
    : m_Host(GetMainHost()),
      m_Name(m_Host->HOST_AllocString(name)),
      m_Id(m_Host->HOST_AllocString(id)),
      m_Description(m_Host->HOST_AllocString(description)),
      m_Version(version ? *version : *OstrellMain::GetInstance()->GetVersionPair()) {
  constructed = m_Name && m_Id && m_Description;
}

PlugInObject::~PlugInObject() {
  m_Host->HOST_Free(m_Name);
  m_Host->HOST_Free(m_Id);
  m_Host->HOST_Free(m_Description);
}

char* PlugInObject::GetId() { return m_Host->HOST_AllocString(m_Id); }
char* PlugInObject::GetName() { return m_Host->HOST_AllocString(m_Name); }
char* PlugInObject::GetDescription() { return m_Host->HOST_AllocString(m_Description); }
int32_t PlugInObject::GetIconIndex() { return m_IconIndex; }

void PlugInObject::GetVersion(PlugInVersionInfo* info) {
  if (info) *info = m_Version;
}

bool PlugInObject::Init(PLUGIN_HANDLE caller) {
  m_IconIndex = -1;
  m_Caller = caller;
  return true;
}

bool PlugInObject::Exit() { return true; }
bool PlugInObject::HasConfiguration() { return false; }
bool PlugInObject::Configure(HWND) { return true; }
bool PlugInObject::HasInfo() { return false; }
bool PlugInObject::ShowInfo(HWND) { return true; }
void PlugInObject::BeginSkinChange() {}
void PlugInObject::EndSkinChange() {}
bool PlugInObject::RestoreSurfaces() { return true; }

void PlugInObject::LogError(DWORD category, const char* text) { m_Host->HOST_LogError(text, category); }

}  // namespace pluginsdk
