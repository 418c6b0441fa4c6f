// The three object tables, the extension table's uses (file types, can
// play, identify, filter) and the objects' set-up.
#include "Objects.h"

#include <windows.h>

#include <cctype>
#include <cstring>

#include "ExtensionTable.h"
#include "HostAccess.h"
#include "Module.h"
#include "Player.h"

namespace screevo {
namespace {

constexpr const char* kName = "Screevo (DirectShow multimedia files)";
constexpr DWORD kIconResource = 101;
constexpr DWORD kPriority = 192;

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix) {
    if (std::tolower(static_cast<unsigned char>(*text)) != *prefix) return false;
  }
  return true;
}

bool IsStreamingUrl(const char* text) { return StartsWithIgnoringCase(text, "mms://"); }

// Also the objects' version: all three share it.
void GetObjectVersion(PlugInVersionInfo* info) { GetVersion(info); }
char* GetName() { return g_Host->HOST_AllocString(kName); }

// --- Player

char* GetPlayerDescription() { return g_Host->HOST_AllocString("Plays media files using Microsoft DirectShow"); }

DWORD FileKind(const std::optional<std::string>& mimeType) {
  if (!mimeType) return 0;
  if (StartsWithIgnoringCase(mimeType->c_str(), "video/")) return 3;
  if (StartsWithIgnoringCase(mimeType->c_str(), "audio/")) return 1;
  return 0;
}

BOOL RegisterFileTypes(HOST_FILEEXTENSIONLIST list) {
  for (size_t i = 0; i < ExtensionCount(); ++i) {
    const ExtensionEntry* entry = ExtensionAt(i);
    g_Host->HOST_AddFileExtension(list, entry->extension.c_str(),
                                  entry->description ? entry->description->c_str() : nullptr,
                                  FileKind(entry->mimeType), const_cast<PlayerInterface*>(&kPlayerTable));
  }
  return TRUE;
}

BOOL CanPlay(const char* url, CanPlayAnswer* answer) {
  if (!answer) return TRUE;
  answer->reserved = 0;
  answer->supportLevel = 0;
  answer->costLevel = 0;
  answer->exclusiveAccess = 0;
  if (g_Host->HOST_GetPlayerVersion() >= 0x10001) {
    answer->legacyGroup = 1;
    answer->legacyLevel = 0;
    answer->priority = kPriority;
  }
  answer->verdict = 0;
  if (!url) return TRUE;
  const bool fetchable = StartsWithIgnoringCase(url, "file://") || StartsWithIgnoringCase(url, "http://") ||
                         StartsWithIgnoringCase(url, "ftp://");
  if ((fetchable && HasTableExtension(url)) || IsStreamingUrl(url)) answer->verdict = 1;
  return TRUE;
}

// --- Identifier

char* GetIdentifierDescription() {
  return g_Host->HOST_AllocString("Identifies Microsoft DirectShow file formats");
}

BOOL InitIdentifier() {
  HICON icon = LoadIconA(reinterpret_cast<HINSTANCE>(g_Module), MAKEINTRESOURCEA(kIconResource));
  g_IdentifierIcon = g_Host->HOST_AddIcon(icon);
  return LoadExtensionTable();
}

void ExitTableUser() { ReleaseExtensionTable(); }

BOOL Identify(const char* path) {
  if (path && (HasTableExtension(path) || IsStreamingUrl(path)))
    g_Host->HOST_SetFileInfo(path, "", 64, g_IdentifierIcon, 64, -1, 0,
                             const_cast<FileIdentifierInterface*>(&kIdentifierTable));
  return TRUE;
}

// --- Filter

char* GetFilterDescription() {
  return g_Host->HOST_AllocString("Detects if a given file can be played by Mircrosoft DirectShow.");
}

BOOL InitTableUser() { return LoadExtensionTable(); }

BOOL BuildFilter(HOST_FILEFILTERLIST list) {
  std::string text;
  try {
    text = FilterText();
  } catch (const std::bad_alloc&) {
    g_Host->HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
    return FALSE;
  }
  return g_Host->HOST_AddFileFilterPattern(list, text.c_str(), 0, const_cast<FileFilterInterface*>(&kFilterTable));
}

BOOL TestNames(int32_t, const FILEFILTER_DESCRIPTION*, int32_t nameCount, const char* const* names, DWORD* results) {
  if (!names || !results) return TRUE;
  for (int32_t i = 0; i < nameCount; ++i) {
    if (names[i] && (HasTableExtension(names[i]) || IsStreamingUrl(names[i]))) results[i] = 1;
  }
  return TRUE;
}

}  // namespace

std::string FilterText() {
  std::string text = "DirectShow media files (";
  for (size_t i = 0; i < ExtensionCount(); ++i) {
    if (i > 0) text += ", ";
    text += "*" + ExtensionAt(i)->extension;
  }
  return text + ")";
}

const PlayerInterface kPlayerTable = {
    {&GetObjectVersion, &GetName, &InitPlayer, &ExitPlayer, &GetPlayerDescription, nullptr, nullptr, nullptr,
     nullptr, nullptr},
    &RegisterFileTypes,
    nullptr,
    &CanPlay,
    &PlayerPlay,
    &PlayerStop,
    &PlayerPause,
    &PlayerResume,
    &PlayerSeek,
    &PlayerSetVolume,
    &PlayerSlot19,
    &PlayerRestoreSurfaces,
    &PlayerCommand,
};

const FileIdentifierInterface kIdentifierTable = {
    {&GetObjectVersion, &GetName, &InitIdentifier, &ExitTableUser, &GetIdentifierDescription, nullptr, nullptr,
     nullptr, nullptr, nullptr},
    &Identify,
};

const FileFilterInterface kFilterTable = {
    {&GetObjectVersion, &GetName, &InitTableUser, &ExitTableUser, &GetFilterDescription, nullptr, nullptr, nullptr,
     nullptr, nullptr},
    &BuildFilter,
    &TestNames,
};

}  // namespace screevo
