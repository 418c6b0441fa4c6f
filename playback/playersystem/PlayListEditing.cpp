// Changes to the current playlist that keep the play order, the current
// entry and the file identification consistent with the entry tree.
#include <strings.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"

namespace {

// Extensions of playlist files, shown as folders of their entries.
constexpr const char* kPlayListExtensions[] = {".m3u", ".pls", ".p4u", ".pp4u", ".vp4u", ".wpl"};

// A text without ":/", or with it only at index 0 or 1, is a local path.
std::string AsUrl(const std::string& text) {
  const size_t scheme = text.find(":/");
  if (scheme == std::string::npos || scheme <= 1) return "file://" + text;
  return text;
}

bool IsPlayListName(const std::string& text) {
  const size_t dot = text.rfind('.');
  if (dot == std::string::npos) return false;
  for (const char* extension : kPlayListExtensions)
    if (strcasecmp(text.c_str() + dot, extension) == 0) return true;
  return false;
}

}  // namespace

INT CPlayerSystem::AddUrls(CPlayListEntryHolder* holder, INT index, const char* const* texts, INT count,
                           CPlayListEntry** made) {
  std::vector<std::unique_ptr<CPlayListEntry>> entries;
  for (INT i = 0; i < count; ++i) {
    if (!texts || !texts[i] || !*texts[i]) continue;
    std::string text = texts[i];
    const char last = text.back();
    if (text.size() >= 2 && (last == '/' || last == '\\')) {
      text.pop_back();
      entries.emplace_back(new CPlayListFolderEntry(m_Folders.Get(AsUrl(text).c_str())));
    } else if (last == '<') {
      text.pop_back();
      entries.emplace_back(new CPlayListFileEntry(m_Files.Get(AsUrl(text).c_str()), 100));
    } else if (IsPlayListName(text)) {
      if (strncasecmp(text.c_str(), "file://", 7) == 0) text.erase(0, 7);
      entries.emplace_back(new CPlayListFolderEntry(m_Folders.Get(("playlist://" + text).c_str())));
    } else {
      entries.emplace_back(new CPlayListFileEntry(m_Files.Get(AsUrl(text).c_str()), 100));
    }
  }
  std::vector<CPlayListEntry*> raw;
  raw.reserve(entries.size());
  for (auto& entry : entries) raw.push_back(entry.get());
  const INT first = InsertEntries(holder, index, raw.data(), static_cast<INT>(raw.size()));
  for (auto& entry : entries) entry.release();  // the playlist owns them now
  if (made) {
    for (INT i = 0; i < count; ++i) made[i] = i < static_cast<INT>(raw.size()) ? raw[static_cast<size_t>(i)] : nullptr;
  }
  return first;
}

INT CPlayerSystem::InsertEntries(CPlayListEntryHolder* holder, INT index, CPlayListEntry* const* entries, INT count) {
  if (count < 1 || !entries) return -1;
  CPlayListEntryHolder* list = holder ? holder : &m_PlayList;
  if (index < 0 || index > list->GetCount()) index = list->GetCount();
  list->InsertRun(index, std::vector<CPlayListEntry*>(entries, entries + count));
  for (INT i = 0; i < count; ++i)
    if (entries[i]->IsFolder()) m_FolderEnumeration->AddFolderEntry(static_cast<CPlayListFolderEntry*>(entries[i]));
  m_PlayList.Renumber();

  INT files = 0;
  for (INT i = 0; i < count; ++i)
    files += entries[i]->IsFolder()
                 ? static_cast<CPlayListFolderEntry*>(entries[i])->GetContents().GetCounts()[1]
                 : 1;
  const bool hadCurrent = m_CurrentEntry >= 0;
  if (files > 0) {
    const INT firstFile = entries[0]->GetFileNumber();
    if (m_CurrentEntry >= firstFile) m_CurrentEntry += files;
    m_PlayOrder.InsertFiles(firstFile, files, m_Shuffle, m_Random, m_PlayPosition);
    for (INT i = 0; i < count; ++i) HandEntriesToIdentifier(entries[i]);
    if (!hadCurrent) {
      SetCurrentPosition(0);
      if (m_PlayPending) Play(true);
    }
  }
  m_Observer->OnEntriesInserted(list, count, index);
  return index;
}

void CPlayerSystem::HandEntriesToIdentifier(CPlayListEntry* entry) {
  if (!entry->IsFolder()) {
    m_Identifier->AddFileObject(static_cast<CPlayListFileEntry*>(entry)->GetFileInfo());
    return;
  }
  const CPlayListEntryHolder& contents = static_cast<CPlayListFolderEntry*>(entry)->GetContents();
  for (INT i = 0; i < contents.GetCount(); ++i) HandEntriesToIdentifier(contents.GetEntry(i));
}
