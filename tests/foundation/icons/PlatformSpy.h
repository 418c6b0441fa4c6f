// Watches the platform calls through which the icon manager makes, copies
// and destroys icons: the test program defines its own DestroyIcon,
// ExtractIconA and ImageList_ReplaceIcon, which record each call and pass
// it on to the platform layer (or fail it on request). Reset before the
// action under test; each test runs in a process of its own.
#pragma once

#include <windows.h>

#include <vector>

namespace spy {

struct Record {
  std::vector<HICON> destroyed;  // every DestroyIcon argument, in order
  std::vector<HICON> extracted;  // every icon ExtractIconA answered
  int extractCalls = 0;
  int failAdds = 0;  // so many ImageList_ReplaceIcon calls answer -1
};

// Not locked: tests that watch calls make them from one thread.
Record& Calls();
void Reset();
// How often DestroyIcon was called with this icon.
int DestroyCount(HICON icon);

}  // namespace spy
