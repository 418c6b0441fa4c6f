#include "PathResolver.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace twl {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// Join in place: a path of many components is built in one pass.
void Append(std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  folder += name;
}

// The entry of `folder` equal to `name` ignoring case; the smallest such
// name when several exist, so the answer does not depend on folder order.
bool FindIgnoringCase(const std::string& folder, const std::string& name, std::string& found) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  bool any = false;
  while (dirent* entry = readdir(dir)) {
    std::string candidate = entry->d_name;
    if (!EqualIgnoringCase(candidate, name)) continue;
    if (!any || candidate < found) found = candidate;
    any = true;
  }
  closedir(dir);
  return any;
}

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string Normalised(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out.push_back(c);
  }
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

std::string ResolveExisting(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
  const bool absolute = path[0] == '/';
  std::string resolved = absolute ? "/" : "";
  auto parts = Components(path);
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    const size_t folderLength = resolved.size();
    Append(resolved, part);
    if (part == "." || part == ".." || Exists(resolved)) continue;
    resolved.resize(folderLength);
    std::string found;
    if (FindIgnoringCase(resolved, part, found)) {
      Append(resolved, found);
      continue;
    }
    // Missing in any case: the rest stays as given.
    for (size_t rest = i; rest < parts.size(); ++rest) Append(resolved, parts[rest]);
    break;
  }
  return resolved;
}

}  // namespace

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::string WithSlashes(const char* path) {
  std::string text = path ? path : "";
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  return text;
}

std::string ResolvePath(const char* path, ResolveMode mode) {
  std::string normalised = Normalised(WithSlashes(path));
  if (mode == ResolveMode::Existing) return ResolveExisting(normalised);
  auto slash = normalised.find_last_of('/');
  if (slash == std::string::npos || normalised == "/") return normalised;
  std::string folder = slash == 0 ? "/" : ResolveExisting(normalised.substr(0, slash));
  return Join(folder, normalised.substr(slash + 1));
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return path;
    buffer.resize(buffer.size() * 2);
  }
  return Join(buffer.data(), path);
}

}  // namespace twl
