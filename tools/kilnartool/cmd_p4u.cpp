#include <cstdio>
#include <memory>
#include <string>

#include "driver/Command.h"
#include "kilnar/app/playlists/NativePlaylist.h"
#include "kilnar/app/playlists/PlaylistCodes.h"

namespace {

int ReadNative(const std::string& path) {
  NativePlaylist playlist;
  const int code = playlist.Load(path);
  std::printf("result %d\n", code);
  std::printf("base %s\n", playlist.GetBase() ? playlist.GetBase()->c_str() : "");
  for (int32_t i = 0; i < playlist.GetCount(); ++i) {
    const NativePlaylistEntry& entry = playlist.GetEntry(i);
    if (entry.kind == NativePlaylistEntry::kKindFile)
      std::printf("file %d %u %s\n", entry.volume, entry.folderFlags, entry.GetUrl().c_str());
    else
      std::printf("folder %u %s\n", entry.folderFlags, entry.GetUrl().c_str());
  }
  return code == kPlaylistOk ? 0 : tool::Fail(path + ": read ends with code " + std::to_string(code));
}

int WriteNative(const std::string& out, const std::string& base, const tool::Args& urls) {
  NativePlaylist playlist;
  for (const std::string& url : urls) {
    auto entry = std::make_unique<NativePlaylistEntry>();
    entry->SetUrl(url);
    playlist.Insert(std::move(entry), -1);
  }
  const int code = playlist.Save(out, base);
  std::printf("result %d\n", code);
  return code == kPlaylistOk ? 0 : tool::Fail(out + ": write ends with code " + std::to_string(code));
}

}  // namespace

TOOL_COMMAND(RunP4u, "p4u",
             "read FILE | write OUT BASE URL...  the burner's own native playlist reader and writer. read: "
             "`result CODE` (0 read whole, 1 no memory, 10 not opened, 11 ends early, 12 seek failed, 20 not a "
             "native playlist, 21 too new, 22 malformed), `base TEXT` (empty for none), then one line per entry "
             "kept, `file VOLUME FLAGS URL` or `folder FLAGS URL`, re-based for FILE's folder; exit code 0 only for "
             "result 0. write: OUT as the first version of the format, with base text BASE (OUT when empty) and "
             "one file entry of volume 100 per URL; prints `result CODE` (13 short write, 30 no URL)") {
  if (args.size() == 2 && args[0] == "read") return ReadNative(args[1]);
  if (args.size() >= 3 && args[0] == "write") return WriteNative(args[1], args[2], tool::Args(args.begin() + 3, args.end()));
  return tool::Fail("usage: p4u read FILE | p4u write OUT BASE URL...");
}
