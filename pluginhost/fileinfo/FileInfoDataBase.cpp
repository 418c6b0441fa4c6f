#include "pluginhost/fileinfo/FileInfoDataBase.h"

#include <algorithm>
#include <new>

#include "foundation/errors/ThreadErrorState.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CFileInfoDataBase, CFileObjectInfoDataBase)

namespace {

BYTE ClampPriority(int priority) { return static_cast<BYTE>(std::clamp(priority, 0, 255)); }

bool Applies(BYTE offered, BYTE stored) { return offered != 0 && offered >= stored; }

}  // namespace

FileObjectInfoRecord* CFileInfoDataBase::CreateInfo(const char* key) { return new (std::nothrow) FileInfoRecord(key); }

bool CFileInfoDataBase::UpdateFileInfo(const char* url, const char* typeText, int textPriority, int typeIcon,
                                       int iconPriority, int thirdValue, int thirdPriority) {
  if (!url) {
    SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_INVALID_PARAM, GetMiscErrorText(MISC_ERROR_INVALID_PARAM));
    return false;
  }
  const BYTE textLevel = ClampPriority(textPriority);
  const BYTE iconLevel = ClampPriority(iconPriority);
  const BYTE thirdLevel = ClampPriority(thirdPriority);
  typeIcon = std::max(typeIcon, 0);

  CriticalSectionLock lock(GetLock());
  FileInfoRecord* record = Get(url);
  const bool text = Applies(textLevel, record->typeTextPriority);
  const bool icon = Applies(iconLevel, record->typeIconPriority);
  const bool third = Applies(thirdLevel, record->thirdValuePriority);
  if (text && icon && third) {
    record->SetTypeInfo(typeText, textLevel, typeIcon, iconLevel, thirdValue, thirdLevel);
    return true;
  }
  if (text) {
    record->typeTextPriority = textLevel;
    if (SetFileObjectString(record->typeText, typeText))
      NotifyFileObjectListeners(record, FILEOBJECT_CHANGED_TYPETEXT);
  }
  if (icon) {
    record->typeIconPriority = iconLevel;
    if (record->typeIcon != typeIcon) {
      record->typeIcon = typeIcon;
      NotifyFileObjectListeners(record, FILEOBJECT_CHANGED_TYPEICON);
    }
  }
  if (third) {
    record->thirdValuePriority = thirdLevel;
    if (record->thirdValue != thirdValue) {
      record->thirdValue = thirdValue;
      NotifyFileObjectListeners(record, FILEOBJECT_CHANGED_THIRDVALUE);
    }
  }
  return true;
}
