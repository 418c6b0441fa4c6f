#include "pluginhost/viewer/ViewerGeometry.h"

INT ViewerWindowHeight(const ViewerFrame& frame, INT content, INT bar) {
  const INT outer = frame.topHeight + frame.bottomHeight - frame.margins;
  INT middle = content + bar - outer;
  const INT tile = frame.middleHeight;
  if (frame.wholeTiles && tile > 0 && middle > 0 && middle % tile != 0) middle += tile - middle % tile;
  return middle + outer + frame.margins;
}
