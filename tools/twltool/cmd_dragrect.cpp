#include <climits>
#include <string>

#include "display/dragrect/DragRectWindow.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "foundation/kernel/Error.h"
#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

namespace {

bool ParseInt(const std::string& text, INT& value, INT minimum) {
  int64_t parsed = 0;
  if (!tool::ParseSigned(text, parsed) || parsed < minimum || parsed > INT_MAX) return false;
  value = static_cast<INT>(parsed);
  return true;
}

}  // namespace

TOOL_COMMAND(RunDragRect, "dragrect",
             "X Y W H OUT.png  show the drag rectangle's frame around the W x H rectangle at X, Y of the virtual "
             "screen and write the whole screen to OUT.png; prints nothing") {
  if (args.size() != 5) return tool::Fail("dragrect needs X Y W H OUT.png");
  INT x = 0, y = 0, width = 0, height = 0;
  if (!ParseInt(args[0], x, INT_MIN) || !ParseInt(args[1], y, INT_MIN) || !ParseInt(args[2], width, 0) ||
      !ParseInt(args[3], height, 0) || static_cast<int64_t>(x) + width > INT_MAX ||
      static_cast<int64_t>(y) + height > INT_MAX)
    return tool::Fail("dragrect: X and Y are whole numbers, W and H whole numbers from 0, all within 32 bits");
  CDragRectWindow frame;
  try {
    frame.Create({x, y, x + width, y + height});
  } catch (CError* error) {
    const std::string text = error->GetText().c_str();
    DisposeError(error);
    return tool::Fail("dragrect: " + text);
  }
  frame.Show();
  TwlTestPumpMessages();
  if (!TwlTestSaveScreenPng(args[4].c_str())) return tool::Fail("dragrect: cannot write '" + args[4] + "'");
  return 0;
}
