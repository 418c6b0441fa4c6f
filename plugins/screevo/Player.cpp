#include "Player.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "ExtensionTable.h"
#include "GraphState.h"
#include "HostAccess.h"
#include "Module.h"
#include "Objects.h"

namespace screevo {

GraphState g_Graph;
PlayerState g_PlayerState;

namespace {

constexpr const char* kMessageWindowClass = "Ostrell Screevo message window class";
constexpr UINT kGraphEvent = WM_APP + 11;  // 0x800B
constexpr UINT_PTR kPositionTimer = 17;
constexpr UINT kPositionPeriod = 300;
constexpr int kWideLimit = 5000;
constexpr size_t kErrorBuffer = 10001;
constexpr const char* kErrorPrefix = "DirectShow error: ";

const HostApiTable& Host() { return *g_Host; }

template <typename Interface>
void ReleaseAndClear(Interface*& object) {
  if (object) object->Release();
  object = nullptr;
}

// The low 32 bits of the truncated milliseconds in `seconds`, or false for
// a time that is no number or negative.
bool ToMilliseconds(REFTIME seconds, DWORD* milliseconds) {
  if (!(seconds >= 0) || !std::isfinite(seconds)) return false;
  *milliseconds = static_cast<DWORD>(std::fmod(std::trunc(seconds * 1000.0), 4294967296.0));
  return true;
}

// --- Closing

void CloseGraph() {
  HostSavedError* saved = Host().HOST_SaveError();
  if (g_Graph.timer) {
    KillTimer(g_Graph.messageWindow, kPositionTimer);
    g_Graph.timer = 0;
  }
  ShowVideo(false);
  DetachVideoWindow();
  ReleaseAndClear(g_Graph.position);
  ReleaseAndClear(g_Graph.audio);
  ReleaseAndClear(g_Graph.video);
  ReleaseAndClear(g_Graph.videoWindow);
  if (g_Graph.control) g_Graph.control->Stop();
  ReleaseAndClear(g_Graph.control);
  ReleaseAndClear(g_Graph.events);
  ReleaseAndClear(g_Graph.graph);
  Host().HOST_StopVisualization(g_Graph.caller);
  Host().HOST_RestoreError(saved);
  Host().HOST_FreeError(saved);
}

// --- Events and the position

void OnPositionTimer() {
  REFTIME seconds = 0;
  DWORD milliseconds = 0;
  if (g_Graph.position && SUCCEEDED(g_Graph.position->get_CurrentPosition(&seconds)) &&
      ToMilliseconds(seconds, &milliseconds))
    Host().HOST_PlayerSetPosition(milliseconds, g_Graph.caller);
}

void HandleGraphEvent(LONG code, LONG_PTR param1) {
  switch (code) {
    case EC_COMPLETE:
      CloseGraph();
      if (param1 != 0) {
        ReportDirectShowError(static_cast<HRESULT>(param1));
        Host().HOST_PlayerFinished(HOST_PLAYBACK_ERROR, g_Graph.caller);
      } else {
        Host().HOST_PlayerFinished(HOST_PLAYBACK_FINISHED, g_Graph.caller);
      }
      break;
    case EC_USERABORT:
      CloseGraph();
      Host().HOST_SetErrorText("The user has aborted the operation.");
      Host().HOST_PlayerFinished(HOST_PLAYBACK_ERROR, g_Graph.caller);
      break;
    case EC_ERRORABORT:
      CloseGraph();
      ReportDirectShowError(static_cast<HRESULT>(param1));
      Host().HOST_PlayerFinished(HOST_PLAYBACK_ERROR, g_Graph.caller);
      break;
    default:
      break;
  }
}

void ProcessGraphEvents() {
  LONG code = 0;
  LONG_PTR param1 = 0;
  LONG_PTR param2 = 0;
  while (g_Graph.events && SUCCEEDED(g_Graph.events->GetEvent(&code, &param1, &param2, 0))) {
    // Handling may close the graph; the extra reference keeps the event
    // interface until the parameters are freed.
    IMediaEventEx* events = g_Graph.events;
    events->AddRef();
    HandleGraphEvent(code, param1);
    events->FreeEventParams(code, param1, param2);
    events->Release();
  }
}

LRESULT CALLBACK GraphWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kPositionTimer) OnPositionTimer();
  if (message == kGraphEvent) ProcessGraphEvents();
  return DefWindowProcA(window, message, wParam, lParam);
}

