// Where the log window's controls go for a client size and a face: the
// text above the list, the list, the text below it and the buttons at the
// bottom, with a margin of 5. Pure arithmetic; any thread may use it.
#pragma once

#include <windows.h>

struct LogWindowBox {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// What the font and the button texts measure, per mode where they differ
// (index 0 advanced, 1 simple).
struct LogWindowMetrics {
  int lineHeight = 0;
  int buttonHeight = 0;
  int hideWidths[2] = {0, 0};
  int modeWidths[2] = {0, 0};
};

// A text above or below the list: its height and the gap between it and
// the list (both 0 without a text).
struct LogWindowTextBlock {
  int height = 0;
  int gap = 0;
};

struct LogWindowPlacement {
  LogWindowBox topText;
  LogWindowBox list;  // both lists share it; one of them is shown
  LogWindowBox bottomText;
  LogWindowBox modeButton;
  LogWindowBox hideButton;
  LogWindowBox quitButton;  // shown in the advanced face only
};

LogWindowPlacement PlaceLogWindowControls(DWORD mode, int clientWidth, int clientHeight,
                                          const LogWindowMetrics& metrics, LogWindowTextBlock top,
                                          LogWindowTextBlock bottom);

// The smallest whole window (frame included) in which every button and a
// third of the longer texts fit, with six lines of list.
SIZE LogWindowMinimumSize(const LogWindowMetrics& metrics, int topTextThird, int bottomTextThird);
