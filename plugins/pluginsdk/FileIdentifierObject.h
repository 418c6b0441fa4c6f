// FileIdentifierObject: the base of a file identifier (kind 4), which
// tells the host what a file is through HOST_SetFileInfo. The base knows
// no file.
#pragma once

#include "plugins/pluginsdk/PlugInObject.h"

namespace pluginsdk {

class FileIdentifierObject : public PlugInObject {
 public:
  using PlugInObject::PlugInObject;

  PlugInObjectKind GetKind() const override { return PLUGINOBJ_FILEIDENTIFIER; }
  const void* GetInterface() const override;

  // The host does not read the answer.
  virtual bool Identify(const char* path);
};

}  // namespace pluginsdk
