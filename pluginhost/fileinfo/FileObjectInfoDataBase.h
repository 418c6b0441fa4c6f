// CFileObjectInfoDataBase: the map from URLs to information records behind
// the file and the folder information database. A record is made on the
// first Get of its URL and lives until FreeAll; no single record is ever
// removed, so record pointers stay valid until then. URLs are compared byte
// by byte: URLs that differ in letter case or in the direction of a slash
// name different records.
//
// Threading: one re-entrant lock guards the map and every field of every
// record. Find and Get take it themselves; callers take it (GetLock) around
// every read or write of record fields.
#pragma once

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/StringTree.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/fileinfo/FileObjectInfoRecord.h"

class CFileObjectInfoDataBase : public CTypedObject {
  TWL_DECLARE_CLASS(CFileObjectInfoDataBase)
 public:
  CFileObjectInfoDataBase() = default;
  CFileObjectInfoDataBase(const CFileObjectInfoDataBase&) = delete;
  CFileObjectInfoDataBase& operator=(const CFileObjectInfoDataBase&) = delete;
  // Frees every record.
  ~CFileObjectInfoDataBase() override;

  // The record of the URL, or null when there is none (or the URL is null).
  FileObjectInfoRecord* Find(const char* url);
  // The record of the URL, made when there is none yet; null only for a
  // null URL. Throws the out-of-memory error when the record cannot be made.
  FileObjectInfoRecord* Get(const char* url);

  // Detaches every listener of every record (DetachFileObjectListeners),
  // so that nothing is left attached to records about to be freed.
  void DetachAllListeners();
  // Deletes every record and every URL; earlier record pointers dangle.
  void FreeAll();

  CriticalSection& GetLock() { return m_Lock; }

 protected:
  // A new record for the key, which is the database's own copy of the URL.
  virtual FileObjectInfoRecord* CreateInfo(const char* key) = 0;

 private:
  CStringTreeNode m_Map;  // header of the URL tree; values are the records
  CriticalSection m_Lock;
};
