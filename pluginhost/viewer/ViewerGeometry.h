// The height of a viewer window in a skin: the frame's top and bottom
// parts, a middle part that grows with the content, the bar and the
// skin's margins. Pure arithmetic, any thread.
#pragma once

#include <windows.h>

struct ViewerFrame {
  INT topHeight = 0;
  INT middleHeight = 0;  // one tile of the middle part
  INT bottomHeight = 0;
  INT margins = 0;       // top plus bottom margin
  bool wholeTiles = false;  // the middle part is tiled and never cut
};

// The outer height for `content` rows above a bar of `bar` rows. With
// whole tiles the middle grows to the next multiple of the tile; a frame
// without a middle tile, or with no middle to fill, is left as it is.
INT ViewerWindowHeight(const ViewerFrame& frame, INT content, INT bar);
