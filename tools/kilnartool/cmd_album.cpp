#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "driver/Command.h"
#include "kilnar/app/playlists/CdContent.h"
#include "kilnar/app/playlists/PlaylistPaths.h"
#include "twlwin/testing.h"

namespace {

// The key under which the player lists installers that go onto the CD.
constexpr char kAdditionalInstallersKey[] = "Software\\VELBROOK\\Velbrook Tunewell\\Additional Installers";

struct AlbumOptions {
  std::string name;
  std::string copyTo;
  std::string cdrom;
  std::string playlist;
  bool named = false;
};

bool ParseAlbumOptions(const tool::Args& args, bool withCopy, AlbumOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--name" && i + 1 < args.size()) {
      options.name = args[++i];
      options.named = true;
    } else if (withCopy && args[i] == "--copy-to" && i + 1 < args.size()) {
      options.copyTo = args[++i];
    } else if (!withCopy && args[i] == "--cdrom" && i + 1 < args.size()) {
      options.cdrom = args[++i];
    } else if (options.playlist.empty() && !args[i].empty()) {
      options.playlist = args[i];
    } else {
      return false;
    }
  }
  return !options.playlist.empty();
}

// The album of the content as the dialog makes it: the copy goes into the
// content's private folder.
CdPlaylist* AddAlbum(CdContent& content, const AlbumOptions& options) {
  content.SetConversionFolder("C:");
  CdPlaylist* album = content.AddPlaylist(options.playlist);
  if (album && options.named) album->SetName(options.name);
  return album;
}

void PrintAlbum(const CdPlaylist& album, const char* className) {
  std::printf("class %s\n", className);
  std::printf("name %s\n", album.GetName().c_str());
  std::printf("tracks %d\n", album.GetAllCount());
  std::printf("files %d\n", album.GetUniqueCount());
  std::printf("size %llu\n", static_cast<unsigned long long>(album.GetTotalSize()));
  for (int32_t i = 0; i < album.GetAllCount(); ++i) std::printf("track %s\n", album.GetAllEntry(static_cast<size_t>(i)).c_str());
  for (int32_t i = 0; i < album.GetUniqueCount(); ++i)
    std::printf("file %s\t%s\n", album.GetUniqueEntry(static_cast<size_t>(i)).c_str(),
                album.GetCdName(static_cast<size_t>(i)).c_str());
}

}  // namespace

TOOL_COMMAND(RunAlbum, "album",
             "[--name NAME] [--copy-to FILE] PLAYLIST  the album the burner makes of a playlist (M3U, PLS, ASX, "
             "MCD, native P4U/WPL/APL by the last three characters): `class C` (none when no kind fits), `name "
             "NAME`, `tracks N` (entries whose files exist), `files N` (each file once), `size BYTES` (of those "
             "files), then `track PATH` per entry and `file PATH<TAB>CDNAME` per file with its name on the CD. "
             "With --copy-to the CD copy of the playlist is written, copied to FILE and named in `copy NAME`; the "
             "album is then destroyed and `removed 1` says its copy is gone") {
  AlbumOptions options;
  if (!ParseAlbumOptions(args, true, options)) return tool::Fail("usage: album [--name NAME] [--copy-to FILE] PLAYLIST");
  auto content = std::make_unique<CdContent>();
  CdPlaylist* album = AddAlbum(*content, options);
  if (!album) {
    CdPlaylist none(options.playlist);
    if (options.named) none.SetName(options.name);
    PrintAlbum(none, "none");
    return options.copyTo.empty() ? 0 : tool::Fail("a playlist of no kind has no copy");
  }
  album->ComputeTotalSize();
  PrintAlbum(*album, album->GetClassName());
  if (options.copyTo.empty()) return 0;
  if (!album->Save()) return tool::Fail("the copy could not be written");
  const std::string written = album->GetOutputPath();
  if (!CopyFileA(written.c_str(), options.copyTo.c_str(), FALSE)) return tool::Fail("cannot copy to " + options.copyTo);
  std::printf("copy %s\n", FileNameOf(written).c_str());
  content.reset();
  std::printf("removed %d\n", GetFileAttributesA(written.c_str()) == INVALID_FILE_ATTRIBUTES ? 1 : 0);
  return 0;
}

TOOL_COMMAND(RunContent, "content",
             "[--name NAME] [--cdrom FOLDER] PLAYLIST  the checks the burner runs on the album before a burn: "
             "`cdrom 0|1` (a track lies on a CD-ROM; --cdrom makes FOLDER answer as one), `long 0|1` (a name is "
             "too long for the CD), `long-name TEXT` per name or path too long, then `installer PATH` per "
             "additional installer the player lists in the registry") {
  AlbumOptions options;
  if (!ParseAlbumOptions(args, false, options)) return tool::Fail("usage: content [--name NAME] [--cdrom FOLDER] PLAYLIST");
  if (!options.cdrom.empty()) TwlTestSetDriveType(options.cdrom.c_str(), DRIVE_CDROM);
  CdContent content;
  content.ReadAdditionalInstallers(kAdditionalInstallersKey);
  AddAlbum(content, options);
  std::string longNames;
  const bool tooLong = content.FindLongNames(longNames);
  std::printf("cdrom %d\n", content.FindTracksOnCdrom() ? 1 : 0);
  std::printf("long %d\n", tooLong ? 1 : 0);
  size_t start = 0;
  while (start < longNames.size()) {
    const size_t end = longNames.find('\n', start);
    std::printf("long-name %s\n", longNames.substr(start, end - start).c_str());
    start = end + 1;
  }
  for (int i = 0; i < content.GetInstallerCount(); ++i) std::printf("installer %s\n", content.GetInstaller(i).c_str());
  return 0;
}
