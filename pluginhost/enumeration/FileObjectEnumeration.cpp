#include "pluginhost/enumeration/FileObjectEnumeration.h"

#include "foundation/errors/ThreadErrorState.h"

TWL_IMPLEMENT_CLASS(CFileObjectEnumeration, CTypedObject)

CFileObjectEnumeration::CFileObjectEnumeration(Range files, Range folders, CFileInfoDataBase& fileInfos,
                                               CFolderInfoDataBase& folderInfos)
    : m_Files(files),
      m_Folders(folders),
      m_FileCursor(files.firstNew),
      m_FolderCursor(folders.firstNew),
      m_FileInfos(fileInfos),
      m_FolderInfos(folderInfos) {}

// Never reads past `last`: the manager may be appending after it.
FileObjectEntry* CFileObjectEnumeration::Advance(const Range& range, FileObjectEntry*& cursor) {
  FileObjectEntry* entry = cursor;
  if (entry) cursor = entry == range.last ? nullptr : entry->next;
  return entry;
}

bool CFileObjectEnumeration::Select(const Range& range, FileObjectEntry*& cursor, DWORD kind) {
  switch (kind) {
    case 1:
      cursor = range.first;
      return true;
    case 2:
      cursor = range.firstNew;
      return true;
    default:
      SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_INVALID_PARAM, GetMiscErrorText(MISC_ERROR_INVALID_PARAM));
      return false;
  }
}
