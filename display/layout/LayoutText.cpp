// CLayoutBox::ParseWithSizes: children from a layout text, a list of
// entries separated by ','. A parenthesised entry is a spacer's weight pair,
// any other entry the name of a template.
#include <climits>
#include <string>
#include <string_view>

#include "display/layout/LayoutBox.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(std::string_view text, size_t& position) {
  while (position < text.size() && IsBlank(text[position])) ++position;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

bool CLayoutBox::ParseWithSizes(INT startIndex, const char* text, const INT* sizes, size_t sizeCount) {
  if (!text) return true;
  const std::string_view layout(text);
  bool allBuilt = true;
  size_t nextSize = 0;
  size_t position = 0;
  // A negative start appends every entry.
  for (INT index = startIndex;; index = index < 0 || index == INT_MAX ? index : index + 1) {
    SkipBlanks(layout, position);
    if (position == layout.size()) break;

    if (layout[position] != '(') {
      size_t end = layout.find(',', position);
      if (end == std::string_view::npos) end = layout.size();
      const std::string name(TrimTrailingBlanks(layout.substr(position, end - position)));
      if (!AddItem(name.c_str(), index)) allBuilt = false;
      if (end == layout.size()) break;
      position = end + 1;
      continue;
    }

    const size_t close = layout.find(')', position + 1);
    if (close == std::string_view::npos) return false;
    // The pair goes with its group whether the group is good or not, so
    // the groups after it still get theirs.
    const bool hasSizes = sizeCount >= 2 && nextSize <= sizeCount - 2;
    const INT minWidth = hasSizes ? sizes[nextSize] : 0;
    const INT minHeight = hasSizes ? sizes[nextSize + 1] : 0;
    nextSize += 2;
    const std::string weights(layout.substr(position + 1, close - position - 1));
    if (!hasSizes || !AddSpacer(weights.c_str(), minWidth, minHeight, index)) {
      // The failed entry keeps its place, so the entries after it land
      // where the text puts them.
      InsertChild(nullptr, index);
      allBuilt = false;
    }

    position = close + 1;
    SkipBlanks(layout, position);
    if (position == layout.size()) break;
    if (layout[position] != ',') {
      allBuilt = false;
      position = layout.find(',', position);
      if (position == std::string_view::npos) break;
    }
    ++position;
  }
  return allBuilt;
}
