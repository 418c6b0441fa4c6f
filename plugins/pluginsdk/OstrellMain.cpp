#include "plugins/pluginsdk/OstrellMain.h"

#include "plugins/pluginsdk/HostErrors.h"
#include "plugins/pluginsdk/OwnedItems.h"
#include "plugins/pluginsdk/PlugInObject.h"

namespace pluginsdk {
namespace {

OstrellMain* g_MainObject = nullptr;

}  // namespace

OstrellMain::OstrellMain(DWORD requiredPlayerVersion, DWORD apiVersion)
    : m_Version{requiredPlayerVersion, apiVersion} {
  g_MainObject = this;
}

OstrellMain::~OstrellMain() {
  if (g_MainObject == this) g_MainObject = nullptr;
}

OstrellMain* OstrellMain::GetInstance() { return g_MainObject; }

const PlugInVersionInfo* OstrellMain::GetVersionPair() { return &m_Version; }

bool OstrellMain::CreateObjects() { return true; }

bool OstrellMain::Init(const HostApiTable* host, HMODULE module) {
  m_Host = host;
  m_Module = module;
  if (CreateObjects()) return true;
  KeepingThreadError(*m_Host, [this] { Exit(); });
  return false;
}

bool OstrellMain::Exit() {
  DeleteItems<PlugInObject>(m_Objects);
  return true;
}

void OstrellMain::Slot3(uintptr_t) {}

bool OstrellMain::FindObject(DWORD kind, DWORD index, const void** table, PLUGIN_CONTEXT* context) {
  DWORD matching = 0;
  for (int position = 0; position < m_Objects.GetCount(); ++position) {
    auto* object = static_cast<PlugInObject*>(m_Objects.GetAt(position));
    if (static_cast<DWORD>(object->GetKind()) != kind) continue;
    if (matching++ != index) continue;
    if (table) *table = object->GetInterface();
    if (context) *context = reinterpret_cast<PLUGIN_CONTEXT>(object);
    return true;
  }
  return false;
}

bool OstrellMain::AddObject(PlugInObject* object, bool constructed) {
  return AdoptItem(*m_Host, m_Objects, object, constructed);
}

const HostApiTable* GetMainHost() { return g_MainObject ? g_MainObject->GetHost() : nullptr; }

void SetMainMiscError(DWORD code) {
  if (const HostApiTable* host = GetMainHost()) host->HOST_SetMiscError(code);
}

}  // namespace pluginsdk
