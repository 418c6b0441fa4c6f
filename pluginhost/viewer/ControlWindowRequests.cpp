// The viewer's request queue: users ask from any thread, the main thread
// answers each request with an event to the user that asked.
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/visualizer/Visualizer.h"
#include "playback/visualizer/VisualizerSystem.h"
#include "pluginhost/viewer/ControlWindowHost.h"
#include "pluginhost/viewer/ControlWindowProvider.h"
#include "pluginhost/viewer/ControlWindowSystem.h"
#include "pluginhost/viewer/ControlWindowUser.h"
#include "pluginhost/viewer/ViewerRequests.h"

namespace {

constexpr DWORD kTakeOverFlag = 0x2;
constexpr DWORD kHandleAccessFlag = 0x1;
constexpr DWORD kEventCreateDone = 1;

void FailAccessDenied() { SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_ACCESS_DENIED, nullptr); }

}  // namespace

int32_t CControlWindowSystem::NextRequestId() {
  CriticalSectionLock lock(m_IdLock);
  m_RequestCounter = m_RequestCounter >= INT32_MAX ? 1 : m_RequestCounter + 1;
  return m_RequestCounter;
}

CControlWindowUser* CControlWindowSystem::FindUser(const void* handle, int* slot) {
  if (slot) *slot = -1;
  if (!handle) return nullptr;
  {
    CriticalSectionLock lock(m_StateLock);
    for (int index : {kModePlayers, kModeVisualizers}) {
      if (m_Users[index] && m_Users[index]->GetHandle() == handle) {
        if (slot) *slot = index;
        return m_Users[index];
      }
    }
  }
  CVisualizerSystem& visualizers = GetVisualizerSystem();
  for (INT index = 0; index < visualizers.GetVisualizerCount(); ++index) {
    CVisualizer* visualizer = visualizers.GetVisualizer(index);
    if (visualizer && visualizer->GetHandle() == handle) {
      if (slot) *slot = kModeVisualizers;
      return visualizer;
    }
  }
  return nullptr;
}

int CControlWindowSystem::FindUserSlot(const void* handle) {
  int slot = -1;
  FindUser(handle, &slot);
  return slot;
}

bool CControlWindowSystem::PostRequest(ViewerRequest* request, bool internal) {
  const int slot = internal ? -1 : FindUserSlot(request->caller);
  {
    CriticalSectionLock state(m_StateLock);
    if (!internal && (slot < 0 || !m_UserEnabled[slot])) {
      delete request;
      FailAccessDenied();
      return false;
    }
    if (request->generation == 0) request->generation = m_Generation;
    CriticalSectionLock queue(m_QueueLock);
    m_Requests.push_back(request);
  }
  if (HWND window = m_MessageWindow.GetWindowHandle()) PostMessageA(window, kProcessRequestsMessage, 0, 0);
  return true;
}

bool CControlWindowSystem::PostCreateRequest(INT contentHeight, DWORD flags, int32_t* id, const void* caller) {
  auto* request = new ViewerRequest;
  request->code = VIEWER_REQUEST_CREATE;
  request->id = NextRequestId();
  request->caller = caller;
  request->contentHeight = contentHeight;
  request->flags = flags;
  if (id) *id = request->id;
  return PostRequest(request, false);
}

bool CControlWindowSystem::PostCloseRequest(const void* caller) {
  auto* request = new ViewerRequest;
  request->code = VIEWER_REQUEST_CLOSE;
  request->caller = caller;
  return PostRequest(request, false);
}

void CControlWindowSystem::ProcessRequests() {
  for (;;) {
    ViewerRequest* request = nullptr;
    {
      CriticalSectionLock queue(m_QueueLock);
      if (m_Requests.empty()) return;
      request = m_Requests.front();
      m_Requests.erase(m_Requests.begin());
    }
    HandleRequest(*request);
    delete request;
  }
}

void CControlWindowSystem::ProcessRequestsOf(int slot) {
  for (;;) {
    ViewerRequest* request = nullptr;
    {
      CriticalSectionLock queue(m_QueueLock);
      for (auto at = m_Requests.begin(); at != m_Requests.end(); ++at) {
        // Only users post from outside, and their handles stay put while
        // the slot is worked.
        if (FindUserSlot((*at)->caller) != slot) continue;
        request = *at;
        m_Requests.erase(at);
        break;
      }
    }
    if (!request) return;
    HandleRequest(*request);
    delete request;
  }
}

void CControlWindowSystem::FreeQueuedRequests() {
  std::vector<ViewerRequest*> requests;
  std::vector<ViewerWindowRecord*> records;
  {
    CriticalSectionLock queue(m_QueueLock);
    requests.swap(m_Requests);
    records.swap(m_WindowRecords);
    m_PendingWindow = nullptr;
  }
  for (ViewerRequest* request : requests) delete request;
  for (ViewerWindowRecord* record : records) delete record;
}

void CControlWindowSystem::HandleRequest(ViewerRequest& request) {
  switch (request.code) {
    case VIEWER_REQUEST_CREATE: HandleCreate(request); break;
    case VIEWER_REQUEST_CREATE_DONE: HandleCreateDone(request); break;
    case VIEWER_REQUEST_CLOSE: HandleClose(request); break;
    default: break;  // freed unhandled
  }
}

void CControlWindowSystem::CheckStale(ViewerRequest& request) {
  CriticalSectionLock lock(m_StateLock);
  if (request.status == VIEWER_REQUEST_OK && request.generation != m_Generation)
    request.status = VIEWER_REQUEST_REFUSED;
}

