// The desktop folder: where the processes of one desktop meet (named
// objects, published windows, message sockets). $TWL_DESKTOP, else
// $XDG_RUNTIME_DIR/twl-desktop, else /tmp/twl-desktop-<uid>; created on
// first use, readable by the user only.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DesktopFolder.h"
#include "twlwin/errors.h"
#include "twlwin/testing.h"

namespace twl {

namespace {

bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info{};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string DesktopFolder() {
  std::string folder;
  if (const char* desktop = std::getenv("TWL_DESKTOP"); desktop && *desktop) {
    folder = desktop;
  } else if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    folder = std::string(runtime) + "/twl-desktop";
  } else {
    folder = "/tmp/twl-desktop-" + std::to_string(getuid());
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return MakeFolders(folder) ? folder : std::string();
}

}  // namespace twl

TWLAPI DWORD TwlGetDesktopFolder(LPSTR buffer, DWORD size) {
  std::string folder = twl::DesktopFolder();
  if (folder.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  if (!buffer || size <= folder.size()) return static_cast<DWORD>(folder.size() + 1);
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<DWORD>(folder.size());
}
