#include "pluginhost/enumeration/FileBrowserControlItem.h"

#include "pluginhost/enumeration/FileObjectNames.h"

TWL_IMPLEMENT_CLASS(CFileBrowserControlItem, CDynamicObject)

int CFileBrowserControlItem::Compare(CFileBrowserControlItem* other) {
  const bool noCase = ((GetFlags() | other->GetFlags()) & FILEOBJECT_NOCASE) != 0;
  return CompareFileObjectNames(GetName(), other->GetName(), noCase);
}
