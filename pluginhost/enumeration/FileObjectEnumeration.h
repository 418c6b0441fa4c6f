// CFileObjectEnumeration: a cursor over one delivered batch of merged
// results, handed to each enumerator (and through HOST_FILEENUM to
// plug-ins). It walks the merged files and folders in arrival order, from
// the batch's first new entry up to the last entry merged so far; it owns
// nothing, and the entries stay valid until the manager is cleared.
//
// Threading: used by one thread at a time (its receiver's).
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/enumeration/FileObjectEntry.h"

class CFileInfoDataBase;
class CFolderInfoDataBase;

class CFileObjectEnumeration : public CTypedObject {
  TWL_DECLARE_CLASS(CFileObjectEnumeration)
 public:
  struct Range {
    FileObjectEntry* first = nullptr;
    FileObjectEntry* last = nullptr;
    FileObjectEntry* firstNew = nullptr;
  };

  CFileObjectEnumeration(Range files, Range folders, CFileInfoDataBase& fileInfos, CFolderInfoDataBase& folderInfos);

  // The entry under the cursor, which moves on; null after the last.
  FileObjectEntry* GetNextFile() { return Advance(m_Files, m_FileCursor); }
  FileObjectEntry* GetNextFolder() { return Advance(m_Folders, m_FolderCursor); }
  // Kind 1: the first entry of the whole list; 2: the batch's first new
  // one; any other kind fails with MiscError 1.
  bool SelectFiles(DWORD kind) { return Select(m_Files, m_FileCursor, kind); }
  bool SelectFolders(DWORD kind) { return Select(m_Folders, m_FolderCursor, kind); }

  CFileInfoDataBase& GetFileInfos() const { return m_FileInfos; }
  CFolderInfoDataBase& GetFolderInfos() const { return m_FolderInfos; }
  HOST_FILEENUM GetHandle() { return reinterpret_cast<HOST_FILEENUM>(this); }
  // Who handed the batch out to a plug-in (to take it back when the
  // plug-in's listing ends); null otherwise.
  const void* GetOwner() const { return m_Owner; }
  void SetOwner(const void* owner) { m_Owner = owner; }

 private:
  static FileObjectEntry* Advance(const Range& range, FileObjectEntry*& cursor);
  static bool Select(const Range& range, FileObjectEntry*& cursor, DWORD kind);

  const Range m_Files;
  const Range m_Folders;
  FileObjectEntry* m_FileCursor;
  FileObjectEntry* m_FolderCursor;
  CFileInfoDataBase& m_FileInfos;
  CFolderInfoDataBase& m_FolderInfos;
  const void* m_Owner = nullptr;
};
