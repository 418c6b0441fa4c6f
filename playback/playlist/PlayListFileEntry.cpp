#include "playback/playlist/PlayListFileEntry.h"

#include <algorithm>
#include <new>

#include "foundation/kernel/Error.h"
#include "pluginhost/fileinfo/FileInfoRecord.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlayListFileEntry, CPlayListEntry)

CPlayListFileEntry::CPlayListFileEntry(FileInfoRecord* info, INT volume)
    : CPlayListEntry(info), m_Volume(std::clamp(volume, 0, 100)) {}

CPlayListEntry* CPlayListFileEntry::Clone() const {
  auto* copy = new (std::nothrow) CPlayListFileEntry(*this);
  if (!copy) ThrowMemoryError();
  return copy;
}

FileInfoRecord* CPlayListFileEntry::GetFileInfo() const { return static_cast<FileInfoRecord*>(GetInfo()); }

void CPlayListFileEntry::SetVolume(INT volume) { m_Volume = std::clamp(volume, 0, 100); }
