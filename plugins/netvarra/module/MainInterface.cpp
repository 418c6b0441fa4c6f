// Netvarra's one export and its main table. A version-1 plug-in: the host
// asks it for one object per kind.
#include "pluginhost/abi/PlugInAbi.h"
#include "plugins/netvarra/module/Module.h"
#include "plugins/netvarra/module/StreamProviderInterface.h"

namespace netvarra {
namespace {

BOOL Init(const HostApiTable* host, HMODULE module) {
  g_Host = host;
  g_Module = module;
  return TRUE;
}

BOOL Exit() { return TRUE; }

void Slot3(uintptr_t) {}

// The FTP browsing provider (kind 5) comes with the FTP folder listing.
const void* GetObject(DWORD kind) {
  if (kind == PLUGINOBJ_STREAMPROVIDER) return &GetStreamProviderInterface();
  return nullptr;
}

char* GetCompatibleHosts() {
  return g_Host ? g_Host->HOST_AllocString("Velbrook Tunewell;Velbrook Fotrelle;Velbrook Vidrelle") : nullptr;
}

// The ABI's six slots and the compatible-hosts slot after them, which the
// host does not read.
struct MainTable {
  PlugInMainInterface main;
  char* (*PLUGIN_GetCompatibleHosts)();
};
constexpr MainTable kMain = {{&GetVersion, &Init, &Exit, &Slot3, &GetObject, nullptr}, &GetCompatibleHosts};

}  // namespace
}  // namespace netvarra

extern "C" PLUGIN_EXPORT const PlugInMainInterface* PLUGIN_GetMainInterface() { return &netvarra::kMain.main; }
