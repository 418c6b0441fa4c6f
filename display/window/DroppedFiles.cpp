// Files dropped on a window become URLs: local names get "file://" in
// front, and a folder gets a '\' at its end so that it reads as one.
#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

#include "display/window/Window.h"
#include "foundation/appcore/Directories.h"

namespace {

constexpr char kFilePrefix[] = "file://";
constexpr size_t kFilePrefixLength = sizeof kFilePrefix - 1;

bool StartsWithFilePrefix(const char* url) {
  for (size_t i = 0; i < kFilePrefixLength; ++i)
    if (std::tolower(static_cast<unsigned char>(url[i])) != kFilePrefix[i]) return false;
  return true;
}

// The buffer has room for one more character.
void MarkFolder(char* url) {
  const size_t length = std::strlen(url);
  if (!StartsWithFilePrefix(url) || length == kFilePrefixLength) return;
  const char last = url[length - 1];
  if (last == '/' || last == '\\' || !DirectoryExists(url + kFilePrefixLength)) return;
  url[length] = '\\';
  url[length + 1] = '\0';
}

// Ends the drop however the handler returns.
struct DropEnd {
  HDROP drop;
  ~DropEnd() { DragFinish(drop); }
};

}  // namespace

void CWindow::OnDropFiles(HDROP drop) {
  DropEnd end{drop};
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::unique_ptr<char[]>> buffers;
  std::vector<const char*> urls;
  for (UINT index = 0; index < count; ++index) {
    const UINT length = DragQueryFileA(drop, index, nullptr, 0);
    if (length == 0) continue;
    // Room for the prefix in front, the name, a '\' and the end.
    auto buffer = std::make_unique<char[]>(length + 10);
    char* name = buffer.get() + kFilePrefixLength;
    if (DragQueryFileA(drop, index, name, length + 1) == 0) continue;
    char* url = name;
    if (!std::strstr(name, "://")) {
      url = buffer.get();
      std::memcpy(url, kFilePrefix, kFilePrefixLength);
    }
    MarkFolder(url);
    urls.push_back(url);
    buffers.push_back(std::move(buffer));
  }
  if (!urls.empty()) OnFilesDropped(urls.data(), static_cast<int>(urls.size()));
}