bool CreateMessageWindow(PLUGIN_HANDLE player) {
  g_Graph.host = g_Host;
  g_Graph.caller = player;
  WNDCLASSA windowClass{};
  windowClass.style = CS_NOCLOSE;
  windowClass.lpfnWndProc = &GraphWindowProc;
  windowClass.hInstance = reinterpret_cast<HINSTANCE>(g_Module);
  windowClass.lpszClassName = kMessageWindowClass;
  RegisterClassA(&windowClass);  // a second registration fails harmlessly
  // A child of the host's main window; a host that has none yet gets a
  // hidden window of its own, which receives the events and timer alike.
  HWND parent = Host().HOST_GetWindowHandle(0);
  g_Graph.messageWindow =
      CreateWindowExA(0, kMessageWindowClass, "Screevo callback window", parent ? WS_CHILD : WS_POPUP, -500, -500, 10,
                      10, parent, nullptr, reinterpret_cast<HINSTANCE>(g_Module), nullptr);
  if (!g_Graph.messageWindow) {
    Host().HOST_SetErrorText("Error creating window");
    return false;
  }
  SetWindowLongPtrA(g_Graph.messageWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&g_Graph));
  return true;
}

// --- Opening

template <typename Interface>
bool Query(const IID& iid, Interface*& out, const char* failure) {
  if (SUCCEEDED(g_Graph.graph->QueryInterface(iid, reinterpret_cast<void**>(&out)))) return true;
  out = nullptr;
  Host().HOST_SetErrorText(failure);
  return false;
}

bool BuildGraph(const char* url) {
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                              reinterpret_cast<void**>(&g_Graph.graph)))) {
    g_Graph.graph = nullptr;
    Host().HOST_SetErrorText("Error creating filter graph object.");
    return false;
  }
  if (!Query(IID_IMediaControl, g_Graph.control, "Error obtaining IMediaControl interface.") ||
      !Query(IID_IMediaEventEx, g_Graph.events, "Error obtaining IMediaEventEx interface.") ||
      !Query(IID_IBasicAudio, g_Graph.audio, "Error obtaining IBasicAudio interface.") ||
      !Query(IID_IBasicVideo, g_Graph.video, "Error obtaining IBasicVideo interface.") ||
      !Query(IID_IVideoWindow, g_Graph.videoWindow, "Error obtaining IVideoWindow interface."))
    return false;
  if (FAILED(g_Graph.events->SetNotifyWindow(reinterpret_cast<OAHWND>(g_Graph.messageWindow), kGraphEvent, 0))) {
    Host().HOST_SetErrorText("Error setting notify window.");
    return false;
  }
  // The audio tap joins the graph here once it exists; until then the
  // graph is built without it, as when the tap cannot be made.
  WCHAR* wide = new (std::nothrow) WCHAR[kWideLimit + 1];
  if (!wide) {
    Host().HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
    return false;
  }
  bool ok = MultiByteToWideChar(CP_ACP, 0, url, -1, wide, kWideLimit) != 0;
  if (!ok) Host().HOST_SetErrorText("Error converting path to unicode.");
  if (ok) {
    const HRESULT result = g_Graph.graph->RenderFile(wide, nullptr);
    if (FAILED(result)) {
      ReportDirectShowError(result);
      ok = false;
    }
  }
  delete[] wide;
  return ok;
}

bool OpenGraph(const char* url) {
  CloseGraph();
  if (!BuildGraph(url)) {
    CloseGraph();
    return false;
  }
  REFTIME seconds = 0;
  DWORD milliseconds = 0;
  if (SUCCEEDED(g_Graph.graph->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&g_Graph.position)))) {
    if (SUCCEEDED(g_Graph.position->get_Duration(&seconds)) && ToMilliseconds(seconds, &milliseconds))
      Host().HOST_PlayerSetDuration(milliseconds, g_Graph.caller);
  } else {
    g_Graph.position = nullptr;
  }
  g_Graph.audio->put_Volume(Host().HOST_VolumeToAttenuation(static_cast<LONG>(Host().HOST_GetVolume())));
  g_Graph.videoWindow->put_AutoShow(0);  // the video window never shows itself
  return true;
}

bool PauseGraph() {
  if (!g_Graph.graph || !g_Graph.control) return true;
  const HRESULT result = g_Graph.control->Pause();
  if (result != S_OK && result != S_FALSE) {
    ReportDirectShowError(result);
    return false;
  }
  Host().HOST_PauseVisualization(g_Graph.caller);
  return true;
}

bool ResumeGraph() {
  if (!g_Graph.graph || !g_Graph.control) return true;
  const HRESULT result = g_Graph.control->Run();
  if (result != S_OK && result != S_FALSE) {
    ReportDirectShowError(result);
    return false;
  }
  Host().HOST_ResumeVisualization(g_Graph.caller);
  return true;
}

