#include "pluginhost/plugins/PlugInObjectHead.h"

#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Placeholder.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/objects/ConfigurableObject.h"
#include "pluginhost/plugins/PlugInRegistry.h"
#include "pluginhost/plugins/PlugInVersion.h"

void SetMissingObjectFunctionError(const char* function) {
  const CStr text = ReplacePlaceholder(
      LocalText("PlugIn.MissingObjectFunction", "The plugin object lacks the mandatory function '%FUNCTION%'."),
      {"%FUNCTION%", function});
  SetThreadError(THREAD_ERROR_GENERAL, 0, text);
}

bool HasMandatorySlots(const void* table, std::initializer_list<MandatorySlot> slots) {
  if (!table) {
    SetMissingObjectFunctionError("OBJECT_GetVersion");
    return false;
  }
  for (const MandatorySlot& entry : slots) {
    if (!entry.slot) {
      SetMissingObjectFunctionError(entry.name);
      return false;
    }
  }
  return true;
}

bool FailUnloadedObject() {
  SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_INVALID_PARAM, GetMiscErrorText(MISC_ERROR_INVALID_PARAM));
  return false;
}

namespace {

// A head without the functions the init calls unconditionally is refused
// before anything of it runs.
template <class Head>
bool HasMandatoryFunctions(const Head* head) {
  if (!head || !head->OBJECT_GetVersion) {
    SetMissingObjectFunctionError("OBJECT_GetVersion");
    return false;
  }
  if (!head->OBJECT_GetDescription) {
    SetMissingObjectFunctionError("OBJECT_GetDescription");
    return false;
  }
  return true;
}

}  // namespace

bool CPlugInObjectHead::Init(const void* table, const char* name, const char* plugInName) {
  Unload();
  const auto* head = static_cast<const PlugInObjectInterface*>(table);
  if (!HasMandatoryFunctions(head)) return false;
  m_Version = {0, 0};
  head->OBJECT_GetVersion(&m_Version);
  m_Table = table;
  m_Context = 0;
  m_Version2 = false;
  return InitCommon(name, plugInName, plugInName);
}

bool CPlugInObjectHead::Init2(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key,
                              const char* plugInName) {
  Unload();
  const auto* head = static_cast<const PlugInObjectInterface2*>(table);
  if (!HasMandatoryFunctions(head)) return false;
  m_Version = {0, 0};
  head->OBJECT_GetVersion(context, &m_Version);
  m_Table = table;
  m_Context = context;
  m_Version2 = true;
  return InitCommon(name, key, plugInName);
}

// From the version check on; the table, context and version are set.
bool CPlugInObjectHead::InitCommon(const char* name, const char* key, const char* plugInName) {
  if (!IsVersionSupported(m_Version)) {
    SetThreadError(THREAD_ERROR_GENERAL, 0, GetHigherPlayerVersionRequiredText(m_Version.requiredPlayerVersion));
    m_Table = nullptr;
    return false;
  }
  m_Name = name;
  m_Key = key;
  m_PlugInName = plugInName;
  GetPlugInRegistry().Register(GetHandle(), m_Name, m_Key, m_PlugInName, m_Wrapper.GetClassRecord(), &m_Wrapper);

  const bool initialized = m_Version2 ? (!Head2()->OBJECT_Init || Head2()->OBJECT_Init(m_Context, GetHandle()))
                                      : (!Head1()->OBJECT_Init || Head1()->OBJECT_Init());
  if (!initialized) {
    GetPlugInRegistry().Unregister(GetHandle());
    m_Table = nullptr;
    return false;
  }

  char* description = m_Version2 ? Head2()->OBJECT_GetDescription(m_Context) : Head1()->OBJECT_GetDescription();
  if (!description) {
    Unload();
    return false;
  }
  m_Description = description;
  HostFree(description);
  return true;
}

void CPlugInObjectHead::Unload() {
  if (!m_Table) return;
  if (m_Version2) {
    if (Head2()->OBJECT_Exit) Head2()->OBJECT_Exit(m_Context);
  } else if (Head1()->OBJECT_Exit) {
    Head1()->OBJECT_Exit();
  }
  GetPlugInRegistry().Unregister(GetHandle());
  m_Table = nullptr;
}

void* CPlugInObjectHead::GetHandle() const {
  if (m_Version2) return &m_Wrapper;
  return const_cast<void*>(m_Table);
}

int CPlugInObjectHead::GetImageIndex() const {
  if (!m_Table) return -1;
  if (m_Version2) return Head2()->OBJECT_GetIconIndex ? Head2()->OBJECT_GetIconIndex(m_Context) : -1;
  return Head1()->OBJECT_GetIconIndex ? Head1()->OBJECT_GetIconIndex() : -1;
}

bool CPlugInObjectHead::HasConfigure() const {
  if (!m_Table) return false;
  if (m_Version2) return Head2()->OBJECT_HasConfiguration && Head2()->OBJECT_HasConfiguration(m_Context);
  return Head1()->OBJECT_Configure != nullptr;
}

bool CPlugInObjectHead::Configure(HWND owner) const {
  if (!m_Table) return true;
  if (m_Version2) return !Head2()->OBJECT_Configure || Head2()->OBJECT_Configure(m_Context, owner);
  return !Head1()->OBJECT_Configure || Head1()->OBJECT_Configure(owner);
}

bool CPlugInObjectHead::HasInfo() const {
  return m_Table && m_Version2 && Head2()->OBJECT_HasInfo && Head2()->OBJECT_HasInfo(m_Context);
}

bool CPlugInObjectHead::ShowInfo(HWND owner) const {
  if (!m_Table || !m_Version2) return true;
  return !Head2()->OBJECT_ShowInfo || Head2()->OBJECT_ShowInfo(m_Context, owner);
}

void CPlugInObjectHead::BeginSkinChange() const {
  if (!m_Table) return;
  if (m_Version2) {
    if (Head2()->OBJECT_BeginSkinChange) Head2()->OBJECT_BeginSkinChange(m_Context);
  } else if (Head1()->OBJECT_BeginSkinChange) {
    Head1()->OBJECT_BeginSkinChange();
  }
}

void CPlugInObjectHead::EndSkinChange() const {
  if (!m_Table) return;
  if (m_Version2) {
    if (Head2()->OBJECT_EndSkinChange) Head2()->OBJECT_EndSkinChange(m_Context);
  } else if (Head1()->OBJECT_EndSkinChange) {
    Head1()->OBJECT_EndSkinChange();
  }
}

bool CPlugInObjectHead::RestoreSurfaces() const {
  if (!m_Table) return true;
  if (m_Version2) return !Head2()->OBJECT_RestoreSurfaces || Head2()->OBJECT_RestoreSurfaces(m_Context);
  return !Head1()->OBJECT_RestoreSurfaces || Head1()->OBJECT_RestoreSurfaces();
}
