// The lists the host hands a player for one registration call: its file
// extension list (PLAYER_RegisterFileTypes), which HOST_AddFileExtension
// accepts only while the call runs, so a stale or made-up list is refused
// instead of followed.
//
// Threading: any thread; the set of lists handed out has its own lock.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"

class CFileExtensionEnum;

// Hands the list out for the lifetime of this object.
class CHandedOutExtensionList {
 public:
  explicit CHandedOutExtensionList(CFileExtensionEnum& list);
  ~CHandedOutExtensionList();
  CHandedOutExtensionList(const CHandedOutExtensionList&) = delete;
  CHandedOutExtensionList& operator=(const CHandedOutExtensionList&) = delete;

  HOST_FILEEXTENSIONLIST GetHandle() const { return reinterpret_cast<HOST_FILEEXTENSIONLIST>(&m_List); }

 private:
  CFileExtensionEnum& m_List;
};

// The list behind a handle handed out now, or null.
CFileExtensionEnum* FindHandedOutExtensionList(HOST_FILEEXTENSIONLIST handle);
