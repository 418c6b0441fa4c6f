// twltool lineanim: the busy-line animation in an aux window of the
// built-in skin, ticked by hand; prints the line each tick draws.
#include <cstdio>
#include <string>
#include <vector>

#include "ControlStage.h"
#include "app/ui/UserInterface.h"
#include "display/auxwindow/AuxWindow.h"
#include "display/lineanim/LineAnimationWindow.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "foundation/kernel/Error.h"
#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

namespace {

constexpr int kMaxCoordinate = 2000;
constexpr int kMaxCount = 100000;
// Room around the rectangle inside the window.
constexpr int kSpare = 20;

struct LineOptions {
  RECT rect{};
  int numbers[6] = {};  // direction, steps, passes, thickness, pause, ticks
  std::string png;
};

bool ParseRectangle(const std::string& text, RECT& rect) {
  std::vector<int64_t> values;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    int64_t value = 0;
    if (!tool::ParseSigned(text.substr(start, comma - start), value) || value < 0 || value > kMaxCoordinate)
      return false;
    values.push_back(value);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() != 4 || values[2] < values[0] || values[3] < values[1]) return false;
  rect = RECT{static_cast<LONG>(values[0]), static_cast<LONG>(values[1]), static_cast<LONG>(values[2]),
              static_cast<LONG>(values[3])};
  return true;
}

bool ParseLineOptions(const tool::Args& args, LineOptions& options) {
  if (args.size() != 7 && !(args.size() == 9 && args[7] == "--png")) return false;
  if (!ParseRectangle(args[0], options.rect)) return false;
  for (size_t index = 0; index < 6; ++index) {
    int64_t value = 0;
    if (!tool::ParseSigned(args[index + 1], value) || value < 0 || value > kMaxCount) return false;
    options.numbers[index] = static_cast<int>(value);
  }
  if (options.numbers[0] > 3) return false;
  if (args.size() == 9) options.png = args[8];
  return true;
}

int RunLineAnimation(const LineOptions& options) {
  tool::ControlStage stage;
  std::string problem;
  if (!stage.Start(problem)) return tool::Fail("lineanim: " + problem);
  const auto [direction, steps, passes, thickness, pause, ticks] = options.numbers;
  CAuxWindow window;
  window.Create("LineAnimation", "LineAnimation", 50, 50, options.rect.right + kSpare, options.rect.bottom + kSpare,
                nullptr, nullptr, false);
  window.Show(true);
  TwlTestPumpMessages();
  window.Paint(nullptr);
  CLineAnimationWindow animation;
  const DWORD white = GetUserInterface().GetDisplayState().ConvertColor(0xFFFFFF);
  animation.Setup(&window, options.rect, direction, steps, passes, thickness, pause, white);
  if (!animation.Start()) return tool::Fail("lineanim: the background cannot be made");
  for (int tick = 1; tick <= ticks; ++tick) {
    animation.Tick();
    const RECT& line = animation.GetDrawnLine();
    if (line.right <= line.left || line.bottom <= line.top)
      std::printf("%d -\n", tick);
    else
      std::printf("%d %ld %ld %ld %ld\n", tick, static_cast<long>(line.left), static_cast<long>(line.top),
                  static_cast<long>(line.right), static_cast<long>(line.bottom));
  }
  int status = 0;
  if (!options.png.empty() && !TwlTestSaveWindowPng(window.GetWindowHandle(), options.png.c_str()))
    status = tool::Fail("lineanim: cannot write '" + options.png + "'");
  animation.Stop();
  window.Destroy();
  return status;
}

}  // namespace

TOOL_COMMAND(RunLineAnim, "lineanim",
             "L,T,R,B DIRECTION STEPS PASSES THICKNESS PAUSE TICKS [--png OUT]  run the busy-line animation in the "
             "rectangle of an aux window of the built-in skin (20 pixels to spare), DIRECTION 0 leftwards, 1 "
             "rightwards, 2 upwards, 3 downwards; prints per tick 'TICK L T R B' for the line it draws (window "
             "coordinates) or 'TICK -'; --png writes the window after the last tick") {
  LineOptions options;
  if (!ParseLineOptions(args, options))
    return tool::Fail("lineanim needs L,T,R,B DIRECTION STEPS PASSES THICKNESS PAUSE TICKS [--png OUT]");
  try {
    return RunLineAnimation(options);
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return tool::Fail("lineanim: " + text);
  }
}
