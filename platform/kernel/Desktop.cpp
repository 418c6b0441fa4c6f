#include "Desktop.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "twlwin/errors.h"
#include "twlwin/testing.h"

namespace twl {
namespace {

void MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0700);
  }
  mkdir(path.c_str(), 0700);
}

std::string ChooseDesktopFolder() {
  if (const char* desktop = std::getenv("TWL_DESKTOP"); desktop && *desktop) return desktop;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    return std::string(runtime) + "/twl-desktop";
  }
  return "/tmp/twl-desktop-" + std::to_string(getuid());
}

}  // namespace

const std::string& DesktopFolder() {
  static const std::string* folder = [] {
    auto* chosen = new std::string(ChooseDesktopFolder());
    MakeFolders(*chosen);
    return chosen;
  }();
  return *folder;
}

std::string EncodeObjectName(const std::string& name) {
  std::string encoded;
  for (unsigned char c : name) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                 c == '_' || (c == '.' && !encoded.empty());
    if (plain) {
      encoded += static_cast<char>(c);
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", c);
      encoded += escape;
    }
  }
  return encoded;
}

}  // namespace twl

TWLAPI DWORD TwlGetDesktopFolder(LPSTR buffer, DWORD size) {
  const std::string& folder = twl::DesktopFolder();
  if (!buffer || size <= folder.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return static_cast<DWORD>(folder.size() + 1);
  }
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<DWORD>(folder.size());
}
