#include "playback/playlist/PlayListEntry.h"

#include "playback/playlist/PlayListFolderEntry.h"
#include "pluginhost/fileinfo/FileObjectInfoRecord.h"

TWL_IMPLEMENT_CLASS(CPlayListEntry, CTypedObject)

bool CPlayListEntry::IsFolder() const { return IsKindOf(&CPlayListFolderEntry::ClassRecord); }

const char* CPlayListEntry::GetURL() const { return m_Info ? m_Info->key : ""; }
