#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "driver/Command.h"
#include "foundation/appcore/ProgramIcons.h"
#include "foundation/icons/IconManager.h"
#include "foundation/kernel/Error.h"

namespace {

HICON ProgramIcon(WORD resource) { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource)); }

// Where the image at `index` came from, when the file's type gave it.
std::string SourceOf(CIconManager& manager, const std::string& file, INT index) {
  const CStr location = GetFileTypeIconLocation(file.c_str());
  if (!location.IsEmpty()) {
    CStr iconFile;
    INT number = 0;
    SplitIconLocation(location, iconFile, number);
    const CStr key = CIconManager::MakeKey(iconFile, number);
    if (manager.FindKey(key) == index) return key.c_str();
  }
  if (manager.FindIcon(ProgramIcon(kDefaultFileIconResource)) == index)
    return "resource " + std::to_string(kDefaultFileIconResource);
  return "unknown";
}

struct Image {
  std::string source;
  std::string files;
};

}  // namespace

// One line per image of the host list: index, source and the files whose
// type gave it, separated by tabs.
TOOL_COMMAND(RunIcons, "icons",
                "[FILE...]  start the icon manager, add the icon of each file's type and print the host image list") {
  CIconManager manager;
  try {
    const HINSTANCE program = GetModuleHandleA(nullptr);
    InitIconManager(manager, program);
    std::map<INT, Image> images;
    for (WORD resource : kEssentialIconResources)
      images[manager.FindIcon(ProgramIcon(resource))].source = "resource " + std::to_string(resource);
    for (const std::string& file : args) {
      const INT index = GetFileTypeIconIndex(manager, program, file.c_str());
      Image& image = images[index];
      if (image.source.empty()) image.source = SourceOf(manager, file, index);
      image.files += (image.files.empty() ? "" : " ") + file;
    }
    const int count = ImageList_GetImageCount(manager.GetImageList());
    for (int index = 0; index < count; ++index) {
      const Image& image = images[index];
      std::printf("%d\t%s%s%s\n", index, image.source.empty() ? "unknown" : image.source.c_str(),
                  image.files.empty() ? "" : "\t", image.files.c_str());
    }
    return 0;
  } catch (CError* error) {
    const int code = tool::Fail(error->GetText().c_str());
    DisposeError(error);
    return code;
  }
}
