// Image lists behind HIMAGELIST: icons of one size kept by index. Each list
// has its own lock, so one thread may draw from a list while another adds
// to it.
#pragma once

#include <vector>

#include "platform/gdi/IconObject.h"
#include "twlwin/commctrl.h"

namespace twl::shell {

// A list that ImageList_Destroy refuses, as the shell's system lists are.
HIMAGELIST CreatePermanentImageList(int width, int height, std::vector<IconImage> images);

}  // namespace twl::shell
