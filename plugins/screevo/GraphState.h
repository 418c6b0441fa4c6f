// The one graph Screevo plays and what follows it; shared by the player
// and the video output. Only the host's user-interface thread touches it.
#pragma once

#include <dshow.h>
#include <windows.h>

#include "pluginhost/abi/PlugInAbi.h"

namespace screevo {

struct GraphState {
  const HostApiTable* host = nullptr;
  PLUGIN_HANDLE caller = nullptr;  // the player table
  HWND messageWindow = nullptr;
  IGraphBuilder* graph = nullptr;
  IMediaControl* control = nullptr;
  IMediaEventEx* events = nullptr;
  IMediaPosition* position = nullptr;
  IBasicAudio* audio = nullptr;
  IBasicVideo* video = nullptr;
  IVideoWindow* videoWindow = nullptr;
  UINT_PTR timer = 0;
  bool videoAttached = false;
  LONG savedLeft = 0, savedTop = 0, savedWidth = 0, savedHeight = 0, savedStyle = 0;
};

// What the player shares with the video output.
struct PlayerState {
  DWORD requestId = 0;
  bool startPending = false;
  bool fullScreen = false;
  int viewerState = 0;  // 0 none, 1 requested, 2 shown
  LONG videoWidth = -1;
  LONG videoHeight = -1;
};

extern GraphState g_Graph;
extern PlayerState g_PlayerState;

// Sets the thread error to the result's description.
void ReportDirectShowError(HRESULT result);
bool RunGraph(bool videoShown);
void StopPlayback();
bool GetVideoSize(LONG* width, LONG* height);
bool ShowVideo(bool on);

// The video output (sound files need only its first steps).
bool CreateTopLevelWindow();
void DestroyTopLevelWindow();
bool StartVideo();
void CloseViewer(bool deferred);
void DetachVideoWindow();

}  // namespace screevo
