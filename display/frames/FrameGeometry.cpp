#include "display/frames/FrameGeometry.h"

#include <cstdint>

FrameColumns SplitFrameColumns(INT size, INT leftWidth, INT rightWidth) {
  FrameColumns columns{leftWidth, size - leftWidth - rightWidth, rightWidth};
  if (columns.middle < 0) {
    columns.middle = 0;
    columns.right = size - columns.left;
    if (columns.right < 0) {
      columns.right = 0;
      columns.left = size;
    }
  }
  return columns;
}

INT FrameToUnstretched(INT value, const FrameSpan& span, INT size) {
  if (value < span.first) return value;
  const INT grown = size - span.last - span.first;
  if (value < size - span.last)
    return span.first + static_cast<INT>(static_cast<int64_t>(span.centre) * (value - span.first) / grown);
  return span.first + span.centre + value + span.last - size;
}

INT FrameToStretched(INT value, const FrameSpan& span, INT size) {
  if (value < span.first) return value;
  if (value < span.first + span.centre) {
    const INT grown = size - span.last - span.first;
    return span.first + static_cast<INT>(static_cast<int64_t>(grown) * (value - span.first) / span.centre);
  }
  return value + size - span.last - span.centre - span.first;
}
