// CPlayListFileEntry: a playlist entry naming one media file, with the
// volume in percent (0..100) at which it plays.
//
// Threading: the playlist model belongs to the user-interface thread.
#pragma once

#include "playback/playlist/PlayListEntry.h"

struct FileInfoRecord;

class CPlayListFileEntry : public CPlayListEntry {
  TWL_DECLARE_CLASS(CPlayListFileEntry)
 public:
  CPlayListFileEntry() : CPlayListFileEntry(nullptr, 100) {}
  // The volume is clamped to 0..100.
  CPlayListFileEntry(FileInfoRecord* info, INT volume);

  CPlayListEntry* Clone() const override;

  FileInfoRecord* GetFileInfo() const;
  INT GetVolume() const { return m_Volume; }
  void SetVolume(INT volume);

 private:
  INT m_Volume;
};
