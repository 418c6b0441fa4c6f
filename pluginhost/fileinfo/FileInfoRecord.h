// FileInfoRecord: the information record of one file: the shared part plus
// the type information that file identifiers and players found (type text,
// type icon and a third value, each with the priority of whoever set it).
//
// Threading: as FileObjectInfoRecord (under the file database's lock).
#pragma once

#include "pluginhost/fileinfo/FileObjectInfoRecord.h"

struct FileInfoRecord : FileObjectInfoRecord {
  explicit FileInfoRecord(const char* key) : FileObjectInfoRecord(key) {}

  FileObjectText typeText;
  INT typeIcon = -1;    // image-list index
  INT thirdValue = -1;  // announced with FILEOBJECT_CHANGED_THIRDVALUE
  // 0 = not set; a part is replaced only by a priority at least as high.
  BYTE typeTextPriority = 0;
  BYTE typeIconPriority = 0;
  BYTE thirdValuePriority = 0;

  // Type text and type icon both set: the identifiers need not look again.
  bool IsIdentified() const { return typeTextPriority != 0 && typeIconPriority != 0; }

  // Stores all three parts with their priorities: a part whose priority is
  // 0 is cleared (no text, icon and third value -1). Tells the listeners
  // once, with the bits of the parts that changed, when any did.
  void SetTypeInfo(const char* text, BYTE textPriority, INT icon, BYTE iconPriority, INT third, BYTE thirdPriority);
};
