// The process-wide binding of the ASPI manager: its library, its two entry
// points, the completion event of waited commands, the last result, the
// host adapter count, the ASPI error text and the identifier of the last
// host adapter inquiry. One instance for the whole program, used on the
// user-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "twlwin/aspi.h"

struct AspiLayer {
  HMODULE library = nullptr;
  AspiSupportInfoEntry supportInfo = nullptr;
  AspiSendCommandEntry sendCommand = nullptr;
  HANDLE event = nullptr;
  DWORD lastResult = 0;
  uint16_t hostAdapterCount = 0;
  std::string errorText;
  char adapterIdentifier[17] = {};
};

AspiLayer& TheAspiLayer();

// Binds the layer: the completion event, the ASPI manager (or, on Windows
// NT 4 and later, the maker's SPTI library) and both entry points.
bool LoadAspiLayer();
// Frees the library and closes the event.
void UnloadAspiLayer();
uint16_t GetAspiHostAdapterCount();
const char* GetAspiErrorText();
void SetAspiErrorText(const std::string& text);