void CControlWindowSystem::ReportRequestError(ViewerRequest& request) {
  if (request.status == VIEWER_REQUEST_FAILED && request.savedError) {
    SetThreadError(request.savedError->type, request.savedError->code, request.savedError->text);
    FreeThreadErrorCopy(request.savedError);
    request.savedError = nullptr;
    return;
  }
  FailAccessDenied();
}

// The completion carries the thread error of a failure to the main thread's
// handler, which tells the user.
void CControlWindowSystem::PostCompletion(int32_t code, ViewerRequest& from, ViewerWindowRecord* window,
                                          int32_t counted) {
  auto* done = new ViewerRequest;
  done->code = code;
  done->status = VIEWER_REQUEST_FAILED;
  done->savedError = CopyThreadError();
  done->id = from.id;
  done->generation = from.generation;
  done->caller = from.caller;
  done->window = window;
  done->counted = counted;
  PostRequest(done, true);
}

void CControlWindowSystem::HandleCreate(ViewerRequest& request) {
  auto* record = new ViewerWindowRecord;
  record->kind = 0;
  record->id = request.id;
  record->generation = request.generation;
  record->caller = request.caller;
  record->requestedHeight = request.contentHeight;
  record->flags = request.flags;
  bool tookOver = false;
  if (request.status != VIEWER_REQUEST_OK) {
    ReportRequestError(request);
  } else {
    bool allowed = IsCurrentUser(request.caller) && request.caller;
    bool stale = false;
    {
      CriticalSectionLock lock(m_StateLock);
      stale = request.generation != m_Generation;
    }
    if (!allowed && (request.flags & kTakeOverFlag) && GetMode() != kModeSuspended && GetPlayerModeOverride() &&
        IsUserOfSlot(request.caller, kModePlayers) && request.caller)
      allowed = tookOver = BeginPlayerTakeOver(true, false);
    if (!allowed || (stale && !tookOver)) {
      FailAccessDenied();
    } else {
      INT nonContent = 0;
      const INT windowHeight = GetWindowHeightFor(request.contentHeight, &nonContent);
      record->windowHeight = windowHeight;
      record->nonContentHeight = nonContent;
      CControlWindowProvider* provider = nullptr;
      {
        CriticalSectionLock lock(m_StateLock);
        request.generation = record->generation = m_Generation;
        ++m_BusyCount;
        provider = m_Provider;
      }
      CloseViewerWindow();
      if (!provider) {
        SetThreadError(THREAD_ERROR_GENERAL, 0,
                       LocalText("CControlWindowSystem.CantCreateNoProvider",
                                 "Unable to create viewer window - no viewer window provider.")
                           .c_str());
      } else {
        {
          CriticalSectionLock queue(m_QueueLock);
          m_PendingWindow = record;
          m_WindowRecords.push_back(record);
        }
        if (provider->CreateWindow(windowHeight, request.flags & ~kTakeOverFlag, record)) return;
        CriticalSectionLock queue(m_QueueLock);
        m_PendingWindow = nullptr;
        m_WindowRecords.pop_back();
      }
      CriticalSectionLock lock(m_StateLock);
      --m_BusyCount;
    }
  }
  if (tookOver) {
    ThreadErrorState* saved = CopyThreadError();
    EndPlayerTakeOver(false, true);
    SetThreadError(saved->type, saved->code, saved->text);
    FreeThreadErrorCopy(saved);
  }
  PostCompletion(VIEWER_REQUEST_CREATE_DONE, request, record, 0);
}

void CControlWindowSystem::HandleCreateDone(ViewerRequest& request) {
  CheckStale(request);
  ViewerWindowRecord* record = request.window;
  {
    CriticalSectionLock queue(m_QueueLock);
    std::erase(m_WindowRecords, record);
    if (m_PendingWindow == record) m_PendingWindow = nullptr;
  }
  if (!record || record->dropped) return;
  const bool success = request.status == VIEWER_REQUEST_OK;
  {
    CriticalSectionLock lock(m_StateLock);
    m_BusyCount -= request.counted;
    if (success) {
      m_WindowHeight = record->windowHeight;
      m_NonContentHeight = record->nonContentHeight;
      m_ContentHeight = record->windowHeight - record->nonContentHeight;
      m_HandleAccess = (record->flags & kHandleAccessFlag) != 0;
      m_Shown = true;
    }
  }
  if (!success) ReportRequestError(request);
  CControlWindowUser* user = FindUser(request.caller, nullptr);
  if (!user) return;
  if (!record->silent) user->OnViewerEvent(kEventCreateDone, success ? 1 : 0, static_cast<uintptr_t>(request.id));
  if (success) GetControlWindowHost().PostNewGeneration();
}

void CControlWindowSystem::HandleClose(ViewerRequest& request) {
  CheckStale(request);
  if (request.status != VIEWER_REQUEST_OK) {
    ReportRequestError(request);
  } else if (!request.caller || !IsCurrentUser(request.caller)) {
    FailAccessDenied();
  } else {
    CControlWindowProvider* provider = nullptr;
    bool shown = false;
    {
      CriticalSectionLock lock(m_StateLock);
      shown = m_Shown;
      provider = m_Provider;
    }
    if (shown) {
      {
        CriticalSectionLock queue(m_QueueLock);
        m_PendingWindow = nullptr;
      }
      if (provider) provider->CloseWindow();
    }
    CriticalSectionLock lock(m_StateLock);
    m_Shown = false;
    m_WindowHeight = m_ContentHeight = m_NonContentHeight = 0;
  }
  if (request.caller && IsCurrentUser(request.caller) && !m_FullScreen->IsActive()) EndPlayerTakeOver(true, true);
  GetControlWindowHost().PostNewGeneration();
}
