#include "playlistformat/PathRebasing.h"

#include <strings.h>
#include <windows.h>

#include <algorithm>

namespace rebasing {
namespace {

constexpr char kFileScheme[] = "file://";
constexpr size_t kFileSchemeLength = 7;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameCharacter(char a, char b) { return (IsSeparator(a) && IsSeparator(b)) || Lower(a) == Lower(b); }

size_t SchemeLength(const std::string& text) {
  return text.size() >= kFileSchemeLength && strncasecmp(text.c_str(), kFileScheme, kFileSchemeLength) == 0
             ? kFileSchemeLength
             : 0;
}

}  // namespace

bool HasScheme(const std::string& text) {
  const size_t at = text.find(":/");
  return at != std::string::npos && at >= 2;
}

std::string FolderOf(const std::string& url) {
  const size_t last = url.find_last_of("/\\");
  return last == std::string::npos ? std::string() : url.substr(0, last + 1);
}

bool IsSamePath(const std::string& a, const std::string& b) {
  const size_t skipA = SchemeLength(a);
  const size_t skipB = SchemeLength(b);
  if (a.size() - skipA != b.size() - skipB) return false;
  for (size_t i = 0; skipA + i < a.size(); ++i)
    if (!SameCharacter(a[skipA + i], b[skipB + i])) return false;
  return true;
}

size_t GetCommonPathTailLength(const std::string& stored, const std::string& current) {
  const size_t storedStart = SchemeLength(stored);
  const size_t currentStart = SchemeLength(current);
  size_t i = stored.size();
  size_t j = current.size();
  size_t separator = std::string::npos;  // in stored, the last one passed
  for (;;) {
    if (i == storedStart) return stored.size() - storedStart;
    if (j == currentStart) return current.size() - currentStart;
    if (!SameCharacter(stored[i - 1], current[j - 1]))
      return separator == std::string::npos ? 0 : stored.size() - separator;
    --i;
    --j;
    if (IsSeparator(stored[i])) separator = i;
  }
}

PrefixMatch MatchPathPrefix(const std::string& url, const std::string& stored) {
  size_t i = SchemeLength(url);
  size_t j = SchemeLength(stored);
  size_t a = i;
  size_t b = j;
  while (i < url.size() && j < stored.size() && SameCharacter(url[i], stored[j])) {
    if (IsSeparator(url[i])) {
      a = i + 1;
      b = j + 1;
    }
    ++i;
    ++j;
  }
  if (j == stored.size()) {
    a = i;
    b = j;
  }
  size_t needed = 0;
  if (HasScheme(url)) {
    needed = url.find(":/") + 2;
    if (needed < url.size() && url[needed] == '/') ++needed;
  }
  return {a > needed, a, b};
}

bool ExistsOnDisk(const std::string& url, bool isFolder) {
  const std::string path = url.substr(SchemeLength(url));
  if (HasScheme(path)) return true;  // network URLs count as existing
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == isFolder;
}

std::string RebaseEntryURL(const std::string& url, bool isFolder, const std::string& storedFolder,
                           const std::string& currentFolder, size_t tailLength, ExistenceCheck exists) {
  const PrefixMatch match = MatchPathPrefix(url, storedFolder);
  if (!match.matched) return url;
  if (storedFolder.size() - match.storedPosition > tailLength) return url;
  const long keep = static_cast<long>(match.storedPosition) + static_cast<long>(currentFolder.size()) -
                    static_cast<long>(storedFolder.size());
  const std::string moved =
      currentFolder.substr(0, static_cast<size_t>(std::clamp<long>(keep, 0, static_cast<long>(currentFolder.size())))) +
      url.substr(match.urlPosition);
  if (exists(moved, isFolder) || !exists(url, isFolder)) return moved;
  return url;
}

}  // namespace rebasing
