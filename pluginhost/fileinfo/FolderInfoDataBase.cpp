#include "pluginhost/fileinfo/FolderInfoDataBase.h"

#include <new>

TWL_IMPLEMENT_CREATABLE_CLASS(CFolderInfoDataBase, CFileObjectInfoDataBase)

FileObjectInfoRecord* CFolderInfoDataBase::CreateInfo(const char* key) {
  return new (std::nothrow) FolderInfoRecord(key);
}
