// FolderInfoRecord: the information record of one folder: the shared part
// plus the icon shown while the folder is open and the file browser's cache
// of the folder's last listing (empty until the browser fills it).
//
// Threading: as FileObjectInfoRecord (under the folder database's lock).
#pragma once

#include "pluginhost/fileinfo/FileObjectInfoRecord.h"

struct FileInfoRecord;

enum FolderCacheFlags : BYTE {
  FOLDERCACHE_FILES_COMPLETE = 0x1,
  FOLDERCACHE_FOLDERS_COMPLETE = 0x2,
};

struct FolderInfoRecord : FileObjectInfoRecord {
  template <class Record>
  struct CachedChild {
    Record* record;  // owned by its database
    DWORD order;
  };

  explicit FolderInfoRecord(const char* key) : FileObjectInfoRecord(key) {}

  INT openIconIndex = 0;
  BYTE cacheFlags = 0;  // FolderCacheFlags
  std::vector<CachedChild<FileInfoRecord>> cachedFiles;
  std::vector<CachedChild<FolderInfoRecord>> cachedFolders;
};
