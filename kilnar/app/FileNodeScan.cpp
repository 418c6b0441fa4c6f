// Filling a folder node from disk: its subfolders, their subtrees, then its
// files. Every real folder is scanned once per scan, so links back into the
// tree (or two links to one folder) end instead of repeating forever.
// Entries whose first ISO names compare equal (names that differ only in
// case, or long names alike in their first 63 bytes) are all kept: the
// renaming by the track's name mode numbers them apart.
#include <windows.h>

#include <new>
#include <set>
#include <string>
#include <vector>

#include "kilnar/app/FileNode.h"
#include "kilnar/app/Track.h"
#include "kilnar/app/TreeMessages.h"
#include "kilnar/recorder/FileInfo.h"

// The real folders (every link followed) a scan has taken.
struct FolderScan {
  std::set<std::string> folders;
};

namespace {

// Counts the subfolders done, for the progress function, over all scans.
int scanTicks = 0;

// The path of the folder every link on the way followed; empty when it
// cannot be opened.
std::string RealFolderPath(const std::string& path) {
  HANDLE folder = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return {};
  std::vector<char> buffer(MAX_PATH);
  DWORD length = GetFinalPathNameByHandleA(folder, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetFinalPathNameByHandleA(folder, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  }
  CloseHandle(folder);
  return length > 0 && length < buffer.size() ? std::string(buffer.data(), length) : std::string();
}

std::string ChildPath(const std::string& folder, const char* name) {
  if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) return folder + name;
  return folder + "/" + name;
}

bool IsFolderEntry(const WIN32_FIND_DATAA& found) { return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// Pipes, sockets, devices and dangling links: nothing a CD can hold, and
// reading one may wait for ever.
bool IsDeviceEntry(const WIN32_FIND_DATAA& found) { return (found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0; }

// Calls `take` for each entry of the folder; false when the search finds
// nothing at all.
template <class Take>
bool ForEachEntry(const std::string& folder, Take take) {
  WIN32_FIND_DATAA found{};
  HANDLE find = FindFirstFileA(ChildPath(folder, "*.*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool going = true;
  do {
    going = take(found);
  } while (going && FindNextFileA(find, &found));
  FindClose(find);
  return going;
}

}  // namespace

bool FileNode::ScanFromDisk(uint16_t& counter, bool countFlag, const ScanProgress& progress) {
  FolderScan scan;
  const std::string own = RealFolderPath(GetSourcePath());
  if (!own.empty()) scan.folders.insert(own);
  return ScanTree(counter, countFlag, progress, scan);
}

bool FileNode::ScanTree(uint16_t& counter, bool countFlag, const ScanProgress& progress, FolderScan& scan) {
  if (!m_IsFolder) return true;
  if (!m_FoldersScanned && !ScanSubfolders(counter, countFlag, progress, scan)) return false;
  for (size_t i = 0; i < GetCount(); ++i) {
    if (GetChild(i)->GetType() == kTypeFileNode)
      static_cast<FileNode*>(GetChild(i))->ScanTree(counter, countFlag, progress, scan);
    if (progress) progress(++scanTicks % 100);
  }
  if (!m_FilesScanned) ScanFiles();
  return true;
}

bool FileNode::ScanSubfolders(uint16_t& counter, bool countFlag, const ScanProgress& progress) {
  FolderScan scan;
  const std::string own = RealFolderPath(GetSourcePath());
  if (!own.empty()) scan.folders.insert(own);
  return ScanSubfolders(counter, countFlag, progress, scan);
}

bool FileNode::ScanSubfolders(uint16_t& counter, bool countFlag, const ScanProgress& progress, FolderScan& scan) {
  if (!m_IsFolder || m_FoldersScanned) return false;
  m_FoldersScanned = true;
  const Track* track = FindOwningTrack();
  const bool shortNames = track && track->GetNameMode() == 1;
  bool enoughMemory = true;
  const bool found = ForEachEntry(GetSourcePath(), [&](const WIN32_FIND_DATAA& entry) {
    if (!IsFolderEntry(entry) || entry.cFileName[0] == '\0' || entry.cFileName[0] == '.') return true;
    const std::string path = ChildPath(GetSourcePath(), entry.cFileName);
    const std::string real = RealFolderPath(path);
    if (real.empty() || !scan.folders.insert(real).second) return true;
    try {
      auto folder = std::make_unique<FileNode>(path, true, 0);
      folder->m_Time = TimeStampOfFileTime(entry.ftLastWriteTime);
      folder->m_Hidden = (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
      if (shortNames) folder->m_Names.SetShortName(entry.cAlternateFileName);
      InsertKeepingEqual(std::move(folder));
    } catch (const std::bad_alloc&) {
      enoughMemory = false;
      return false;
    }
    if (countFlag || progress) {
      ++counter;
      if (progress) progress(counter);
    }
    return true;
  });
  if (!enoughMemory) {
    PrintTreeMessage("ERROR", "NOT_ENOUGH_MEMORY");
    return false;
  }
  return found;
}

bool FileNode::ScanFiles() {
  if (!m_IsFolder || m_FilesScanned) return false;
  m_FilesScanned = true;
  const Track* track = FindOwningTrack();
  const bool shortNames = track && track->GetNameMode() == 1;
  bool enoughMemory = true;
  ForEachEntry(GetSourcePath(), [&](const WIN32_FIND_DATAA& entry) {
    if (IsFolderEntry(entry) || IsDeviceEntry(entry) || entry.cFileName[0] == '\0') return true;
    try {
      auto file = std::make_unique<FileNode>(ChildPath(GetSourcePath(), entry.cFileName), false,
                                             static_cast<uint32_t>(entry.nFileSizeLow));
      file->m_Time = TimeStampOfFileTime(entry.ftLastWriteTime);
      file->m_Hidden = (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
      file->m_TooLarge = entry.nFileSizeHigh != 0;
      if (shortNames) file->m_Names.SetShortName(entry.cAlternateFileName);
      InsertKeepingEqual(std::move(file));
    } catch (const std::bad_alloc&) {
      enoughMemory = false;
      return false;
    }
    return true;
  });
  if (!enoughMemory) {
    PrintTreeMessage("ERROR", "NOT_ENOUGH_MEMORY");
    return false;
  }
  return true;
}
