// Changes to the current playlist that keep the play order, the current
// entry and the file identification consistent with the entry tree.
#include <strings.h>

#include <cstring>
#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayListExtensions.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"

namespace {

// A text without ":/", or with it only at index 0 or 1, is a local path.
std::string AsUrl(const std::string& text) {
  const size_t scheme = text.find(":/");
  if (scheme == std::string::npos || scheme <= 1) return "file://" + text;
  return text;
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
    } else if (HasPlayListExtension(text.c_str())) {  // shown as a folder of its entries
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

void CPlayerSystem::WithdrawFromIdentifier(CPlayListEntry* entry) {
  if (!entry->IsFolder()) {
    m_Identifier->RemoveFileObject(static_cast<CPlayListFileEntry*>(entry)->GetFileInfo());
    return;
  }
  const CPlayListEntryHolder& contents = static_cast<CPlayListFolderEntry*>(entry)->GetContents();
  for (INT i = 0; i < contents.GetCount(); ++i) WithdrawFromIdentifier(contents.GetEntry(i));
}

namespace {

// Every file below (or being) the entry, and every folder entry.
void CollectTree(CPlayListEntry* entry, std::vector<CPlayListEntry*>& fileEntries,
                 std::vector<CPlayListFolderEntry*>& folderEntries) {
  if (!entry->IsFolder()) {
    fileEntries.push_back(entry);
    return;
  }
  auto* folder = static_cast<CPlayListFolderEntry*>(entry);
  folderEntries.push_back(folder);
  const CPlayListEntryHolder& contents = folder->GetContents();
  for (INT i = 0; i < contents.GetCount(); ++i) CollectTree(contents.GetEntry(i), fileEntries, folderEntries);
}

// True when one of the entry's enclosing folder entries is in the set.
bool IsInsideAny(const CPlayListEntry* entry, const std::set<const CPlayListEntry*>& set) {
  for (const CPlayListEntryHolder* holder = entry->GetHolder(); holder && holder->GetOwner();
       holder = holder->GetOwner()->GetHolder())
    if (set.count(holder->GetOwner())) return true;
  return false;
}

}  // namespace

void CPlayerSystem::RemoveEntries(CPlayListEntry* const* entries, INT count) {
  if (!entries || count < 1) return;
  // Highest entry number first; an entry inside another one given goes
  // with that one.
  std::vector<CPlayListEntry*> given(entries, entries + count);
  std::sort(given.begin(), given.end(),
            [](const CPlayListEntry* a, const CPlayListEntry* b) { return a->GetEntryNumber() > b->GetEntryNumber(); });
  given.erase(std::unique(given.begin(), given.end()), given.end());
  const std::set<const CPlayListEntry*> givenSet(given.begin(), given.end());
  std::vector<CPlayListEntry*> removed;
  for (CPlayListEntry* entry : given)
    if (!IsInsideAny(entry, givenSet)) removed.push_back(entry);

  std::vector<CPlayListEntry*> fileEntries;
  std::vector<CPlayListFolderEntry*> folderEntries;
  for (CPlayListEntry* entry : removed) CollectTree(entry, fileEntries, folderEntries);
  for (CPlayListFolderEntry* folder : folderEntries) m_FolderEnumeration->RemoveFolderEntry(folder, false);

  const INT fileCount = GetFileCount();
  std::vector<bool> gone(static_cast<size_t>(fileCount), false);
  for (CPlayListEntry* file : fileEntries)
    if (file->GetFileNumber() >= 0 && file->GetFileNumber() < fileCount) gone[static_cast<size_t>(file->GetFileNumber())] = true;

  // The replacement of a removed current entry: the next file of the play
  // order that stays, or the one before when it was the last.
  const bool currentRemoved = m_CurrentEntry >= 0 && m_CurrentEntry < fileCount && gone[static_cast<size_t>(m_CurrentEntry)];
  INT replacementFile = -1;
  if (currentRemoved && m_PlayPosition >= 0) {
    const INT last = m_PlayOrder.GetCount() - 1;
    const INT step = m_PlayPosition == last ? -1 : 1;
    for (INT direction : {step, -step}) {
      for (INT at = m_PlayPosition + direction; at >= 0 && at <= last && replacementFile < 0; at += direction)
        if (!gone[static_cast<size_t>(m_PlayOrder.GetFile(at))]) replacementFile = m_PlayOrder.GetFile(at);
      if (replacementFile >= 0) break;
    }
  }

  // File numbers close their gaps: each drops by the removed ones below it.
  std::vector<INT> below(static_cast<size_t>(fileCount) + 1, 0);
  for (INT file = 0; file < fileCount; ++file)
    below[static_cast<size_t>(file) + 1] = below[static_cast<size_t>(file)] + (gone[static_cast<size_t>(file)] ? 1 : 0);
  auto renumbered = [&](INT file) { return file - below[static_cast<size_t>(file)]; };
  m_PlayOrder.RemoveFiles(gone);
  if (!currentRemoved && m_CurrentEntry >= 0) {
    m_CurrentEntry = renumbered(m_CurrentEntry);
    m_PlayPosition = m_Shuffle ? m_PlayOrder.IndexOf(m_CurrentEntry) : m_CurrentEntry;
  }
  const INT replacementPosition =
      replacementFile < 0 ? -1 : m_PlayOrder.IndexOf(renumbered(replacementFile));

  for (CPlayListEntry* file : fileEntries) WithdrawFromIdentifier(file);
  for (CPlayListEntry* entry : removed) entry->GetHolder()->Remove(entry->GetIndex(), false);
  m_PlayList.Renumber();

  if (currentRemoved) {
    m_PlayPosition = -1;
    m_CurrentEntry = -1;
    m_Observer->OnEntriesRemoved(removed.data(), static_cast<INT>(removed.size()));
    SetCurrentPosition(replacementPosition);
  } else {
    m_Observer->OnEntriesRemoved(removed.data(), static_cast<INT>(removed.size()));
  }
  for (CPlayListEntry* entry : removed) delete entry;
}

void CPlayerSystem::RemoveAllEntries() {
  for (INT i = 0; i < m_PlayList.GetCount(); ++i) WithdrawFromIdentifier(m_PlayList.GetEntry(i));
  m_FolderEnumeration->StopAll();
  if (IsPlaying()) Stop(true);
  SetCurrentEntry(-1);
  m_Observer->OnPlayListCleared();
  m_PlayList.RemoveAll(true, true);
  m_PlayOrder.Clear();
  m_Observer->OnPlayListStateChanged();
}

void CPlayerSystem::MoveEntry(CPlayListEntryHolder* holder, INT index, INT target) {
  CPlayListEntryHolder* list = holder ? holder : &m_PlayList;
  CPlayListEntry* entry = list->GetEntry(index);
  if (!entry) return;
  const CPlayListObserver::Positions old{entry->GetIndex(), entry->GetFileNumber(), entry->GetEntryNumber()};
  const INT b = entry->GetFileNumber();
  const INT d = entry->IsFolder() ? static_cast<CPlayListFolderEntry*>(entry)->GetContents().GetCounts()[1] : 1;
  list->Move(index, target);
  m_PlayList.Renumber();
  const INT c = entry->GetFileNumber();
  if (d != 0 && b != c) {
    auto remap = [b, c, d](INT f) {
      if (f >= b && f < b + d) return f + c - b;
      if (b < c && f >= b + d && f < c + d) return f - d;
      if (c < b && f >= c && f < b) return f + d;
      return f;
    };
    if (m_Shuffle) m_PlayOrder.Remap(remap);
    if (m_CurrentEntry >= 0) m_CurrentEntry = remap(m_CurrentEntry);
    m_PlayPosition = m_Shuffle ? m_PlayOrder.IndexOf(m_CurrentEntry) : m_CurrentEntry;
  }
  m_Observer->OnEntryMoved(entry, old);
}

void CPlayerSystem::MoveEntries(CPlayListEntryHolder* holder, const INT* indices, INT count, INT target) {
  if (!indices || count < 1) return;
  std::vector<INT> pending(indices, indices + count);
  for (size_t k = 0; k < pending.size(); ++k) {
    const INT from = pending[k];
    MoveEntry(holder, from, target);
    for (size_t j = k + 1; j < pending.size(); ++j) {
      if (from < target && pending[j] > from && pending[j] < target) --pending[j];
      if (from > target && pending[j] >= target && pending[j] < from) ++pending[j];
    }
    if (from >= target) ++target;
  }
}

void CPlayerSystem::SetPlayList(const CPlayList& loaded) {
  for (INT i = 0; i < m_PlayList.GetCount(); ++i) WithdrawFromIdentifier(m_PlayList.GetEntry(i));
  m_FolderEnumeration->StopAll();
  const bool wasPlaying = IsPlaying();
  const INT newFiles = loaded.GetCounts()[1];
  if (wasPlaying) Stop(newFiles == 0);
  SetCurrentEntry(-1);
  m_Observer->OnPlayListCleared();

  m_PlayList.Assign(loaded);
  m_PlayList.Renumber();
  m_Loop = m_PlayList.GetLoop();
  m_Shuffle = m_PlayList.GetShuffle();
  if (m_Shuffle)
    m_PlayOrder.Shuffle(m_PlayList.GetCounts()[1], -1, m_Random);
  else
    m_PlayOrder.Reset(m_PlayList.GetCounts()[1]);
  m_PlayPosition = -1;
  if (GetFileCount() > 0) SetCurrentPosition(0);

  for (INT i = 0; i < m_PlayList.GetCount(); ++i) {
    CPlayListEntry* entry = m_PlayList.GetEntry(i);
    HandEntriesToIdentifier(entry);
    if (entry->IsFolder()) m_FolderEnumeration->AddFolderEntry(static_cast<CPlayListFolderEntry*>(entry));
  }
  m_Observer->OnPlayListStateChanged();
  if (wasPlaying && (GetFileCount() == 0 || !Play(false))) m_Visualizers->EndPlayback();
}

void CPlayerSystem::ApplyEntryVolume(CPlayListFileEntry* entry) {
  if (entry && entry == GetCurrentEntry()) {
    UpdateEffectiveVolume();
    CriticalSectionLock lock(m_PlaybackLock);
    if (m_Playing && m_CurrentPlayer) m_CurrentPlayer->SetVolume(GetEffectiveVolume());
  }
}

void CPlayerSystem::SetEntryVolume(CPlayListFileEntry* entry, INT percent) {
  if (!entry) return;
  entry->SetVolume(percent);
  ApplyEntryVolume(entry);
  m_Observer->OnEntryChanged(entry, entry->GetVolume());
}

void CPlayerSystem::OnEntryVolumeChanged(CPlayListFileEntry* entry, INT percent) {
  if (!entry) return;
  ApplyEntryVolume(entry);
  m_Observer->OnEntryChanged(entry, percent);
}

void CPlayerSystem::ExpandFolderEntry(CPlayListFolderEntry* entry, bool recursive, bool now) {
  if (!entry || !entry->GetHolder()) return;
  if (now) m_FolderEnumeration->RemoveFolderEntry(entry, recursive);
  if (!now && entry->GetRunningEnumerations() > 0) {
    entry->SetExpandPending(true);
    entry->SetExpandRecursive(recursive);
    return;
  }
  const CPlayListEntryHolder& contents = entry->GetContents();
  auto foldersInside = [&](bool pendingOnly) {
    std::vector<CPlayListFolderEntry*> folders;
    for (INT i = 0; i < contents.GetCount(); ++i) {
      CPlayListEntry* inner = contents.GetEntry(i);
      if (!inner->IsFolder()) continue;
      auto* folder = static_cast<CPlayListFolderEntry*>(inner);
      if (!pendingOnly || folder->IsExpandPending()) folders.push_back(folder);
    }
    return folders;
  };
  if (!recursive) {
    const std::vector<CPlayListFolderEntry*> pending = foldersInside(true);
    m_Observer->OnEntryRemoved(entry, false);
    entry->Expand(false);
    m_PlayList.Renumber();
    for (CPlayListFolderEntry* folder : pending) ExpandFolderEntry(folder, folder->IsExpandRecursive(), false);
    return;
  }
  if (!now && entry->HasRunningEnumerations()) {
    // Folders still being listed are expanded as their listings end.
    const std::vector<CPlayListFolderEntry*> folders = foldersInside(false);
    m_Observer->OnEntryRemoved(entry, false);
    entry->Expand(false);
    m_PlayList.Renumber();
    for (CPlayListFolderEntry* folder : folders) ExpandFolderEntry(folder, true, false);
    return;
  }
  m_Observer->OnEntryRemoved(entry, true);
  entry->Expand(true);
  m_PlayList.Renumber();
}

void CPlayerSystem::OnFolderEnumerationDone(CPlayListFolderEntry* entry) {
  if (entry && entry->GetRunningEnumerations() == 0 && entry->IsExpandPending() && entry->GetHolder() &&
      !entry->GetHolder()->GetOwner())
    ExpandFolderEntry(entry, entry->IsExpandRecursive(), false);
  if (m_PlayPending && m_FolderEnumeration->IsIdle()) m_PlayPending = false;
}

void CPlayerSystem::FlattenEntries(CPlayListEntryHolder& target, CPlayListEntryHolder& source) {
  std::vector<CPlayListEntry*> fileEntries;
  std::vector<CPlayListFolderEntry*> folderEntries;
  for (INT i = 0; i < source.GetCount(); ++i) CollectTree(source.GetEntry(i), fileEntries, folderEntries);
  // Taken out from the last to the first, so that indices stay valid.
  for (auto file = fileEntries.rbegin(); file != fileEntries.rend(); ++file)
    (*file)->GetHolder()->Remove((*file)->GetIndex(), false);
  target.InsertRun(0, fileEntries);
  target.Renumber();
  source.Renumber();
}

void CPlayerSystem::UpdatePlayListFlags() {
  m_PlayList.SetLoop(m_Loop);
  m_PlayList.SetShuffle(m_Shuffle);
}