bool SeekTo(DWORD milliseconds) {
  if (!g_Graph.graph) return true;
  if (!g_Graph.position) {
    Host().HOST_SetErrorText("The current device does not support seeking.");
    return false;
  }
  const HRESULT result = g_Graph.position->put_CurrentPosition(milliseconds * 0.001);
  if (result != S_OK && result != S_FALSE) {
    ReportDirectShowError(result);
    return false;
  }
  Host().HOST_StopVisualization(g_Graph.caller);  // the visualizers start over at the new place
  return true;
}

}  // namespace

// --- Shared with the video output

void ReportDirectShowError(HRESULT result) {
  if (!g_GetErrorText) {
    char text[64];
    std::snprintf(text, sizeof text, "DirectShow error: error code %ld", static_cast<long>(result));
    Host().HOST_SetErrorText(text);
    return;
  }
  char* buffer = new (std::nothrow) char[kErrorBuffer];
  if (!buffer) {
    Host().HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
    return;
  }
  const size_t prefix = std::strlen(kErrorPrefix);
  std::memcpy(buffer, kErrorPrefix, prefix + 1);
  const DWORD room = static_cast<DWORD>(kErrorBuffer - prefix - 1);
  buffer[prefix] = '\0';
  // The library's answer is not trusted to end its text within the room.
  if (g_GetErrorText(result, buffer + prefix, room) == 0 || buffer[prefix] == '\0')
    std::snprintf(buffer + prefix, kErrorBuffer - prefix, "%s",
                  "An error occurred but the error description could not be obtained.");
  buffer[kErrorBuffer - 1] = '\0';
  Host().HOST_SetErrorText(buffer);
  delete[] buffer;
}

bool RunGraph(bool videoShown) {
  if (!g_Graph.graph) return true;
  g_Graph.timer = SetTimer(g_Graph.messageWindow, kPositionTimer, kPositionPeriod, nullptr);
  const HRESULT result = g_Graph.control->Run();
  if (result != S_OK && result != S_FALSE) {
    ReportDirectShowError(result);
    return false;
  }
  Host().HOST_PlayerWillPlay(g_Graph.caller);
  if (videoShown) ShowVideo(true);
  return true;
}

void StopPlayback() {
  CloseGraph();
  g_PlayerState.requestId = 0;
  g_PlayerState.startPending = false;
  CloseViewer(true);
}

bool GetVideoSize(LONG* width, LONG* height) {
  *width = *height = -1;
  if (!g_Graph.graph) return true;
  const HRESULT result = g_Graph.video->GetVideoSize(width, height);
  if (result == VFW_E_NOT_CONNECTED) {
    *width = *height = -1;
    return true;
  }
  if (FAILED(result)) {
    ReportDirectShowError(result);
    return false;
  }
  return true;
}

bool ShowVideo(bool on) {
  if (!g_Graph.graph || !g_Graph.videoWindow) return true;
  const HRESULT result = g_Graph.videoWindow->put_Visible(on ? -1 : 0);
  if (FAILED(result)) {
    ReportDirectShowError(result);
    return false;
  }
  return true;
}

void DestroyGraphState() {
  if (!g_Graph.host) return;
  CloseGraph();
  if (g_Graph.messageWindow) DestroyWindow(g_Graph.messageWindow);
  g_Graph.messageWindow = nullptr;
  g_Graph.host = nullptr;
}

// --- The player's entries

BOOL InitPlayer() {
  if (!LoadExtensionTable()) return FALSE;
  if (!CreateTopLevelWindow()) {
    ReleaseExtensionTable();
    return FALSE;
  }
  if (!CreateMessageWindow(const_cast<PlayerInterface*>(&kPlayerTable))) {
    DestroyTopLevelWindow();
    ReleaseExtensionTable();
    return FALSE;
  }
  return TRUE;
}

void ExitPlayer() {
  if (!g_Graph.host) return;  // never initialised
  StopPlayback();
  DestroyGraphState();
  DestroyTopLevelWindow();
  ReleaseExtensionTable();
}

BOOL PlayerPlay(const char* url) {
  StopPlayback();
  if (url && OpenGraph(url)) {
    g_PlayerState.startPending = true;
    if (StartVideo()) return TRUE;
  } else if (!url) {
    Host().HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
  }
  StopPlayback();  // keeps the failure's text
  return FALSE;
}

BOOL PlayerStop() {
  StopPlayback();
  return TRUE;
}

BOOL PlayerPause() { return PauseGraph(); }
BOOL PlayerResume() { return ResumeGraph(); }
BOOL PlayerSeek(DWORD milliseconds) { return SeekTo(milliseconds); }

int32_t PlayerSetVolume(int32_t volume) {
  if (g_Graph.audio) g_Graph.audio->put_Volume(Host().HOST_VolumeToAttenuation(volume));
  return volume;
}

uintptr_t PlayerSlot19(uintptr_t word) { return word; }

}  // namespace screevo
