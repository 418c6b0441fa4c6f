#include "playback/playlist/PlayListEntry.h"

#include <atomic>

#include "playback/playlist/PlayListFolderEntry.h"
#include "pluginhost/fileinfo/FileObjectInfoRecord.h"

TWL_IMPLEMENT_CLASS(CPlayListEntry, CTypedObject)

// Entries may be made on any thread (a playlist read in the background).
uint64_t CPlayListEntry::NextSerial() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

bool CPlayListEntry::IsFolder() const { return IsKindOf(&CPlayListFolderEntry::ClassRecord); }

const char* CPlayListEntry::GetURL() const { return m_Info ? m_Info->key : ""; }
