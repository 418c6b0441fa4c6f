// kilnartool image: a folder from disk written as an ISO 9660 image file
// by the CD track's image writer.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "driver/Command.h"
#include "driver/Numbers.h"
#include "kilnar/app/FileNode.h"
#include "kilnar/app/IsoTrack.h"
#include "kilnar/recorder/FileInfo.h"

namespace {

constexpr const char* kUsage = "image takes [--mode M] [--start S] [--label TEXT] OUT FOLDER";

}  // namespace

TOOL_COMMAND(RunImage, "image",
             "[--mode M] [--start S] [--label TEXT] OUT FOLDER  write the ISO 9660 image of FOLDER (its contents "
             "become the image's root) into the file OUT, for start sector S (default 0), with the ISO names of "
             "name mode M (1-5, default 5; 5 adds a Joliet tree) and the volume label TEXT (default NONAME); "
             "prints `calc N`, the sectors worked out before writing, and `image N`, the volume space size "
             "written; on failure the reason goes to stderr, the exit code is 1 and OUT does not exist; the "
             "tree's own complaints go to stdout") {
  uint64_t mode = 5, start = 0;
  std::string label, out, folder;
  bool labelGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--mode" && i + 1 < args.size()) {
      if (!tool::ParseUnsigned(args[++i], mode, 5) || mode == 0) return tool::Fail("--mode takes 1 to 5");
    } else if (args[i] == "--start" && i + 1 < args.size()) {
      if (!tool::ParseUnsigned(args[++i], start, 0x7FFFFFFF)) return tool::Fail("--start takes a sector number");
    } else if (args[i] == "--label" && i + 1 < args.size()) {
      label = args[++i];
      labelGiven = true;
    } else if (!args[i].empty() && args[i].rfind("--", 0) != 0 && out.empty()) {
      out = args[i];
    } else if (!args[i].empty() && args[i].rfind("--", 0) != 0 && folder.empty()) {
      folder = args[i];
    } else {
      return tool::Fail(kUsage);
    }
  }
  bool isFolder = false;
  if (out.empty() || folder.empty()) return tool::Fail(kUsage);
  if (!GetFileInfo(folder.c_str(), &isFolder, nullptr, nullptr, nullptr, nullptr) || !isFolder)
    return tool::Fail("image takes an existing FOLDER");
  IsoTrack track;
  track.SetNameMode(static_cast<int>(mode));
  auto made = std::make_unique<FileNode>(folder);
  FileNode* root = made.get();
  std::unique_ptr<Node> node = std::move(made);
  track.AddChild(node);
  uint16_t counter = 0;
  root->ScanFromDisk(counter, false, nullptr);
  track.RemapNames(root);
  if (labelGiven) track.SetVolumeLabel(label.c_str());
  std::printf("calc %u\n", track.CalcImageSize());
  std::fflush(stdout);
  const auto failure = track.CreateImageFile(out.c_str(), static_cast<uint32_t>(start), nullptr);
  if (failure) {
    std::fprintf(stderr, "%s\n", failure->c_str());
    return 1;
  }
  std::printf("image %u\n", track.GetVolumeSpaceSize());
  return 0;
}
