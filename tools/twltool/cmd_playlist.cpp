#include <strings.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "driver/Command.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/StreamError.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/plugins/PlugInLoader.h"

namespace {

// "stream error N: text" for stream errors, "caption: text" otherwise.
std::string Describe(CError* error) {
  std::unique_ptr<CError, void (*)(CError*)> owned(error, &DisposeError);
  if (auto* stream = dynamic_cast<CStreamError*>(error))
    return "stream error " + std::to_string(stream->GetCode()) + ": " + error->GetText().c_str();
  return std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
}

unsigned ReadDword(const unsigned char* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<unsigned>(bytes[3]) << 24;
}

bool EndsWithNoCase(const std::string& text, const char* end) {
  const size_t length = std::strlen(end);
  return text.size() >= length && strcasecmp(text.c_str() + text.size() - length, end) == 0;
}

// "text M3U|PLS COUNT", then "file VOLUME URL" per entry, each followed by
// "title TEXT" when its record holds a title.
int ReadText(const std::string& path, bool pls) {
  CPlayList list;
  try {
    if (pls)
      list.LoadPLS(path.c_str(), GetFileInfoDataBase(), GetFolderInfoDataBase());
    else
      list.LoadM3U(path.c_str(), GetFileInfoDataBase(), GetFolderInfoDataBase());
  } catch (CError* error) {
    return tool::Fail(path + ": " + Describe(error));
  }
  std::printf("text %s %d\n", pls ? "PLS" : "M3U", list.GetCount());
  for (INT i = 0; i < list.GetCount(); ++i) {
    const auto* entry = static_cast<const CPlayListFileEntry*>(list.GetEntry(i));
    std::printf("file %d %s\n", entry->GetVolume(), entry->GetURL());
    CriticalSectionLock lock(GetFileInfoDataBase().GetLock());
    const FileInfoRecord* record = GetFileInfoDataBase().Find(entry->GetURL());
    if (record && record->typeText) std::printf("title %s\n", record->typeText->c_str());
  }
  return 0;
}

int Read(const std::string& path) {
  if (EndsWithNoCase(path, ".m3u") || EndsWithNoCase(path, ".pls")) return ReadText(path, EndsWithNoCase(path, ".pls"));
  CPlayList list;
  try {
    list.Load(path.c_str(), GetFileInfoDataBase(), GetFolderInfoDataBase());
  } catch (CError* error) {
    return tool::Fail(path + ": " + Describe(error));
  }
  // The versions and flags as they stand in the file: the loaded playlist
  // keeps only what the player uses of them.
  unsigned char header[36] = {};
  std::ifstream file(path, std::ios::binary);
  if (!file.read(reinterpret_cast<char*>(header), sizeof header)) return tool::Fail("cannot read " + path);
  std::printf("header %x %x %u %u %s\n", ReadDword(header + 16), ReadDword(header + 20), ReadDword(header + 28),
              ReadDword(header + 32), list.GetStoredURL().c_str());
  for (INT i = 0; i < list.GetCount(); ++i) {
    const CPlayListEntry* entry = list.GetEntry(i);
    if (entry->IsFolder()) {
      const auto* folder = static_cast<const CPlayListFolderEntry*>(entry);
      const unsigned flags = folder->IsExpandPending() ? 1u | (folder->IsExpandRecursive() ? 2u : 0u) : 0u;
      std::printf("folder %u %s\n", flags, entry->GetURL());
    } else {
      std::printf("file %d %s\n", static_cast<const CPlayListFileEntry*>(entry)->GetVolume(), entry->GetURL());
    }
  }
  return 0;
}

int Write(const std::string& out, const std::vector<std::string>& texts) {
  CPlugInLoader loader;  // no players: nothing is played
  CPlayerSystem& system = GetPlayerSystem();
  system.SetLastPlayListFolder("");  // the tool keeps no last playlist
  system.Init(&loader.GetManager());
  std::vector<const char*> pointers;
  for (const auto& text : texts) pointers.push_back(text.c_str());
  system.AddUrls(nullptr, -1, pointers.data(), static_cast<INT>(pointers.size()));
  system.UpdatePlayListFlags();
  int status = 0;
  try {
    system.GetPlayList().Save(out.c_str(), GetFileInfoDataBase());
  } catch (CError* error) {
    status = tool::Fail(out + ": " + Describe(error));
  }
  system.Exit();
  return status;
}

}  // namespace

TOOL_COMMAND(RunPlayList, "playlist",
             "read FILE | write OUT TEXT...  read: load the native playlist FILE and print \"header WRITER MIN "
             "FLAGS COUNT LOCATION\" (versions in hex, as stored) and one line per entry, \"file VOLUME URL\" or "
             "\"folder FLAGS URL\" (1 expand pending, 3 also recursively), URLs as re-based for FILE's folder; "
             "an M3U or PLS FILE (by its extension, any case) prints \"text M3U|PLS COUNT\", then \"file 100 URL\" "
             "per entry, each followed by \"title TEXT\" when the file's record holds a title; "
             "errors go to stderr with exit code 1. write: save OUT as a native playlist of the entries the player "
             "makes of the TEXTs when they are dropped on it (paths, URLs, \"folder/\", \"name<\")") {
  if (args.size() == 2 && args[0] == "read") return Read(args[1]);
  if (args.size() >= 2 && args[0] == "write") return Write(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
  return tool::Fail("usage: playlist read FILE | playlist write OUT TEXT...");
}
