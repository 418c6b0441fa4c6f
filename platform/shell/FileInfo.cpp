// SHGetFileInfoA over the system image lists of generic icons.
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <string>

#include "GenericIcons.h"
#include "ImageList.h"
#include "twlwin/errors.h"
#include "twlwin/shell.h"

using namespace twl;
using namespace twl::shell;

namespace {

constexpr DWORD kDirectoryAttribute = 0x10;

HIMAGELIST SystemList(bool small) {
  static std::once_flag once;
  static HIMAGELIST lists[2] = {};
  std::call_once(once, [] {
    for (int i = 0; i < 2; ++i) {
      int size = i == 0 ? 16 : 32;
      std::vector<IconImage> images;
      for (int icon = 0; icon < static_cast<int>(GenericIcon::Count); ++icon)
        images.push_back(DrawGenericIcon(static_cast<GenericIcon>(icon), size));
      lists[i] = CreatePermanentImageList(size, size, std::move(images));
    }
  });
  return lists[small ? 0 : 1];
}

bool IsDriveRoot(const std::string& path) {
  if (path == "/") return true;
  bool letter = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
  return letter && (path.size() == 2 || (path.size() == 3 && (path[2] == '\\' || path[2] == '/')));
}

std::string NativePath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string DisplayName(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && (trimmed.back() == '\\' || trimmed.back() == '/')) trimmed.pop_back();
  size_t slash = trimmed.find_last_of("/\\");
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

const char* TypeName(GenericIcon icon) {
  switch (icon) {
    case GenericIcon::Folder:
    case GenericIcon::FolderOpen:
      return "File Folder";
    case GenericIcon::Drive:
      return "Local Disk";
    case GenericIcon::Program:
      return "Application";
    default:
      return "File";
  }
}

void CopyText(char* dest, size_t size, const std::string& text) {
  size_t length = std::min(text.size(), size - 1);
  std::memcpy(dest, text.data(), length);
  dest[length] = '\0';
}

}  // namespace

TWLAPI DWORD_PTR SHGetFileInfoA(LPCSTR path, DWORD attributes, SHFILEINFOA* info, UINT size, UINT flags) {
  if (!path || (info && size < sizeof(SHFILEINFOA))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string name = path;
  bool directory = false;
  GenericIcon icon;
  if (IsDriveRoot(name)) {
    icon = GenericIcon::Drive;
  } else {
    if (flags & SHGFI_USEFILEATTRIBUTES) {
      directory = (attributes & kDirectoryAttribute) != 0;
    } else {
      struct stat st{};
      if (name.empty() || ::stat(NativePath(name).c_str(), &st) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
      }
      directory = S_ISDIR(st.st_mode);
    }
    if (directory) icon = (flags & SHGFI_OPENICON) ? GenericIcon::FolderOpen : GenericIcon::Folder;
    else icon = IconForFileName(name);
  }

  bool small = flags & SHGFI_SMALLICON;
  HIMAGELIST list = SystemList(small);
  int index = static_cast<int>(icon);
  if (info) {
    if (flags & (SHGFI_SYSICONINDEX | SHGFI_ICON)) info->iIcon = index;
    if (flags & SHGFI_ICON) info->hIcon = ImageList_GetIcon(list, index, ILD_NORMAL);
    if (flags & SHGFI_DISPLAYNAME) CopyText(info->szDisplayName, sizeof info->szDisplayName, DisplayName(name));
    if (flags & SHGFI_TYPENAME) CopyText(info->szTypeName, sizeof info->szTypeName, TypeName(icon));
  }
  if (flags & SHGFI_SYSICONINDEX) return reinterpret_cast<DWORD_PTR>(list);
  return 1;
}

TWLAPI HICON ExtractIconA(HINSTANCE instance, LPCSTR file, UINT index) {
  if (!file) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return ExtractIconFromFile(file, static_cast<int>(index));
}
