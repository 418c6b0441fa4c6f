// The texts of the log window's two faces, localised once per process (the
// first log window fetches them) and read-only afterwards, so any thread
// may read them.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

struct LogWindowModeTexts {
  CStr caption;
  CStr topText;
  CStr bottomText;
  CStr hideButton;
  CStr modeButton;
};

struct LogWindowTexts {
  LogWindowModeTexts modes[2];  // by mode: 0 advanced, 1 simple
  CStr quitButton;
};

const LogWindowTexts& GetLogWindowTexts();
