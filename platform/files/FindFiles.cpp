// FindFirstFileA / FindNextFileA / FindClose: the names of a folder that
// match a pattern, listed when the search starts and sorted as NTFS lists
// them ("." and ".." first, then ignoring case).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "FileAttributes.h"
#include "FileTimes.h"
#include "PathResolver.h"
#include "Wildcard.h"
#include "platform/kernel/ErrnoMap.h"
#include "platform/kernel/KernelObject.h"
#include "twlwin/errors.h"
#include "twlwin/files.h"

namespace {

class FindObject : public twl::KernelObject {
 public:
  FindObject(std::string folder, std::vector<std::string> names)
      : KernelObject(twl::ObjectKind::Find), folder_(std::move(folder)), names_(std::move(names)) {}

  // Fills `data` with the next entry that still exists; false at the end.
  bool Next(WIN32_FIND_DATAA& data) {
    while (next_ < names_.size()) {
      const std::string& name = names_[next_++];
      if (Fill(name, data)) return true;
    }
    return false;
  }

 private:
  bool Fill(const std::string& name, WIN32_FIND_DATAA& data) const {
    std::string path = folder_ + "/" + name;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 && lstat(path.c_str(), &info) != 0) return false;
    twl::FileTimes times{};
    if (!twl::ReadFileTimes(AT_FDCWD, path.c_str(), times)) {
      times.creation = times.lastAccess = times.lastWrite = twl::FileTimeFromTimespec(info.st_mtim);
    }
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = twl::AttributesOf(info, name);
    data.ftCreationTime = times.creation;
    data.ftLastAccessTime = times.lastAccess;
    data.ftLastWriteTime = times.lastWrite;
    const uint64_t size = S_ISDIR(info.st_mode) ? 0 : static_cast<uint64_t>(info.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size);
    std::strncpy(data.cFileName, name.c_str(), sizeof data.cFileName - 1);
    return true;
  }

  std::string folder_;
  std::vector<std::string> names_;
  size_t next_ = 0;
};

// "." first, ".." second, every other name after them.
int ListRank(const std::string& name) {
  if (name.empty() || name[0] != '.' || name.size() > 2) return 2;
  return name.size() == 1 ? 0 : name[1] == '.' ? 1 : 2;
}

// The names in list order: by rank, then ignoring ASCII case, then as
// they are. Each name's key is made once and the sort moves indices, so a
// large folder sorts quickly.
void SortInListOrder(std::vector<std::string>& names) {
  std::vector<std::string> keys(names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    keys[i].reserve(names[i].size() + 1);
    keys[i] += static_cast<char>('0' + ListRank(names[i]));
    for (char c : names[i]) keys[i] += twl::FoldCase(c);
  }
  std::vector<size_t> order(names.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const int byKey = keys[a].compare(keys[b]);
    return byKey != 0 ? byKey < 0 : names[a] < names[b];
  });
  std::vector<std::string> sorted;
  sorted.reserve(names.size());
  for (size_t index : order) sorted.push_back(std::move(names[index]));
  names = std::move(sorted);
}

}  // namespace

TWLAPI HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
  if (!pattern || !data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string text = twl::WithSlashes(pattern);
  auto slash = text.find_last_of('/');
  std::string folderPart = slash == std::string::npos ? "." : slash == 0 ? "/" : text.substr(0, slash);
  std::string namePattern = slash == std::string::npos ? text : text.substr(slash + 1);

  std::string folder = twl::ResolvePath(folderPart.c_str());
  DIR* dir = opendir(folder.c_str());
  if (!dir) {
    SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : twl::Win32ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> names;
  if (!namePattern.empty()) {
    while (dirent* entry = readdir(dir)) {
      if (twl::MatchesPattern(namePattern, entry->d_name)) names.emplace_back(entry->d_name);
    }
  }
  closedir(dir);
  SortInListOrder(names);

  auto find = std::make_shared<FindObject>(folder, std::move(names));
  if (!find->Next(*data)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = twl::InsertHandle(std::move(find));
  if (!handle) return INVALID_HANDLE_VALUE;
  SetLastError(ERROR_SUCCESS);
  return handle;
}

TWLAPI BOOL FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA data) {
  auto find = twl::FindHandleAs<FindObject>(handle, twl::ObjectKind::Find);
  if (!find) return FALSE;
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!find->Next(*data)) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  return TRUE;
}

TWLAPI BOOL FindClose(HANDLE handle) {
  if (!twl::FindHandleAs<FindObject>(handle, twl::ObjectKind::Find)) return FALSE;
  twl::RemoveHandle(handle);
  return TRUE;
}
