// CIconManager: the program's one image list of 16 x 16 icons, the host
// image list, from which the file browser, the playlist, the options pages
// and the plug-ins take icons by index. An icon enters the list once: the
// manager remembers each icon it added by its handle, by its location in a
// file ("path,number", case-sensitive) and by its index in the system's
// small-icon list, and answers the known index on every later request.
// Nothing leaves the list until Clear; the list grows for the whole run.
//
// Any thread may call. One re-entrant lock serialises every operation; the
// user-interface thread draws from the list through GetImageList. Failures
// are thrown as CError pointers, after the lock has been released.
//
// A caller keeps the icons it passes in: the list holds its own copies.
// Icons from LoadIconA keep their handle for the whole run, so adding one
// by handle yields one index per resource.
#pragma once

#include <windows.h>

#include "foundation/containers/DWORDArray.h"
#include "foundation/containers/DWORDMap.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/StringTree.h"
#include "foundation/kernel/TypedObject.h"

class CIconManager : public CTypedObject {
  TWL_DECLARE_CLASS(CIconManager)
 public:
  CIconManager();
  CIconManager(const CIconManager&) = delete;
  CIconManager& operator=(const CIconManager&) = delete;
  ~CIconManager() override;

  // Clears, takes the given system list (with null, the system's own
  // small-icon list) and creates an empty host list.
  void Init(HIMAGELIST systemImageList = nullptr);
  // Destroys the host list and forgets every icon; nothing when there is
  // no list.
  void Clear();

  // Each appends a copy of an icon and answers its index.
  INT AddIcon(HICON icon);
  INT AddIconWithKey(HICON icon, const char* file, INT number);
  INT AddSystemIcon(INT systemIndex);

  // The index of an icon already in the list, or -1.
  INT FindIcon(HICON icon);
  INT FindSystemIcon(INT systemIndex);
  INT FindKey(const char* key);

  // The index of an icon, added when the list does not hold it yet.
  INT GetIconIndex(HICON icon);
  INT GetSystemIconIndex(INT systemIndex);
  INT GetFileIconIndex(const char* file, INT number);

  HIMAGELIST GetImageList();
  HIMAGELIST GetSystemImageList();

  // The location key of an icon in a file: "path,number".
  static CStr MakeKey(const char* file, INT number);

 private:
  class Lock;

  HIMAGELIST FindSystemImageList();
  INT AppendIcon(HICON icon);
  void RecordKey(const CStr& key, INT index);
  void RecordSystemIcon(INT systemIndex, INT index);

  CStringTreeNode m_LocationMap;  // header: "path,number" -> index
  CDWORDMap m_HandleMap;          // icon handle -> index
  CDWORDArray m_SystemIcons;      // system index -> index, or -1
  HIMAGELIST m_SystemImageList = nullptr;
  HIMAGELIST m_ImageList = nullptr;
  CRITICAL_SECTION m_Lock;
};
