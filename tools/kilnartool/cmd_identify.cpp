#include <cstdio>
#include <string>

#include "DriveSearch.h"
#include "QuotedText.h"
#include "driver/Command.h"
#include "driver/Numbers.h"

namespace {

bool ParsePlace(const std::string& text, uint16_t& adapter, uint16_t& target) {
  const auto colon = text.find(':');
  uint64_t a = 0, t = 0;
  if (colon == std::string::npos || !tool::ParseUnsigned(text.substr(0, colon), a, 255) ||
      !tool::ParseUnsigned(text.substr(colon + 1), t, 255))
    return false;
  adapter = static_cast<uint16_t>(a);
  target = static_cast<uint16_t>(t);
  return true;
}

}  // namespace

TOOL_COMMAND(RunIdentify, "identify",
             "[--drive H:T]  identify a drive (default: the first CD drive): prints `name \"MODEL\"`, `type N`, "
             "`class CLASS` (the factory's choice), then `created CLASS` or `created none` (the reason on stderr)") {
  uint16_t adapter = 0, target = 0;
  bool placeGiven = false;
  if (args.size() == 2 && args[0] == "--drive") {
    if (!ParsePlace(args[1], adapter, target)) return tool::Fail("--drive takes H:T");
    placeGiven = true;
  } else if (!args.empty()) {
    return tool::Fail("identify takes [--drive H:T]");
  }
  ScsiMan manager;
  if (!manager.FindHostAdapters()) return tool::Fail(kilnartool::OneLine(manager.GetErrorText()));
  if (!placeGiven) {
    const auto drives = kilnartool::FindCdDrives(manager);
    if (drives.empty()) return tool::Fail("no CD drive found");
    adapter = drives.front().hostAdapter;
    target = drives.front().target;
  }
  ScsiDrive drive(&manager);
  if (!drive.Open(adapter, target)) return tool::Fail(kilnartool::OneLine(drive.GetErrorText()));
  std::printf("name %s\ntype %u\n", kilnartool::Quoted(drive.GetModelName()).c_str(), drive.GetType());
  const char* className = manager.ChooseClass(drive.GetType(), adapter, target);
  std::printf("class %s\n", className ? className : "none");
  std::fflush(stdout);
  auto device = manager.CreateDevice(adapter, target);
  if (!device) {
    std::fprintf(stderr, "kilnartool: %s\n", kilnartool::OneLine(manager.GetErrorText()).c_str());
    std::printf("created none\n");
    return 0;
  }
  std::printf("created %s\n", device->GetClassName());
  return 0;
}
