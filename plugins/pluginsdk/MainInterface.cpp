// The plug-in's one export and its main table: each entry forwards to the
// main object, and answers as a plug-in without objects when the plug-in
// defines none.
#include "plugins/pluginsdk/MainInterface.h"

#include "plugins/pluginsdk/HostErrors.h"
#include "plugins/pluginsdk/OstrellMain.h"

namespace pluginsdk {
namespace {

constexpr const char* kNoMainObjectText = "Fatal error: no OstrellMain instance created in plugin.";

void MainGetVersion(PlugInVersionInfo* info) {
  if (!info) return;
  OstrellMain* main = OstrellMain::GetInstance();
  *info = main ? *main->GetVersionPair() : PlugInVersionInfo{0xFFFFFFFFu, 0xFFFFFFFFu};
}

BOOL MainInit(const HostApiTable* host, HMODULE module) {
  OstrellMain* main = OstrellMain::GetInstance();
  if (!host) return FALSE;
  if (!main) {
    host->HOST_SetErrorText(kNoMainObjectText);
    return FALSE;
  }
  return CatchingErrors(host, FALSE, [&] { return main->Init(host, module) ? TRUE : FALSE; });
}

BOOL MainExit() {
  OstrellMain* main = OstrellMain::GetInstance();
  if (!main) return TRUE;
  return CatchingErrors(main->GetHost(), FALSE, [&] { return main->Exit() ? TRUE : FALSE; });
}

void MainSlot3(uintptr_t word) {
  OstrellMain* main = OstrellMain::GetInstance();
  if (!main) return;
  CatchingErrors(main->GetHost(), 0, [&] {
    main->Slot3(word);
    return 0;
  });
}

BOOL MainEnumObjects(DWORD kind, DWORD index, const void** table, PLUGIN_CONTEXT* context) {
  OstrellMain* main = OstrellMain::GetInstance();
  if (!main) return FALSE;
  return CatchingErrors(main->GetHost(), FALSE,
                        [&] { return main->FindObject(kind, index, table, context) ? TRUE : FALSE; });
}

// Version 1's single-object access stays empty: this framework speaks
// version 2 only.
constexpr PlugInMainInterface kMainTable = {
    &MainGetVersion, &MainInit, &MainExit, &MainSlot3, nullptr, &MainEnumObjects,
};

}  // namespace

const PlugInMainInterface& GetMainTable() { return kMainTable; }

}  // namespace pluginsdk

extern "C" PLUGIN_EXPORT const PlugInMainInterface* PLUGIN_GetMainInterface() {
  return pluginsdk::OstrellMain::GetInstance() ? &pluginsdk::GetMainTable() : nullptr;
}
