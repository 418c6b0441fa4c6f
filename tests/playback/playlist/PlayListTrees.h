// Playlist trees for the tests, written and read as short texts: entries
// are names separated by blanks, a folder is a name followed by its
// contents in braces ("a F{b G{} c} d"). Entry URLs are "file:///" + name.
#pragma once

#include <string>

#include "playback/playlist/PlayListEntryHolder.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"

class CPlayListEntry;
class CPlayListFolderEntry;

class TreeBuilder {
 public:
  // Appends the entries the text describes to the list.
  void Fill(CPlayListEntryHolder& list, const std::string& text);
  CPlayListEntry* NewFile(const std::string& name);
  CPlayListEntry* NewFolder(const std::string& name);

 private:
  size_t Parse(CPlayListEntryHolder& list, const std::string& text, size_t at);

  CFileInfoDataBase m_Files;
  CFolderInfoDataBase m_Folders;
};

// The tree as text, in the form TreeBuilder reads.
std::string Describe(const CPlayListEntryHolder& list);
// Every entry in display order with its file and entry number: "a(0,0) F(1,1) ...".
std::string Numbers(const CPlayListEntryHolder& list);
// The folder entry at the index of the list.
CPlayListFolderEntry* FolderAt(CPlayListEntryHolder& list, INT index);
// The name part of an entry's URL.
std::string NameOf(const CPlayListEntry* entry);
// Empty when the invariants after Renumber hold below the top-level list,
// else what is wrong.
std::string CheckInvariants(const CPlayListEntryHolder& top);
