#include "FileAttributes.h"

#include "twlwin/files.h"

namespace twl {

DWORD AttributesOf(const struct stat& info, const std::string& fileName) {
  DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  // Named pipes, sockets and devices: reading them may wait or never end.
  if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) attributes |= FILE_ATTRIBUTE_DEVICE;
  if (!(info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) attributes |= FILE_ATTRIBUTE_READONLY;
  if (fileName.size() > 1 && fileName[0] == '.' && fileName != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}

std::string FileNameOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace twl
