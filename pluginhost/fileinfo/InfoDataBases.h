// The program's two information databases: one record per file URL and
// one per folder URL, shared by the playlist, the file identification and
// the file browser for the whole run.
//
// Threading: as CFileObjectInfoDataBase (each has its own lock).
#pragma once

#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"

CFileInfoDataBase& GetFileInfoDataBase();
CFolderInfoDataBase& GetFolderInfoDataBase();
