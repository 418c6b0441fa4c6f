#include "foundation/log/LogWindowTexts.h"

#include "foundation/errors/LocalText.h"

namespace {

LogWindowTexts LoadTexts() {
  LogWindowTexts texts;
  texts.modes[0] = {
      LocalText("LogWindow.Advanced.Caption", "Velbrook Tunewell Log"),
      LocalText("LogWindow.Advanced.TopText", "Full log:"),
      LocalText("LogWindow.Advanced.BottomText", ""),
      LocalText("LogWindow.Advanced.HideButton", "Close Log"),
      LocalText("LogWindow.Advanced.ModeButton", "Problem Report >>"),
  };
  texts.modes[1] = {
      LocalText("LogWindow.Simple.Caption", "Velbrook Tunewell Problem Report"),
      LocalText("LogWindow.Simple.TopText",
                "For your information:\r\nThe player has encountered the following problem:"),
      LocalText("LogWindow.Simple.BottomText",
                "The problem has been dealt with and the player will continue normal operation."),
      LocalText("LogWindow.Simple.HideButton", "Close Report"),
      LocalText("LogWindow.Simple.ModeButton", "Advanced >>"),
  };
  texts.quitButton = LocalText("CLogWindow.QuitButton", "Quit Player");
  return texts;
}

}  // namespace

const LogWindowTexts& GetLogWindowTexts() {
  static const LogWindowTexts texts = LoadTexts();
  return texts;
}
