// Playlists for the menu tests: file entries named by a pattern, folder
// entries holding further files, titles as a player would report them.
#pragma once

#include <string>

#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"

class PlayListFixture {
 public:
  // "file:///<name>" appended to `list` (the top list when null).
  CPlayListFileEntry* AddFile(const std::string& name, CPlayListEntryHolder* list = nullptr) {
    auto* entry = new CPlayListFileEntry(m_Files.Get(("file:///" + name).c_str()), 100);
    (list ? *list : m_PlayList).Insert(entry, -1);
    m_PlayList.Renumber();
    return entry;
  }
  // Files f1 .. fN.
  void AddFiles(int count) {
    for (int n = 1; n <= count; ++n)
      m_PlayList.Insert(new CPlayListFileEntry(m_Files.Get(("file:///f" + std::to_string(n) + ".wav").c_str()), 100),
                        -1);
    m_PlayList.Renumber();
  }
  CPlayListFolderEntry* AddFolder(const std::string& name) {
    auto* folder = new CPlayListFolderEntry(m_Folders.Get(("file:///" + name).c_str()));
    m_PlayList.Insert(folder, -1);
    m_PlayList.Renumber();
    return folder;
  }
  void SetTitle(CPlayListFileEntry* entry, const char* title) { entry->GetFileInfo()->typeText = std::string(title); }
  // Removes and deletes the top-level entry at `index`.
  void RemoveAt(INT index) {
    m_PlayList.Remove(index, true);
    m_PlayList.Renumber();
  }

  CPlayList& PlayList() { return m_PlayList; }
  CFileInfoDataBase& Files() { return m_Files; }

 private:
  CFileInfoDataBase m_Files;
  CFolderInfoDataBase m_Folders;
  CPlayList m_PlayList;  // last: its entries go before the records
};
