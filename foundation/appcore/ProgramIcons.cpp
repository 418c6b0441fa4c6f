#include "foundation/appcore/ProgramIcons.h"

#include <climits>
#include <cstring>
#include <vector>

#include "foundation/errors/LocalText.h"
#include "foundation/icons/IconManager.h"
#include "foundation/kernel/Error.h"

namespace {

// Icon locations are short; a longer value is not one.
constexpr DWORD kLongestRegistryText = 4096;

HICON LoadProgramIcon(HINSTANCE program, WORD resource) { return LoadIconA(program, MAKEINTRESOURCEA(resource)); }

// The unnamed value of a key below the classes root, when it is text.
CStr ReadClassesText(const CStr& subKey) {
  if (subKey.IsEmpty()) return CStr();  // an empty name would open the root itself
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return CStr();
  CStr text;
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size <= kLongestRegistryText) {
    std::vector<char> buffer(size + 1, '\0');
    DWORD read = size;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &read) ==
            ERROR_SUCCESS &&
        read <= size) {
      text = CStr(buffer.data(), strnlen(buffer.data(), read));  // the stored text may lack its terminator
    }
  }
  RegCloseKey(key);
  return text;
}

// The text from the last "." of the name's last part. Taken from the whole
// name, a "." in a folder's name would make an "extension" with a path in
// it, naming some key deeper in the registry.
CStr ExtensionOf(const char* name) {
  const char* base = name;
  for (const char* at = name; *at; ++at) {
    if (*at == '\\' || *at == '/') base = at + 1;
  }
  const char* dot = std::strrchr(base, '.');
  return dot ? CStr(dot) : CStr();
}

// What the host's icon services answer plug-ins: an error is index 0.
template <class Call>
INT ZeroOnError(Call call) {
  try {
    return call();
  } catch (CError* error) {
    DisposeError(error);
    return 0;
  }
}

INT TypeIconIndex(CIconManager& manager, const char* name) {
  const CStr location = GetFileTypeIconLocation(name);
  if (location.IsEmpty()) return 0;
  CStr file;
  INT number = 0;
  SplitIconLocation(location, file, number);
  return manager.GetFileIconIndex(file, number);
}

}  // namespace

void InitIconManager(CIconManager& manager, HINSTANCE program) {
  manager.Init(nullptr);
  for (WORD resource : kEssentialIconResources) {
    const HICON icon = LoadProgramIcon(program, resource);
    if (!icon) {
      ThrowError<CError>(LocalText("CSystem.FatalIconError.Caption", "Icon error"),
                         LocalText("CSystem.FatalIconError.Text", "Error loading essential icon."));
    }
    manager.AddIcon(icon);
  }
}

CStr GetDefaultIconText(const char* extension) {
  if (!extension) return CStr();
  const CStr type = ReadClassesText(extension);
  if (type.IsEmpty()) return CStr();
  return ReadClassesText(type + "\\DefaultIcon");
}

CStr GetFileTypeIconLocation(const char* name) { return name ? GetDefaultIconText(ExtensionOf(name)) : CStr(); }

void SplitIconLocation(const char* location, CStr& file, INT& number) {
  number = 0;
  const char* comma = location ? std::strrchr(location, ',') : nullptr;
  if (!comma) {
    file = location;
    return;
  }
  file = CStr(location, static_cast<size_t>(comma - location));
  const char* at = comma + 1;
  while (*at == ' ' || *at == '\t') ++at;
  const bool negative = *at == '-';
  if (*at == '-' || *at == '+') ++at;
  long long value = 0;
  for (; *at >= '0' && *at <= '9'; ++at) {
    value = value * 10 + (*at - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;  // stays clamped while digits follow
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  number = static_cast<INT>(value);
}

INT GetFileTypeIconIndex(CIconManager& manager, HINSTANCE program, const char* name) {
  const INT typeIcon = ZeroOnError([&] { return TypeIconIndex(manager, name); });
  if (typeIcon != 0) return typeIcon;
  return ZeroOnError([&] {
    const HICON icon = LoadProgramIcon(program, kDefaultFileIconResource);
    return icon ? manager.GetIconIndex(icon) : 0;
  });
}
