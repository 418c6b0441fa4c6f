// Screevo: plays, identifies and filters every file the filter graph can
// render. A version-1 plug-in of plain functions and module-wide state.
#include "Module.h"

#include <windows.h>

#include "HostAccess.h"
#include "Objects.h"
#include "Player.h"

namespace screevo {

const HostApiTable* g_Host = nullptr;
HMODULE g_Module = nullptr;
bool g_DirectShowUnavailable = true;
AMGetErrorTextAFunction g_GetErrorText = nullptr;
int32_t g_IdentifierIcon = 0;

void GetVersion(PlugInVersionInfo* info) {
  if (info) *info = {0x10000, 0x10001};
}

namespace {

BOOL Init(const HostApiTable* host, HMODULE module) {
  g_Host = host;
  g_Module = module;
  CoInitialize(nullptr);
  // The library stays loaded for the life of the process.
  if (HMODULE quartz = LoadLibraryA("quartz.dll")) {
    g_GetErrorText = reinterpret_cast<AMGetErrorTextAFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(quartz, "AMGetErrorTextA")));
    g_DirectShowUnavailable = false;
  } else {
    g_GetErrorText = nullptr;
    g_DirectShowUnavailable = true;
  }
  return TRUE;
}

BOOL Exit() { return TRUE; }

void Slot3(uintptr_t) {}

const void* GetObject(DWORD kind) {
  if (g_DirectShowUnavailable) return nullptr;
  switch (kind) {
    case PLUGINOBJ_PLAYER: return &kPlayerTable;
    case PLUGINOBJ_FILEIDENTIFIER: return &kIdentifierTable;
    case PLUGINOBJ_FILEFILTER: return &kFilterTable;
    default: return nullptr;
  }
}

char* GetCompatibleHosts() { return g_Host ? g_Host->HOST_AllocString("") : nullptr; }

// The main table as this plug-in fills it: the ABI's six slots and the
// compatible-hosts slot after them, which this host does not read.
struct MainTable {
  PlugInMainInterface main;
  char* (*PLUGIN_GetCompatibleHosts)();
};
const MainTable kMain = {{&GetVersion, &Init, &Exit, &Slot3, &GetObject, nullptr}, &GetCompatibleHosts};

// The graph state lives as long as the module; it is torn down when the
// module unloads.
struct Teardown {
  ~Teardown() { DestroyGraphState(); }
} g_Teardown;

}  // namespace

}  // namespace screevo

extern "C" PLUGIN_EXPORT const PlugInMainInterface* PLUGIN_GetMainInterface() { return &screevo::kMain.main; }
