// The one procedure by which every host system that owns plug-in objects
// finds them in a plug-in: version 2 enumerates the objects of a kind,
// version 1 asks for the one object of the kind. Each object found gets a
// wrapper of the system's class for its version; the procedure logs each
// step with the system's texts, keeps the wrappers whose init succeeded
// and deletes the others. Every text the plug-in returns is freed through
// the host heap exactly once.
//
// The wrapper classes offer
//   bool Init(const void* table, const char* name, const char* plugInName)
// (version 1) and
//   bool Init(const void* table, PLUGIN_CONTEXT context, const char* name,
//             const char* key, const char* plugInName)
// (version 2), failing with the reason in the thread error.
//
// Threading: the user-interface thread.
#pragma once

#include <windows.h>

#include <memory>
#include <new>

#include "foundation/kernel/Str.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/plugins/PlugIn.h"

// The log texts of one kind's system.
struct DiscoveryTexts {
  const char* initializingKey;
  const char* doneKey;
  const char* initFailedKey;
  const char* initFailedDefault;  // with %INDEX% and %DLL%
};

// The texts of the system that owns objects of `kind` (a PlugInObjectKind).
const DiscoveryTexts& GetDiscoveryTexts(DWORD kind);

namespace discovery {

// A text returned by a plug-in: freed through the host heap when the
// holder ends.
class PlugInText {
 public:
  explicit PlugInText(char* text = nullptr) : m_Text(text) {}
  PlugInText(const PlugInText&) = delete;
  PlugInText& operator=(const PlugInText&) = delete;
  ~PlugInText();
  const char* Get() const { return m_Text; }

 private:
  char* m_Text;
};

// The name (and for version 2 the id) of an object; null with a thread
// error when the plug-in gives none or lacks the function.
char* GetObjectName(const void* table);
char* GetObjectName2(const void* table, PLUGIN_CONTEXT context);
char* GetObjectId2(const void* table, PLUGIN_CONTEXT context);

void LogInitFailed(const DiscoveryTexts& texts, DWORD index, const CPlugIn& plugIn);
void LogInitializing(const DiscoveryTexts& texts, const char* name);
void LogThreadErrorLine();
void LogDone(const DiscoveryTexts& texts);
// Builds "plug-in name<id>".
CStr MakeKey(const CPlugIn& plugIn, const char* id);
// The thread error of a wrapper that could not be allocated.
void SetOutOfMemoryError();

// Inits a new wrapper and hands it to `keep`, or logs why not and deletes it.
template <class Wrapper, class Keep, class... InitArgs>
void InitWrapper(const DiscoveryTexts& texts, Keep& keep, InitArgs... args) {
  std::unique_ptr<Wrapper> wrapper(new (std::nothrow) Wrapper);
  if (!wrapper) {
    SetOutOfMemoryError();
    LogThreadErrorLine();
    return;
  }
  if (!wrapper->Init(args...)) {
    LogThreadErrorLine();
    return;
  }
  LogDone(texts);
  keep(wrapper.release());
}

}  // namespace discovery

// Discovers the objects of `kind` in the plug-in; `keep` takes each
// initialised wrapper (a Wrapper1* or Wrapper2*) into the system's list.
template <class Wrapper1, class Wrapper2, class Keep>
void DiscoverObjects(CPlugIn& plugIn, DWORD kind, Keep keep) {
  using namespace discovery;
  const DiscoveryTexts& texts = GetDiscoveryTexts(kind);
  if (!plugIn.IsVersion2()) {
    const void* table = plugIn.GetObject(kind);
    if (!table) return;
    PlugInText name(GetObjectName(table));
    if (!name.Get()) {
      LogInitFailed(texts, 0, plugIn);
      return;
    }
    LogInitializing(texts, name.Get());
    InitWrapper<Wrapper1>(texts, keep, table, name.Get(), plugIn.GetName().c_str());
    return;
  }
  for (DWORD index = 0;; ++index) {
    const void* table = nullptr;
    PLUGIN_CONTEXT context = 0;
    if (!plugIn.EnumObjects(kind, index, &table, &context)) return;
    PlugInText name(GetObjectName2(table, context));
    if (!name.Get()) {
      LogInitFailed(texts, index, plugIn);
      continue;
    }
    LogInitializing(texts, name.Get());
    PlugInText id(GetObjectId2(table, context));
    if (!id.Get()) {
      LogThreadErrorLine();
      continue;
    }
    const CStr key = MakeKey(plugIn, id.Get());
    InitWrapper<Wrapper2>(texts, keep, table, context, name.Get(), key.c_str(), plugIn.GetName().c_str());
  }
}
