// twltool display: brings up the user interface's display in a mode with a
// skin, as the player does, and prints what it made of the display: the
// key and black pixels, the full-screen modes and, on 8-bit displays, the
// whole palette.
#include <windows.h>

#include <charconv>
#include <cstdio>
#include <string>

#include "DisplayModeText.h"
#include "app/ui/UserInterface.h"
#include "display/state/DisplayState.h"
#include "driver/Command.h"
#include "foundation/kernel/Error.h"
#include "twlwin/testing_display.h"

namespace {

void Print(CUserInterface& ui) {
  const CDisplayState& display = ui.GetDisplayState();
  std::printf("key 0x%08lX\nblack 0x%08lX\n", static_cast<unsigned long>(display.GetColorKey()),
              static_cast<unsigned long>(display.GetSubstituteColor()));
  for (const FullscreenMode& mode : ui.GetFullscreenModes())
    std::printf("fullscreen %d %d %d\n", mode.width, mode.height, mode.bitsPerPixel);
  if (!display.IsPalettized()) return;
  const auto& entries = display.GetPaletteEntries();
  for (size_t index = 0; index < entries.size(); ++index) {
    if (entries[index] == CDisplayState::kFreeEntry)
      std::printf("palette %zu free\n", index);
    else
      std::printf("palette %zu 0x%06lX\n", index, static_cast<unsigned long>(entries[index]));
  }
}

}  // namespace

TOOL_COMMAND(RunDisplay, "display",
             "WxHxBPP [builtin|FOLDER/|FILE]\n"
             "      bring up the display in the mode with the skin (default builtin) and print \"key 0xPIXEL\",\n"
             "      \"black 0xPIXEL\", one \"fullscreen W H BPP\" per full-screen mode and, at 8 bits, one\n"
             "      \"palette INDEX 0xBBGGRR\" or \"palette INDEX free\" per palette entry") {
  int width = 0, height = 0, depth = 0;
  if (args.empty() || args.size() > 2 || !ParseDisplayMode(args[0], width, height, depth) ||
      !TwlTestSetDisplayMode(width, height, depth))
    return tool::Fail("display takes WIDTHxHEIGHTxBITS (8, 15, 16, 24 or 32 bits) [builtin|FOLDER/|FILE]");
  const std::string skin = args.size() == 2 && args[1] != "builtin" ? args[1] : CUserInterface::kDefaultSkinName;
  CUserInterface& ui = GetUserInterface();
  ui.SetSkinName(skin.c_str());
  int status = 0;
  try {
    ui.InitDisplay();
    if (ui.IsDisplayUnsupported())
      status = tool::Fail("the display mode cannot be drawn in");
    else if (!ui.InitSkin())
      status = tool::Fail("the skin's surfaces could not be made");
    else
      Print(ui);
  } catch (CError* error) {
    status = tool::Fail(std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str());
    DisposeError(error);
  }
  ui.ExitSkin();
  ui.ExitDisplay();
  return status;
}
