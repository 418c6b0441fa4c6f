#include "kilnar/app/playlists/PlaylistPaths.h"

#include <strings.h>
#include <windows.h>

#include <unordered_map>
#include <unordered_set>

#include "kilnar/app/playlists/Transliteration.h"

namespace {

constexpr char kFileScheme[] = "file://";
constexpr size_t kFileSchemeLength = 7;

std::string LowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

std::string FolderWithSeparator(const std::string& path) {
  const size_t last = path.find_last_of("/\\");
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string FileNameOf(const std::string& path) {
  const size_t last = path.find_last_of("/\\");
  return last == std::string::npos ? path : path.substr(last + 1);
}

std::string AlbumNameOf(const std::string& path) {
  const std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder + name;
  return folder + "/" + name;
}

std::string ExtensionOf(const std::string& text) {
  const size_t dot = text.rfind('.');
  return dot == std::string::npos ? std::string() : text.substr(dot + 1);
}

std::string LocalPathOfUrl(const std::string& url) {
  if (url.size() >= kFileSchemeLength && strncasecmp(url.c_str(), kFileScheme, kFileSchemeLength) == 0)
    return url.substr(kFileSchemeLength);
  if (url.find("://") != std::string::npos) return {};
  return url;
}

uint64_t FileSizeOf(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  LARGE_INTEGER size{};
  const bool known = GetFileSizeEx(file, &size) != FALSE;
  CloseHandle(file);
  return known && size.QuadPart > 0 ? static_cast<uint64_t>(size.QuadPart) : 0;
}

std::string CdFileName(const std::string& name) { return Transliterated(name); }

std::vector<std::string> UniqueCdNames(const std::vector<std::string>& paths, const std::string& reserved) {
  std::unordered_set<std::string> taken;
  // Per name, the number to try next: many files of one name stay linear.
  std::unordered_map<std::string, unsigned> nextNumber;
  if (!reserved.empty()) taken.insert(LowerAscii(reserved));
  std::vector<std::string> names;
  names.reserve(paths.size());
  for (const std::string& path : paths) {
    const std::string name = CdFileName(FileNameOf(path));
    std::string candidate = name;
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    unsigned& number = nextNumber.try_emplace(LowerAscii(name), 2).first->second;
    while (taken.count(LowerAscii(candidate)) != 0) candidate = stem + "(" + std::to_string(number++) + ")" + extension;
    taken.insert(LowerAscii(candidate));
    names.push_back(candidate);
  }
  return names;
}
