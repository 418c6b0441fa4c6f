#include "plugins/pictolan/ImageFileFilter.h"

#include <new>

#include "plugins/pictolan/ImageExtensions.h"
#include "plugins/pictolan/ImageMain.h"

namespace pictolan {

ImageFileFilter::ImageFileFilter(bool& constructed)
    : FileFilterObject(constructed, "Velbrook Pictolan Add-On", "",
                       "Checks if a given file path represents an image file that can be played with Pictolan.") {}

bool ImageFileFilter::Init(PLUGIN_HANDLE caller) {
  if (!FileFilterObject::Init(caller)) return false;
  SetIconIndex(TheImageMain().GetIconIndex());
  return true;
}

bool ImageFileFilter::CreatePatterns() {
  bool constructed = false;
  auto* pattern = new (std::nothrow) pluginsdk::ExtensionFilterPattern(
      constructed, "Image files (*.bmp,*.gif,*.jpg,*.jpeg,*.png,*.tiff,*.tif)",
      static_cast<int>(kImageExtensions.size()), kImageExtensions.data());
  return AddPattern(pattern, pattern && constructed);
}

}  // namespace pictolan
