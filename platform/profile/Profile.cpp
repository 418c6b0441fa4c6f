// The profile calls: what to look up or change, and how answers fit the
// caller's buffer.
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "ProfileFile.h"
#include "platform/text/Utf8Prefix.h"
#include "twlwin/errors.h"
#include "twlwin/profile.h"

namespace twl::profile {
namespace {

DWORD CopyText(const std::string& text, LPSTR buffer, DWORD size) {
  if (text.size() < size) {
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
  }
  size_t length = Utf8PrefixLength(reinterpret_cast<const unsigned char*>(text.data()), text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  std::memset(buffer + length, 0, size - length);
  return size - 1;
}

DWORD CopyNames(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  std::string list;
  for (const auto& name : names) list.append(name).push_back('\0');
  if (list.size() < size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

std::string WithoutTrailingBlanks(const char* text) {
  std::string value = text ? text : "";
  value.erase(value.find_last_not_of(" \t") + 1);
  return value;
}

bool HoldsLineBreak(const char* text) { return text && std::strpbrk(text, "\r\n") != nullptr; }

DWORD GetString(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size, LPCSTR fileName) {
  if (size == 0) return 0;
  if (!buffer || !fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string bytes;
  DWORD readError = ReadProfile(ProfilePath(fileName), bytes);
  ProfileText text(bytes);
  if (!section) return CopyNames(text.SectionNames(), buffer, size);
  if (!key) {
    auto keys = text.KeyNames(section);
    if (!keys) SetLastError(readError ? readError : ERROR_FILE_NOT_FOUND);
    return CopyNames(keys.value_or(std::vector<std::string>{}), buffer, size);
  }
  auto value = text.Value(section, key);
  if (!value) {
    SetLastError(readError ? readError : ERROR_FILE_NOT_FOUND);
    return CopyText(WithoutTrailingBlanks(defaultValue), buffer, size);
  }
  return CopyText(*value, buffer, size);
}

// Too many digits saturate instead of wrapping around.
UINT ParseNumber(const std::string& text) {
  size_t at = text.find_first_not_of(" \t");
  if (at == std::string::npos) return 0;
  bool negative = text[at] == '-';
  if (text[at] == '-' || text[at] == '+') ++at;
  long long value = 0;
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : static_cast<long long>(UINT_MAX);
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = std::min(value * 10 + (text[at] - '0'), limit);
  }
  return static_cast<UINT>(negative ? -value : value);
}

BOOL WriteString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (!fileName || (!section && (key || value))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!section) return TRUE;  // a request to flush a cache this layer does not keep
  if (HoldsLineBreak(section) || HoldsLineBreak(key) || HoldsLineBreak(value) || std::strchr(section, ']') ||
      (key && std::strchr(key, '='))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string path = ProfilePath(fileName);
  DWORD result = EditProfile(path, key && value, [&](ProfileText& text) {
    if (!key) return text.DeleteSection(section);
    if (!value) return text.DeleteKey(section, key);
    text.Set(section, key, value);
    return true;
  });
  if (result == ERROR_SUCCESS) return TRUE;
  SetLastError(result);
  return FALSE;
}

template <class Call>
auto Guarded(Call call, decltype(call()) failure) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return failure;
  }
}

}  // namespace
}  // namespace twl::profile

using namespace twl::profile;

TWLAPI DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                                      LPCSTR fileName) {
  return Guarded([&] { return GetString(section, key, defaultValue, buffer, size, fileName); }, DWORD{0});
}

TWLAPI UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  if (!section || !key || !fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return static_cast<UINT>(defaultValue);
  }
  return Guarded(
      [&] {
        std::string bytes;
        ReadProfile(ProfilePath(fileName), bytes);
        auto value = ProfileText(bytes).Value(section, key);
        return value ? ParseNumber(*value) : static_cast<UINT>(defaultValue);
      },
      static_cast<UINT>(defaultValue));
}

TWLAPI DWORD GetPrivateProfileSectionNamesA(LPSTR buffer, DWORD size, LPCSTR fileName) {
  return GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer, size, fileName);
}

TWLAPI BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  return Guarded([&] { return WriteString(section, key, value, fileName); }, BOOL{FALSE});
}
