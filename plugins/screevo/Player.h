// Screevo's player: one filter graph at a time, followed through a hidden
// message window (graph events, the position timer) on the host's
// user-interface thread, where every entry below runs.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"

namespace screevo {

BOOL InitPlayer();
void ExitPlayer();
BOOL PlayerPlay(const char* url);
BOOL PlayerStop();
BOOL PlayerPause();
BOOL PlayerResume();
BOOL PlayerSeek(DWORD milliseconds);
int32_t PlayerSetVolume(int32_t volume);
uintptr_t PlayerSlot19(uintptr_t word);
int32_t PlayerRestoreSurfaces(int32_t argument);
int32_t PlayerCommand(DWORD command, uintptr_t a1, uintptr_t a2);

// Closes the graph and the message window; the host table is forgotten.
void DestroyGraphState();

}  // namespace screevo
