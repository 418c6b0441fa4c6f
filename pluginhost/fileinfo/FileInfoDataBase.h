// CFileInfoDataBase: the information records of files, by URL, and the
// update of their type information by identifiers and players, in which
// whoever knows more (a higher priority) wins.
//
// Threading: as CFileObjectInfoDataBase; UpdateFileInfo takes the lock.
#pragma once

#include "pluginhost/fileinfo/FileInfoRecord.h"
#include "pluginhost/fileinfo/FileObjectInfoDataBase.h"

class CFileInfoDataBase : public CFileObjectInfoDataBase {
  TWL_DECLARE_CLASS(CFileInfoDataBase)
 public:
  FileInfoRecord* Find(const char* url) { return static_cast<FileInfoRecord*>(CFileObjectInfoDataBase::Find(url)); }
  FileInfoRecord* Get(const char* url) { return static_cast<FileInfoRecord*>(CFileObjectInfoDataBase::Get(url)); }

  // Offers type information for the file at `url` (its record made when
  // missing). Priorities are clamped to 0..255 and a negative icon to 0.
  // Each part replaces the stored one only when its priority is non-zero
  // and not lower than the stored priority, which it then takes over. When
  // all three parts apply they are stored together with one notification;
  // otherwise each applying part that changed tells the listeners on its
  // own. False, with the invalid-parameter thread error, for a null URL.
  bool UpdateFileInfo(const char* url, const char* typeText, int textPriority, int typeIcon, int iconPriority,
                      int thirdValue, int thirdPriority);

 protected:
  FileObjectInfoRecord* CreateInfo(const char* key) override;
};
