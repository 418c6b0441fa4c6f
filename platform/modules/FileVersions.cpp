// The version calls: which version block a file name means, and reading
// the fixed information back out of a block.
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Modules.h"
#include "SystemModules.h"
#include "platform/files/PathResolver.h"
#include "platform/resources/ResourceDirectory.h"
#include "platform/resources/VersionFormat.h"
#include "twlwin/errors.h"
#include "twlwin/fileversion.h"
#include "twlwin/resources.h"
#include "twlwin/testing.h"

namespace twl {

namespace {

using resources::FixedVersion;

// Versions tests gave files; a key without a version means "none".
struct Overrides {
  std::mutex lock;
  std::map<std::string, std::optional<FixedVersion>> byKey;
};

Overrides& TheOverrides() {
  static auto* overrides = new Overrides;  // never destroyed: used during exit
  return *overrides;
}

struct Source {
  std::string key;  // the library's name, or the file's real path
  const SystemLibrary* library = nullptr;
  std::string path;
};

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A library of the layer, or an existing file: a path, or a bare name in
// the program's folder or the current one.
std::optional<Source> Resolve(const char* name, DWORD& error) {
  if (!name || !*name) {
    error = ERROR_INVALID_PARAMETER;
    return std::nullopt;
  }
  if (const SystemLibrary* library = FindSystemLibrary(name)) {
    std::string key = "library:";
    for (char c : library->fileName) key.push_back(FoldCase(c));
    return Source{key, library, {}};
  }
  std::string path;
  if (WithSlashes(name).find('/') == std::string::npos) path = ResolvePath((ProgramFolder() + "/" + name).c_str());
  if (path.empty() || !IsFile(path)) path = ResolvePath(name);
  char resolved[PATH_MAX];
  if (!IsFile(path) || !realpath(path.c_str(), resolved)) {
    error = ERROR_FILE_NOT_FOUND;
    return std::nullopt;
  }
  return Source{resolved, nullptr, resolved};
}

std::optional<std::vector<uint8_t>> BlockOfModuleFile(const std::string& path) {
  for (const auto& found : resources::ResourcesOfModuleFile(path, RT_VERSION)) {
    const TWL_RESOURCE& resource = *found.resource;
    // The table comes from a module; only a well-formed block counts.
    if (resources::FixedInfoOffset(resource.data, resource.size))
      return std::vector<uint8_t>(resource.data, resource.data + resource.size);
  }
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> VersionBlock(const char* name, DWORD& error) {
  auto source = Resolve(name, error);
  if (!source) return std::nullopt;
  {
    Overrides& overrides = TheOverrides();
    std::lock_guard guard(overrides.lock);
    auto found = overrides.byKey.find(source->key);
    if (found != overrides.byKey.end()) {
      if (found->second) return resources::BuildVersionBlock(*found->second);
      error = ERROR_RESOURCE_TYPE_NOT_FOUND;
      return std::nullopt;
    }
  }
  if (source->library) {
    if (auto version = source->library->version) {
      return resources::BuildVersionBlock(
          FixedVersion{version->mostSignificant, version->leastSignificant, version->mostSignificant,
                       version->leastSignificant});
    }
  } else if (auto block = BlockOfModuleFile(source->path)) {
    return block;
  }
  error = ERROR_RESOURCE_TYPE_NOT_FOUND;
  return std::nullopt;
}

enum class Override { Version, NoVersion, Remove };

void SetOverride(LPCSTR file, Override what, FixedVersion version = {}) {
  DWORD error = 0;
  auto source = Resolve(file, error);
  if (!source) return;
  Overrides& overrides = TheOverrides();
  std::lock_guard guard(overrides.lock);
  switch (what) {
    case Override::Version: overrides.byKey[source->key] = version; break;
    case Override::NoVersion: overrides.byKey[source->key] = std::nullopt; break;
    case Override::Remove: overrides.byKey.erase(source->key); break;
  }
}

}  // namespace

}  // namespace twl

TWLAPI DWORD GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle) {
  if (handle) *handle = 0;
  DWORD error = 0;
  auto block = twl::VersionBlock(file, error);
  if (!block) {
    SetLastError(error);
    return 0;
  }
  return static_cast<DWORD>(block->size());
}

TWLAPI BOOL GetFileVersionInfoA(LPCSTR file, DWORD, DWORD size, LPVOID data) {
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD error = 0;
  auto block = twl::VersionBlock(file, error);
  if (!block) {
    SetLastError(error);
    return FALSE;
  }
  // A cut block would claim more bytes than it has.
  if (size < block->size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(data, block->data(), block->size());
  return TRUE;
}

TWLAPI BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length) {
  if (!block || !subBlock || !buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (std::strcmp(subBlock, "\\") != 0) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
  }
  auto* bytes = static_cast<const uint8_t*>(block);
  const size_t claimed = static_cast<size_t>(bytes[0] | (bytes[1] << 8));
  auto offset = twl::resources::FixedInfoOffset(bytes, claimed);
  if (!offset) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  *buffer = const_cast<uint8_t*>(bytes + *offset);
  if (length) *length = static_cast<UINT>(twl::resources::kFixedInfoSize);
  return TRUE;
}

TWLAPI void TwlTestSetFileVersion(LPCSTR file, DWORD versionMS, DWORD versionLS) {
  twl::SetOverride(file, twl::Override::Version,
                   twl::resources::FixedVersion{versionMS, versionLS, versionMS, versionLS});
}

TWLAPI void TwlTestSetNoFileVersion(LPCSTR file) { twl::SetOverride(file, twl::Override::NoVersion); }

TWLAPI void TwlTestResetFileVersion(LPCSTR file) { twl::SetOverride(file, twl::Override::Remove); }
