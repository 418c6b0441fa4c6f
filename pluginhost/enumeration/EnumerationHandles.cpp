#include "pluginhost/enumeration/EnumerationHandles.h"

#include "pluginhost/enumeration/FileObjectEnumeration.h"
#include "pluginhost/enumeration/FileObjectEnumerationContext.h"

namespace {

void DeleteContext(CFileObjectEnumerationContext* context) noexcept { delete context; }
void DeleteEnumeration(CFileObjectEnumeration* results) noexcept { delete results; }

}  // namespace

HandedOutEnumContexts& GetHandedOutEnumContexts() {
  // Never destroyed: plug-in threads may still ask during the exit.
  static auto* contexts = new HandedOutEnumContexts(&DeleteContext);
  return *contexts;
}

HandedOutFileEnums& GetHandedOutFileEnums() {
  static auto* results = new HandedOutFileEnums(&DeleteEnumeration);
  return *results;
}
