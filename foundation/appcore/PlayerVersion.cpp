#include "foundation/appcore/PlayerVersion.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

namespace {

constexpr WORD kVersionResource = 134;

// Optional white space, an optional sign, then digits up to the first
// other character; 0 without digits.
INT IntegerAtStart(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
  }
  return static_cast<INT>(negative ? -value : value);
}

PlayerVersion ReadProgramVersion() {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(kVersionResource), "RAWDATA");
  const char* bytes = nullptr;
  DWORD size = 0;
  if (resource) {
    size = SizeofResource(nullptr, resource);
    HGLOBAL loaded = LoadResource(nullptr, resource);
    bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  }
  PlayerVersion version = ParsePlayerVersion(bytes, bytes ? size : 0);
  if (version.major < 0 || version.minor < 0 || version.build < 0) {
    ThrowError<CError>(
        LocalText("CSystem.ExtractVersionFailed.Caption", "Fatal resource error"),
        LocalText("CSystem.ExtractVersionFailed.Text",
                  "The player was unable to extract it's version number from the executable. The main executable "
                  "may be corrupted.\n\nPlease reinstall the player if the error persists."));
  }
  return version;
}

}  // namespace

PlayerVersion ParsePlayerVersion(const char* text, size_t length) {
  PlayerVersion version;
  const std::string whole = text ? std::string(text, length) : std::string();
  version.text = CStr(whole.c_str(), whole.size());
  if (whole.empty()) return version;
  const size_t dot = whole.find('.');
  version.major = IntegerAtStart(whole.substr(0, dot));
  if (dot == std::string::npos) return version;
  const std::string afterDot = whole.substr(dot + 1);
  const size_t blank = afterDot.find(' ');
  version.minor = IntegerAtStart(afterDot.substr(0, blank));
  version.packed = static_cast<DWORD>(version.minor) + static_cast<DWORD>(version.major) * 65536u;
  // Without "build " after a blank (or without a blank) the build is 1.
  const size_t build = blank == std::string::npos ? std::string::npos : afterDot.find("build ", blank);
  version.build = build == std::string::npos ? 1 : IntegerAtStart(afterDot.substr(build + 6));
  return version;
}

const PlayerVersion& GetRunningPlayerVersion() {
  static std::once_flag once;
  static PlayerVersion version;
  // A failed read throws and leaves the flag unset, so a later call tries
  // again.
  std::call_once(once, [] { version = ReadProgramVersion(); });
  return version;
}
