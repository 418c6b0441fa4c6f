#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/layout/LayoutBox.h"
#include "driver/Command.h"
#include "driver/Numbers.h"

namespace {

bool ParseInt(const std::string& text, INT& value) {
  int64_t parsed = 0;
  if (!tool::ParseSigned(text, parsed) || parsed < INT_MIN || parsed > INT_MAX) return false;
  value = static_cast<INT>(parsed);
  return true;
}

bool ParseWeight(const std::string& text, double& value) {
  if (text.empty() || text[0] == ' ') return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(value);
}

// "MINW,MINH,HW,VW": two whole numbers, then two weights.
bool ParseItem(const std::string& text, std::unique_ptr<CLayoutItem>& item) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
    fields.push_back(text.substr(start, comma - start));
  fields.push_back(text.substr(start));
  INT minWidth = 0;
  INT minHeight = 0;
  double horizontal = 0;
  double vertical = 0;
  if (fields.size() != 4 || !ParseInt(fields[0], minWidth) || !ParseInt(fields[1], minHeight) ||
      !ParseWeight(fields[2], horizontal) || !ParseWeight(fields[3], vertical))
    return false;
  item = std::make_unique<CLayoutItem>(minWidth, minHeight, horizontal, vertical);
  return true;
}

}  // namespace

TOOL_COMMAND(RunLayout, "layout",
             "v|h W H MINW,MINH,HW,VW ...  arrange plain items (minimum size, horizontal and vertical weight) "
             "in one vertical or horizontal box over the rectangle 0 0 W H; print each item's rectangle as "
             "'L T R B', one a line, in order") {
  if (args.size() < 3) return tool::Fail("layout needs v|h, W, H and the items");
  if (args[0] != "v" && args[0] != "h") return tool::Fail("layout: the direction is v or h, not '" + args[0] + "'");
  INT width = 0;
  INT height = 0;
  if (!ParseInt(args[1], width) || !ParseInt(args[2], height))
    return tool::Fail("layout: W and H must be whole 32-bit numbers");
  CLayoutBox box(args[0] == "v" ? CLayoutBox::kVertical : CLayoutBox::kHorizontal, 0, 0);
  for (size_t i = 3; i < args.size(); ++i) {
    std::unique_ptr<CLayoutItem> item;
    if (!ParseItem(args[i], item))
      return tool::Fail("layout: item '" + args[i] + "' is not MINW,MINH,HW,VW (whole, whole, weight, weight)");
    box.InsertChild(std::move(item));
  }
  box.Arrange({0, 0, width, height});
  for (INT i = 0; i < box.GetChildCount(); ++i) {
    const RECT& r = box.GetChild(i)->GetRect();
    std::printf("%d %d %d %d\n", r.left, r.top, r.right, r.bottom);
  }
  return 0;
}
