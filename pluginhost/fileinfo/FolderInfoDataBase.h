// CFolderInfoDataBase: the information records of folders, by URL.
//
// Threading: as CFileObjectInfoDataBase.
#pragma once

#include "pluginhost/fileinfo/FileObjectInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoRecord.h"

class CFolderInfoDataBase : public CFileObjectInfoDataBase {
  TWL_DECLARE_CLASS(CFolderInfoDataBase)
 public:
  FolderInfoRecord* Find(const char* url) {
    return static_cast<FolderInfoRecord*>(CFileObjectInfoDataBase::Find(url));
  }
  FolderInfoRecord* Get(const char* url) { return static_cast<FolderInfoRecord*>(CFileObjectInfoDataBase::Get(url)); }

 protected:
  FileObjectInfoRecord* CreateInfo(const char* key) override;
};
