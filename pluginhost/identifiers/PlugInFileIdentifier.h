// CPlugInFileIdentifier and CPlugInFileIdentifier2: a file identifier
// object of a plug-in (kind 4) as the identifier system's CFileIdentifier,
// for the first and the second plug-in interface; both are
// TPlugInFileIdentifier, written once over the version (PlugInObject.h).
//
// Init refuses an object that lacks FILEIDENTIFIER_Identify, which the
// worker calls without looking; every head slot may be empty.
//
// Threading: Identify on the identifier system's worker thread, the rest on
// the user-interface thread; the wrappers hold no lock.
#pragma once

#include <type_traits>

#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/identifiers/FileIdentifier.h"
#include "pluginhost/plugins/PlugInObject.h"

template <int Version>
using FileIdentifierTable = std::conditional_t<Version == 2, FileIdentifierInterface2, FileIdentifierInterface>;

template <int Version>
class TPlugInFileIdentifier
    : public TPlugInControlWindowUser<CFileIdentifier, FileIdentifierTable<Version>, Version> {
 public:
  using Table = FileIdentifierTable<Version>;

  bool Identify(const char* url) override;

 protected:
  // Checks the mandatory slot, then inits the head.
  bool InitIdentifier(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key,
                      const char* plugInName);
};

extern template class TPlugInFileIdentifier<1>;
extern template class TPlugInFileIdentifier<2>;

class CPlugInFileIdentifier : public TPlugInFileIdentifier<1> {
  TWL_DECLARE_CLASS(CPlugInFileIdentifier)
 public:
  // The discovery procedure's init; false with the reason in the thread
  // error, the object then unregistered.
  bool Init(const void* table, const char* name, const char* plugInName) {
    return InitIdentifier(table, 0, name, plugInName, plugInName);
  }
};

class CPlugInFileIdentifier2 : public TPlugInFileIdentifier<2> {
  TWL_DECLARE_CLASS(CPlugInFileIdentifier2)
 public:
  bool Init(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName) {
    return InitIdentifier(table, context, name, key, plugInName);
  }
};
