#include "plugins/pluginsdk/FileIdentifierObject.h"

#include "plugins/pluginsdk/ObjectTables.h"

namespace pluginsdk {

const void* FileIdentifierObject::GetInterface() const { return &kFileIdentifierTable; }

bool FileIdentifierObject::Identify(const char*) { return true; }

}  // namespace pluginsdk
