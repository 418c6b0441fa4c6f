#include "pluginhost/fileinfo/FileInfoRecord.h"

void FileInfoRecord::SetTypeInfo(const char* text, BYTE textPriority, INT icon, BYTE iconPriority, INT third,
                                 BYTE thirdPriority) {
  if (iconPriority == 0) icon = -1;
  if (thirdPriority == 0) third = -1;
  if (textPriority == 0) text = nullptr;
  typeTextPriority = textPriority;
  typeIconPriority = iconPriority;
  thirdValuePriority = thirdPriority;

  DWORD changes = 0;
  if (SetFileObjectString(typeText, text)) changes |= FILEOBJECT_CHANGED_TYPETEXT;
  if (typeIcon != icon) {
    typeIcon = icon;
    changes |= FILEOBJECT_CHANGED_TYPEICON;
  }
  if (thirdValue != third) {
    thirdValue = third;
    changes |= FILEOBJECT_CHANGED_THIRDVALUE;
  }
  if (changes) NotifyFileObjectListeners(this, changes);
}
