#include "pluginhost/plugins/ObjectDiscovery.h"

#include <iterator>

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Placeholder.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/plugins/PlugInObjectHead.h"

namespace {

// By PlugInObjectKind; the keys are the ones translations know, typos
// included.
constexpr DiscoveryTexts kTexts[] = {
    {"CPlayerSystem.InitializingPlayer", "CPlayerSystem.PlayerInitDone", "CPlayerSystem.InitPlayerFailed",
     "error initializing player %INDEX% from '%DLL%'"},
    {"CDataSystem.InitializingStreamProvider", "CDataSystem.StreamProviderInitDone",
     "CDataSystem.InitStreamProviderFailed", "error initializing stream provider %INDEX% from '%DLL%'"},
    {"CControlWindow.InitializingProvider", "CControlWindowSystem.ProviderInitDone",
     "CControlWindowSystem.InitProviderFailed", "error initializing viewer window provider %INDEX% from '%DLL%'"},
    {"CVisualizerSystem.InitializingVisualizer", "CVisualizerSystem.VisualizerInitDone",
     "CVisualizerSysten.InitVisualizerFailed", "error initializing visualizer %INDEX% from '%DLL%'"},
    {"CFileIdentifierSystem.InitializingFileIdentifier", "CFileIdentifierSystem.FileIdentifierInitDone",
     "CFileIdentifierSyste.InitFileIdentifierFailed", "error initializing file identifier %INDEX% from '%DLL%'"},
    {"CFileObjectEnumerationSystem.InitializingProvider", "CFileObjectEnumerationSystem.ProviderInitDone",
     "CFileObjectEnumerationSystem.InitProviderFailed",
     "error initializing file object enumerator provider %INDEX% from '%DLL%'"},
    {"CFileFilterSystem.InitializingFileFilter", "CFileFilterSystem.FileFilterInitDone",
     "CFileFilterSystem.InitStreamProviderFailed", "error initializing file filter %INDEX% from '%DLL%'"},
};

}  // namespace

const DiscoveryTexts& GetDiscoveryTexts(DWORD kind) {
  return kTexts[kind < std::size(kTexts) ? kind : PLUGINOBJ_PLAYER];
}

namespace discovery {

PlugInText::~PlugInText() { HostFree(m_Text); }

// A null table or function slot is met like a null result, with a thread
// error that names what is missing.
char* GetObjectName(const void* table) {
  const auto* head = static_cast<const PlugInObjectInterface*>(table);
  if (!head->OBJECT_GetName) {
    SetMissingObjectFunctionError("OBJECT_GetName");
    return nullptr;
  }
  return head->OBJECT_GetName();
}

char* GetObjectName2(const void* table, PLUGIN_CONTEXT context) {
  const auto* head = static_cast<const PlugInObjectInterface2*>(table);
  if (!head || !head->OBJECT_GetName) {
    SetMissingObjectFunctionError("OBJECT_GetName");
    return nullptr;
  }
  return head->OBJECT_GetName(context);
}

char* GetObjectId2(const void* table, PLUGIN_CONTEXT context) {
  const auto* head = static_cast<const PlugInObjectInterface2*>(table);
  if (!head->OBJECT_GetId) {
    SetMissingObjectFunctionError("OBJECT_GetId");
    return nullptr;
  }
  return head->OBJECT_GetId(context);
}

void LogInitFailed(const DiscoveryTexts& texts, DWORD index, const CPlugIn& plugIn) {
  CStr text = LocalText(texts.initFailedKey, texts.initFailedDefault);
  text = ReplacePlaceholder(text, {"%INDEX%", CStr::Format("%lu", static_cast<unsigned long>(index) + 1)});
  text = ReplacePlaceholder(text, {"%DLL%", plugIn.GetFileName()});
  ::LogThreadError(LOG_CATEGORY_ERROR, text);
}

void LogInitializing(const DiscoveryTexts& texts, const char* name) {
  const CStr text = LocalText(texts.initializingKey, "initializing '%NAME%'...");
  LogFormat(LOG_CATEGORY_INFO, "%s", ReplacePlaceholder(text, {"%NAME%", name}).c_str());
}

void LogThreadErrorLine() { LogFormat(LOG_CATEGORY_ERROR, "%s\n", GetThreadErrorText().c_str()); }

void LogDone(const DiscoveryTexts& texts) {
  LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText(texts.doneKey, "done").c_str());
}

CStr MakeKey(const CPlugIn& plugIn, const char* id) { return CStr::Format("%s<%s>", plugIn.GetName().c_str(), id); }

void SetOutOfMemoryError() { SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_OUT_OF_MEMORY, GetMiscErrorText(2)); }

}  // namespace discovery
