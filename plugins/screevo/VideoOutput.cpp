// The video output as far as sound files need it: the hidden top-level
// window, starting a graph that has no picture, and closing the viewer.
// Placing a picture in the host's viewer or full screen comes with video
// rendering; until then a graph whose video size is known is started
// without a picture too.
#include "GraphState.h"
#include "HostAccess.h"
#include "Player.h"

namespace screevo {
namespace {

constexpr const char* kTopLevelClass = "Screevo top level window class";
constexpr DWORD kAccessDenied = HOST_MISC_ACCESS_DENIED;  // the viewer belongs to another player

HWND g_TopLevelWindow = nullptr;

void OnDisplayChange() {
  // Only a picture shown full screen is refitted; none is shown yet.
}

LRESULT CALLBACK TopLevelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DISPLAYCHANGE) OnDisplayChange();
  return DefWindowProcA(window, message, wParam, lParam);
}

// Runs a pending start without a picture; false when the graph does not run.
bool StartWithoutPicture() {
  if (!g_PlayerState.startPending) return true;
  g_PlayerState.startPending = false;
  if (RunGraph(false)) return true;
  CloseViewer(false);
  return false;
}

void LogVideoFailure() {
  if (g_Host->HOST_GetMiscErrorCode() != kAccessDenied) g_Host->HOST_LogError("Error initializing video.", 0x100);
}

}  // namespace

bool CreateTopLevelWindow() {
  DestroyTopLevelWindow();
  WNDCLASSA windowClass{};
  windowClass.style = CS_NOCLOSE;
  windowClass.lpfnWndProc = &TopLevelWindowProc;
  windowClass.hInstance = reinterpret_cast<HINSTANCE>(g_Module);
  windowClass.lpszClassName = kTopLevelClass;
  RegisterClassA(&windowClass);  // a second registration fails harmlessly
  g_TopLevelWindow = CreateWindowExA(0, kTopLevelClass, "Screevo top level window", WS_POPUP, -500, -500, 10, 10,
                                     g_Host->HOST_GetWindowHandle(0), nullptr, reinterpret_cast<HINSTANCE>(g_Module),
                                     nullptr);
  if (!g_TopLevelWindow) {
    g_Host->HOST_SetErrorText("Error creating window");
    return false;
  }
  return true;
}

void DestroyTopLevelWindow() {
  if (g_TopLevelWindow) DestroyWindow(g_TopLevelWindow);
  g_TopLevelWindow = nullptr;
}

bool StartVideo() {
  LONG width = -1;
  LONG height = -1;
  if (!GetVideoSize(&width, &height)) {
    // No video renderer in the graph, as for a sound file.
    return StartWithoutPicture();
  }
  g_PlayerState.videoWidth = width;
  g_PlayerState.videoHeight = height;
  if (width == -1) {
    // Video present but not connected: the start waits for a later call.
    if (g_PlayerState.viewerState != 0) CloseViewer(false);
    return true;
  }
  return StartWithoutPicture();
}

void DetachVideoWindow() {
  if (!g_Graph.videoAttached || !g_Graph.videoWindow) return;
  g_Graph.videoWindow->put_Owner(0);
  g_Graph.videoWindow->put_WindowStyle(g_Graph.savedStyle);
  g_Graph.videoWindow->SetWindowPosition(g_Graph.savedLeft, g_Graph.savedTop, g_Graph.savedWidth, g_Graph.savedHeight);
  g_Graph.videoAttached = false;
}

void CloseViewer(bool deferred) {
  // The viewer's answers never replace the thread error: closing follows
  // failures whose text must survive it.
  HostSavedError* saved = g_Host->HOST_SaveError();
  ShowVideo(false);
  DetachVideoWindow();
  HostViewerClose()(g_Graph.caller);
  DWORD requestId = 0;
  HostViewerSetFullScreen()(&requestId, g_Graph.caller, deferred ? 1 : 0);
  g_PlayerState.fullScreen = false;
  g_PlayerState.viewerState = 0;
  g_Host->HOST_RestoreError(saved);
  g_Host->HOST_FreeError(saved);
}

int32_t PlayerRestoreSurfaces(int32_t) {
  const bool started = StartVideo();
  if (!started) LogVideoFailure();
  return started ? 1 : 0;
}

int32_t PlayerCommand(DWORD command, uintptr_t a1, uintptr_t) {
  switch (command) {
    case 0:
      if (a1 == 0) {
        CloseViewer(false);
      } else if (g_Graph.graph && !StartVideo()) {
        LogVideoFailure();
      }
      return 1;
    case 100:
      return 0;  // no viewer is painted while no picture is shown
    case 200:
      if (!StartVideo()) LogVideoFailure();
      return 1;
    default:
      return 1;  // viewer answers (1, 3) come only for requests, which sound files never make
  }
}

}  // namespace screevo
