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

// One line per node below `folder`, depth first, parents before children.
void PrintTree(const FileNode& folder, const std::string& isoPath, const std::string& jolietPath) {
  for (size_t i = 0; i < folder.GetCount(); ++i) {
    const Node* node = folder.GetChild(i);
    if (node->GetType() != kTypeFileNode) continue;
    const auto& child = static_cast<const FileNode&>(*node);
    const std::string iso = isoPath.empty() ? child.GetIsoName() : isoPath + "\\" + child.GetIsoName();
    const std::string joliet = jolietPath.empty() ? child.GetNames().GetJolietText()
                                                  : jolietPath + "\\" + child.GetNames().GetJolietText();
    std::printf("%c\t%u\t%s\t%s\n", child.IsFolder() ? 'd' : 'f', child.IsFolder() ? 0u : child.GetSize(),
                iso.c_str(), joliet.c_str());
    if (child.IsFolder()) PrintTree(child, iso, joliet);
  }
}

}  // namespace

TOOL_COMMAND(RunTree, "tree",
             "[--mode M] [--order N] FOLDER  FOLDER as the root of a CD file tree on a track of name mode M "
             "(1-5, default 5): scanned from disk, renamed by the mode (equal ISO names numbered) and sorted in "
             "order N (1 names, 2 time, 4 size, 8 extension, 16 bytes; default 1) throughout. One line per node "
             "below the root, depth first: `d` or `f`, the size (0 for folders), the ISO path and the Joliet "
             "path, tab-separated, paths joined with \\; the tree's own complaints also go to stdout") {
  uint64_t mode = 5, order = 1;
  std::string folder;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--mode" && i + 1 < args.size()) {
      if (!tool::ParseUnsigned(args[++i], mode, 5) || mode == 0) return tool::Fail("--mode takes 1 to 5");
    } else if (args[i] == "--order" && i + 1 < args.size()) {
      if (!tool::ParseUnsigned(args[++i], order, 0xFFFF)) return tool::Fail("--order takes a 16-bit number");
    } else if (folder.empty() && !args[i].empty() && args[i].rfind("--", 0) != 0) {
      folder = args[i];
    } else {
      return tool::Fail("tree takes [--mode M] [--order N] FOLDER");
    }
  }
  bool isFolder = false;
  if (folder.empty() || !GetFileInfo(folder.c_str(), &isFolder, nullptr, nullptr, nullptr, nullptr) || !isFolder)
    return tool::Fail("tree takes an existing FOLDER");
  IsoTrack track;
  track.SetNameMode(static_cast<int>(mode));
  auto made = std::make_unique<FileNode>(folder);
  FileNode* root = made.get();
  std::unique_ptr<Node> node = std::move(made);
  track.AddChild(node);
  uint16_t counter = 0;
  root->ScanFromDisk(counter, false, nullptr);
  track.RemapNames(root);
  root->SetSortOrderAll(static_cast<uint16_t>(order));
  PrintTree(*root, "", "");
  return 0;
}
