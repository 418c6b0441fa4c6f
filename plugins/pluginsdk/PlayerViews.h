// The two places a player draws in, both owned by the host's viewer
// system: the window view (a viewer window the host draws the player's
// content into) and the full-screen view (the whole screen, drawn straight
// onto the primary surface). A view appears through an asynchronous
// request: Show queues it (state 1) and the host's answer, a viewer
// command carrying the request id, makes it shown (2) or closed (0).
//
// Each view's lock is re-entrant: the owner's callbacks run under it.
#pragma once

#include <windows.h>

#include "pluginhost/abi/PlugInAbi.h"

namespace pluginsdk {

enum ViewState : DWORD { VIEW_CLOSED = 0, VIEW_REQUESTED = 1, VIEW_SHOWN = 2 };

class PlayerView;

class ViewOwner {
 public:
  virtual void OnViewStateChanged(PlayerView& view, DWORD oldState, DWORD newState) = 0;
  virtual void OnViewRequestDone(PlayerView& view, bool success) = 0;

 protected:
  ~ViewOwner() = default;
};

class PlayerView {
 public:
  explicit PlayerView(const HostApiTable& host);
  virtual ~PlayerView();
  PlayerView(const PlayerView&) = delete;
  PlayerView& operator=(const PlayerView&) = delete;

  virtual void Attach(ViewOwner* owner, PLUGIN_HANDLE caller);
  // Forgets the owner and closes the state without telling anybody.
  virtual void Detach();
  virtual bool Show() = 0;
  virtual void Hide() = 0;
  // Command 0 with argument 0: the host took the view away.
  virtual void OnCommand(DWORD command, uintptr_t argument1, uintptr_t argument2);
  virtual void SetState(DWORD state);
  virtual void Reset();
  // The host's answer to the request with this id; answers to older
  // requests, or arriving outside state 1, change nothing.
  virtual void OnRequestDone(bool success, DWORD requestId);

  DWORD GetState();
  void Lock() { EnterCriticalSection(&m_Lock); }
  void Unlock() { LeaveCriticalSection(&m_Lock); }

 protected:
  const HostApiTable& Host() const { return m_Host; }
  PLUGIN_HANDLE Caller() const { return m_Caller; }
  DWORD m_RequestId = 0;

 private:
  const HostApiTable& m_Host;
  ViewOwner* m_Owner = nullptr;
  PLUGIN_HANDLE m_Caller = nullptr;
  DWORD m_State = VIEW_CLOSED;
  CRITICAL_SECTION m_Lock;
};

class WindowView : public PlayerView {
 public:
  using PlayerView::PlayerView;

  // The content height asked of the host (it adds its control bar) and the
  // create flags (2: take the viewer over from its current user).
  void SetSize(DWORD contentHeight, DWORD flags);
  bool Show() override;
  void Hide() override;
  // Command 1 answers the create request.
  void OnCommand(DWORD command, uintptr_t argument1, uintptr_t argument2) override;

 private:
  DWORD m_ContentHeight = 0;
  DWORD m_Flags = 0;
};

class FullScreenView : public PlayerView {
 public:
  using PlayerView::PlayerView;

  // Width, height, bits per pixel and flags of the full-screen mode asked.
  void SetDisplayMode(const DWORD (&record)[4]);
  bool Show() override;
  void Hide() override;
  // Command 3 answers the full-screen request.
  void OnCommand(DWORD command, uintptr_t argument1, uintptr_t argument2) override;

 private:
  DWORD m_Record[4] = {};
};

// Holds the view's lock for a scope.
class ViewLock {
 public:
  explicit ViewLock(PlayerView& view) : m_View(view) { m_View.Lock(); }
  ~ViewLock() { m_View.Unlock(); }
  ViewLock(const ViewLock&) = delete;
  ViewLock& operator=(const ViewLock&) = delete;

 private:
  PlayerView& m_View;
};

}  // namespace pluginsdk
