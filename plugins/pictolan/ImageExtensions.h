// The extensions of the picture files Pictolan reads, without their dot.
#pragma once

#include <array>

namespace pictolan {

inline constexpr std::array<const char*, 7> kImageExtensions = {"bmp", "jpg", "jpeg", "gif", "png", "tiff", "tif"};

}  // namespace pictolan
