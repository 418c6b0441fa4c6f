#include "ExtensionKeys.h"

#include <cstring>
#include <string>

#include "MediaFramework.h"
#include "twlwin/errors.h"
#include "twlwin/registry.h"

namespace twl::dshow {
namespace {

constexpr const char* kExtensionsKey = "Software\\Microsoft\\Multimedia\\DirectXMedia\\Extensions";

// A format and the elements it needs; each need may name alternatives
// ("mpg123audiodec|avdec_mp3"), of which one is enough.
struct MediaFormat {
  const char* extension;
  const char* mimeType;
  const char* description;
  const char* needs[2];
};

constexpr MediaFormat kFormats[] = {
    {".wav", "audio/wav", "WAV sound", {"wavparse", nullptr}},
    {".ogg", "audio/ogg", "Ogg Vorbis sound", {"oggdemux", "vorbisdec"}},
    {".oga", "audio/ogg", "Ogg sound", {"oggdemux", "vorbisdec|opusdec|flacdec"}},
    {".opus", "audio/opus", "Opus sound", {"oggdemux", "opusdec"}},
    {".flac", "audio/flac", "FLAC sound", {"flacparse", "flacdec"}},
    {".mp3", "audio/mpeg", "MPEG layer 3 sound", {"mpegaudioparse", "mpg123audiodec|avdec_mp3"}},
    {".aif", "audio/x-aiff", "AIFF sound", {"aiffparse", nullptr}},
    {".aiff", "audio/aiff", "AIFF sound", {"aiffparse", nullptr}},
    {".aifc", "audio/aiff", "AIFF-C sound", {"aiffparse", nullptr}},
    {".au", "audio/basic", "AU sound", {"auparse", nullptr}},
    {".snd", "audio/basic", "AU sound", {"auparse", nullptr}},
    {".mka", "audio/x-matroska", "Matroska sound", {"matroskademux", "vorbisdec|opusdec|flacdec"}},
};

bool HasAnyOf(const char* alternatives) {
  std::string rest = alternatives;
  for (size_t start = 0;;) {
    const size_t bar = rest.find('|', start);
    if (HasElement(rest.substr(start, bar - start).c_str())) return true;
    if (bar == std::string::npos) return false;
    start = bar + 1;
  }
}

bool IsInstalled(const MediaFormat& format) {
  for (const char* need : format.needs) {
    if (need && !HasAnyOf(need)) return false;
  }
  return true;
}

void SetText(HKEY key, const char* name, const char* text) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(std::strlen(text) + 1));
}

}  // namespace

void WriteExtensionKeys() {
  HKEY extensions = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kExtensionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &extensions,
                      nullptr) != ERROR_SUCCESS)
    return;  // without a registry the player finds no types; nothing else breaks
  for (const MediaFormat& format : kFormats) {
    if (!IsInstalled(format)) {
      RegDeleteKeyA(extensions, format.extension);
      continue;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(extensions, format.extension, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      continue;
    SetText(key, "Extension.MIME", format.mimeType);
    SetText(key, "MediaType.Description", format.description);
    RegCloseKey(key);
  }
  RegCloseKey(extensions);
}

}  // namespace twl::dshow
