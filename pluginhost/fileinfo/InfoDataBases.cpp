#include "pluginhost/fileinfo/InfoDataBases.h"

// Never destroyed: records handed out stay valid while threads that hold
// them end during the process's exit.
CFileInfoDataBase& GetFileInfoDataBase() {
  static auto* files = new CFileInfoDataBase;
  return *files;
}

CFolderInfoDataBase& GetFolderInfoDataBase() {
  static auto* folders = new CFolderInfoDataBase;
  return *folders;
}
