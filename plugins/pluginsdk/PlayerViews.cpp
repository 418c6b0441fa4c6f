#include "plugins/pluginsdk/PlayerViews.h"

#include "plugins/pluginsdk/HostSlots.h"

namespace pluginsdk {
namespace {

constexpr DWORD kHostTookViewAway = 0;
constexpr DWORD kWindowCreated = 1;
constexpr DWORD kFullScreenEntered = 3;

}  // namespace

PlayerView::PlayerView(const HostApiTable& host) : m_Host(host) { InitializeCriticalSection(&m_Lock); }

PlayerView::~PlayerView() {
  m_Owner = nullptr;
  m_State = VIEW_CLOSED;
  DeleteCriticalSection(&m_Lock);
}

void PlayerView::Attach(ViewOwner* owner, PLUGIN_HANDLE caller) {
  ViewLock lock(*this);
  m_Owner = owner;
  m_Caller = caller;
}

void PlayerView::Detach() {
  ViewLock lock(*this);
  m_Owner = nullptr;
  m_State = VIEW_CLOSED;
}

void PlayerView::OnCommand(DWORD command, uintptr_t argument1, uintptr_t) {
  if (command == kHostTookViewAway && argument1 == 0) Reset();
}

void PlayerView::SetState(DWORD state) {
  ViewLock lock(*this);
  if (state == m_State) return;
  const DWORD old = m_State;
  m_State = state;
  if (m_Owner) m_Owner->OnViewStateChanged(*this, old, state);
}

void PlayerView::Reset() { SetState(VIEW_CLOSED); }

void PlayerView::OnRequestDone(bool success, DWORD requestId) {
  ViewLock lock(*this);
  if (m_State != VIEW_REQUESTED || requestId != m_RequestId) return;
  SetState(success ? VIEW_SHOWN : VIEW_CLOSED);
  if (m_Owner) m_Owner->OnViewRequestDone(*this, success);
}

DWORD PlayerView::GetState() {
  ViewLock lock(*this);
  return m_State;
}

void WindowView::SetSize(DWORD contentHeight, DWORD flags) {
  ViewLock lock(*this);
  m_ContentHeight = contentHeight;
  m_Flags = flags;
}

bool WindowView::Show() {
  ViewLock lock(*this);
  SetState(VIEW_REQUESTED);
  if (!HostViewerSlots(Host()).Create(m_ContentHeight, m_Flags, &m_RequestId, Caller())) {
    SetState(VIEW_CLOSED);
    return false;
  }
  return true;
}

void WindowView::Hide() {
  ViewLock lock(*this);
  HostViewerSlots(Host()).Close(Caller());
  SetState(VIEW_CLOSED);
}

void WindowView::OnCommand(DWORD command, uintptr_t argument1, uintptr_t argument2) {
  if (command == kWindowCreated) OnRequestDone(argument1 != 0, static_cast<DWORD>(argument2));
  PlayerView::OnCommand(command, argument1, argument2);
}

void FullScreenView::SetDisplayMode(const DWORD (&record)[4]) {
  ViewLock lock(*this);
  for (int i = 0; i < 4; ++i) m_Record[i] = record[i];
}

bool FullScreenView::Show() {
  ViewLock lock(*this);
  SetState(VIEW_REQUESTED);
  if (!HostViewerSlots(Host()).EnterFullScreen(m_Record, &m_RequestId, Caller())) {
    SetState(VIEW_CLOSED);
    return false;
  }
  return true;
}

void FullScreenView::Hide() {
  ViewLock lock(*this);
  DWORD requestId = 0;
  HostViewerSlots(Host()).LeaveFullScreen(&requestId, Caller(), FALSE);
  SetState(VIEW_CLOSED);
}

void FullScreenView::OnCommand(DWORD command, uintptr_t argument1, uintptr_t argument2) {
  if (command == kFullScreenEntered) OnRequestDone(argument1 != 0, static_cast<DWORD>(argument2));
  PlayerView::OnCommand(command, argument1, argument2);
}

}  // namespace pluginsdk
