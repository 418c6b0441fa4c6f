// Who holds the viewer: the modes, the player's takeover and override, the
// settings of each main window kind, the users and the generations.
#include "display/state/DisplayLock.h"
#include "playback/visualizer/Visualizer.h"
#include "playback/visualizer/VisualizerSystem.h"
#include "pluginhost/viewer/ControlWindowHost.h"
#include "pluginhost/viewer/ControlWindowProvider.h"
#include "pluginhost/viewer/ControlWindowSystem.h"
#include "pluginhost/viewer/ControlWindowUser.h"

int CControlWindowSystem::KindOfMode(int mode) {
  if (mode == kModePlayers) return 1;
  return mode == kModeVisualizers ? 0 : -1;
}

// --- Generations

void CControlWindowSystem::AdvanceGeneration() {
  CriticalSectionLock queue(m_QueueLock);
  m_Generation = m_Generation >= INT32_MAX || m_Generation < 1 ? 1 : m_Generation + 1;
}

void CControlWindowSystem::AnnounceGeneration() {
  m_FullScreen->ClearActivity();
  GetControlWindowHost().PostNewGeneration();
}

int CControlWindowSystem::GetGeneration() {
  CriticalSectionLock lock(m_StateLock);
  return m_Generation;
}

void CControlWindowSystem::SetGenerationForTesting(int generation) {
  CriticalSectionLock lock(m_StateLock);
  m_Generation = generation;
}

// --- Modes

int CControlWindowSystem::GetMode() {
  CriticalSectionLock lock(m_StateLock);
  return m_Mode;
}

int CControlWindowSystem::GetSelectedMode() {
  CriticalSectionLock lock(m_StateLock);
  int mode = m_Mode == kModeSuspended ? m_SuspendedMode : m_Mode;
  if (mode == kModePlayers && m_TakenOverMode >= 0) mode = m_TakenOverMode;
  return mode < 0 ? kModeOff : mode;
}

void CControlWindowSystem::SetMode(int mode) { SwitchMode(mode, true, true); }

// A visualizer the viewer starts or stops showing is prepared or
// unprepared by its system.
void CControlWindowSystem::SetShownVisualizer(CControlWindowUser* user, bool visible) {
  if (user && ::IsKindOf<CVisualizer>(user)) GetVisualizerSystem().SetVisualizerVisible(visible);
}

void CControlWindowSystem::SwitchMode(int mode, bool notifyOld, bool notifyNew) {
  if (mode < kModeOff || mode > kModeSuspended) return;
  int old = 0;
  {
    CriticalSectionLock lock(m_StateLock);
    old = m_Mode;
    if (mode == old && mode == kModePlayers) m_TakenOverMode = -1;
  }
  if (mode != old) {
    m_Controller.ArmBar(false);
    CControlWindowUser* oldUser = nullptr;
    bool oldEnabled = false;
    {
      CriticalSectionLock lock(m_StateLock);
      oldUser = m_Users[old];
      oldEnabled = m_UserEnabled[old];
    }
    if (notifyOld && oldUser && oldEnabled) oldUser->OnViewerEvent(kEventViewerAccess, 0, 0);
    CloseViewerWindow();
    m_FullScreen->RequestLeave();
    CControlWindowUser* newUser = nullptr;
    bool newEnabled = false;
    CControlWindowUser* player = nullptr;
    {
      CriticalSectionLock lock(m_StateLock);
      m_Mode = mode;
      AdvanceGeneration();
      newUser = m_Users[mode];
      newEnabled = m_UserEnabled[mode];
      player = m_Users[kModePlayers];
    }
    AnnounceGeneration();
    m_Controller.SetKind(KindOfMode(mode));
    SetShownVisualizer(oldUser, false);
    if (notifyNew && newUser) {
      if (newEnabled) {
        m_Controller.ArmBar(true);
        newUser->OnViewerEvent(kEventViewerAccess, 1, 0);
      }
      SetShownVisualizer(newUser, true);
    }
    if (mode != kModeSuspended && mode != kModePlayers && player) player->OnViewerEvent(kEventHeldElsewhere, 0, 0);
  }
  GetControlWindowHost().OnControlWindowUserChanged();
}

void CControlWindowSystem::Suspend() {
  {
    CriticalSectionLock lock(m_StateLock);
    if (m_Mode == kModeSuspended) return;
    m_SuspendedMode = m_Mode;
  }
  SetMode(kModeSuspended);
}

void CControlWindowSystem::Resume() {
  int mode = 0;
  {
    CriticalSectionLock lock(m_StateLock);
    if (m_Mode != kModeSuspended) return;
    mode = m_SuspendedMode < 0 ? kModeOff : m_SuspendedMode;
  }
  SetMode(mode);
  CriticalSectionLock lock(m_StateLock);
  m_SuspendedMode = -1;
}

bool CControlWindowSystem::BeginPlayerTakeOver(bool notifyOld, bool notifyNew) {
  {
    CriticalSectionLock lock(m_StateLock);
    if (m_Mode == kModeSuspended) return false;
    m_TakenOverMode = m_Mode;
  }
  SwitchMode(kModePlayers, notifyOld, notifyNew);
  return true;
}

int CControlWindowSystem::EndPlayerTakeOver(bool notifyOld, bool notifyNew) {
  int restored = -1;
  bool suspended = false;
  {
    CriticalSectionLock lock(m_StateLock);
    restored = m_TakenOverMode;
    if (restored < 0) return -1;
    m_TakenOverMode = -1;
    suspended = m_Mode == kModeSuspended;
    if (suspended) m_SuspendedMode = restored;
  }
  if (!suspended) SwitchMode(restored, notifyOld, notifyNew);
  return restored;
}

void CControlWindowSystem::SetPlayerModeOverride(bool on) {
  CControlWindowUser* player = nullptr;
  int mode = 0;
  {
    CriticalSectionLock lock(m_StateLock);
    if (m_PlayerOverride == on) return;
    m_PlayerOverride = on;
    player = m_Users[kModePlayers];
    mode = m_Mode;
  }
  if (!on)
    EndPlayerTakeOver(true, true);
  else if (mode != kModeSuspended && mode != kModePlayers && player)
    player->OnViewerEvent(kEventHeldElsewhere, 0, 0);
  GetControlWindowHost().OnControlWindowStateChanged();
}

bool CControlWindowSystem::GetPlayerModeOverride() {
  CriticalSectionLock lock(m_StateLock);
  return m_PlayerOverride;
}

// --- The settings of each main window kind

void CControlWindowSystem::StoreModesOfCurrentKind() {
  {
    CriticalSectionLock lock(m_StateLock);
    if (m_KindSwitch) return;
  }
  const int selected = GetSelectedMode();
  CriticalSectionLock lock(m_StateLock);
  if (IsMiniKind(m_MainWindowKind)) {
    m_MiniMode = selected;
    m_MiniOverride = m_PlayerOverride;
  } else {
    m_NormalMode = selected;
    m_NormalOverride = m_PlayerOverride;
  }
}

int CControlWindowSystem::GetModeFor(int kind) {
  StoreModesOfCurrentKind();
  CriticalSectionLock lock(m_StateLock);
  return IsMiniKind(kind) ? m_MiniMode : m_NormalMode;
}

bool CControlWindowSystem::GetPlayerModeOverrideFor(int kind) {
  StoreModesOfCurrentKind();
  CriticalSectionLock lock(m_StateLock);
  return IsMiniKind(kind) ? m_MiniOverride : m_NormalOverride;
}

void CControlWindowSystem::SetModeFor(int kind, int mode) {
  if (mode < kModeOff || mode > kModeVisualizers) return;
  {
    CriticalSectionLock lock(m_StateLock);
    if (IsMiniKind(kind) != IsMiniKind(m_MainWindowKind)) {
      (IsMiniKind(kind) ? m_MiniMode : m_NormalMode) = mode;
      lock.Leave();
      GetControlWindowHost().OnControlWindowUserChanged();
      return;
    }
  }
  SetMode(mode);
}

void CControlWindowSystem::SetPlayerModeOverrideFor(int kind, bool on) {
  {
    CriticalSectionLock lock(m_StateLock);
    if (IsMiniKind(kind) != IsMiniKind(m_MainWindowKind)) {
      (IsMiniKind(kind) ? m_MiniOverride : m_NormalOverride) = on;
      lock.Leave();
      GetControlWindowHost().OnControlWindowStateChanged();
      return;
    }
  }
  SetPlayerModeOverride(on);
}

void CControlWindowSystem::BeginMainWindowModeChange() { BeginSkinChange(); }

void CControlWindowSystem::EndMainWindowModeChange() {
  EndSkinChange();
  StoreModesOfCurrentKind();
  int kind = 0;
  {
    DisplayLockScope display;
    kind = GetControlWindowHost().GetMainWindowKind();
  }
  int mode = 0;
  bool override = true;
  {
    CriticalSectionLock lock(m_StateLock);
    const int old = m_MainWindowKind;
    m_MainWindowKind = kind;
    if (old == kind || IsMiniKind(old) == IsMiniKind(kind)) return;
    m_KindSwitch = true;
    mode = IsMiniKind(kind) ? m_MiniMode : m_NormalMode;
    override = IsMiniKind(kind) ? m_MiniOverride : m_NormalOverride;
  }
  SetPlayerModeOverride(override);
  SetMode(mode);
  CriticalSectionLock lock(m_StateLock);
  m_KindSwitch = false;
}

// --- Users

void CControlWindowSystem::SetUser(DWORD slot, CControlWindowUser* user) {
  if (!IsSlot(slot)) return;
  CControlWindowUser* old = nullptr;
  bool enabled = false;
  {
    CriticalSectionLock lock(m_StateLock);
    old = m_Users[slot];
    if (old == user) return;
    if (static_cast<int>(slot) != m_Mode) {
      m_Users[slot] = user;
      return;
    }
    enabled = m_UserEnabled[slot];
  }
  m_Controller.ArmBar(false);
  if (old && enabled) old->OnViewerEvent(kEventViewerAccess, 0, 0);
  CloseViewerWindow();
  m_FullScreen->RequestLeave();
  {
    CriticalSectionLock lock(m_StateLock);
    m_Users[slot] = user;
    AdvanceGeneration();
    enabled = m_UserEnabled[slot];
  }
  AnnounceGeneration();
  if (user && enabled) {
    m_Controller.ArmBar(true);
    user->OnViewerEvent(kEventViewerAccess, 1, 0);
  }
  if (slot == kModePlayers && !user) EndPlayerTakeOver(true, true);
}

void CControlWindowSystem::EnableUser(DWORD slot) {
  if (!IsSlot(slot)) return;
  if (IsUserEnabled(static_cast<int>(slot))) DisableUser(slot);
  CControlWindowUser* user = nullptr;
  {
    CriticalSectionLock lock(m_StateLock);
    m_UserEnabled[slot] = true;
    if (static_cast<int>(slot) == m_Mode) user = m_Users[slot];
  }
  if (!user) return;
  m_Controller.ArmBar(true);
  user->OnViewerEvent(kEventViewerAccess, 1, 0);
}

void CControlWindowSystem::DisableUser(DWORD slot) {
  if (!IsSlot(slot)) return;
  bool current = false;
  CControlWindowUser* user = nullptr;
  {
    CriticalSectionLock lock(m_StateLock);
    if (!m_UserEnabled[slot]) return;
    current = static_cast<int>(slot) == m_Mode;
    user = m_Users[slot];
  }
  if (current) {
    m_Controller.ArmBar(false);
    if (user) user->OnViewerEvent(kEventViewerAccess, 0, 0);
    CloseViewerWindow();
    m_FullScreen->RequestLeave();
    {
      CriticalSectionLock lock(m_StateLock);
      AdvanceGeneration();
    }
    AnnounceGeneration();
  }
  {
    CriticalSectionLock lock(m_StateLock);
    m_UserEnabled[slot] = false;
    if (current) AdvanceGeneration();
  }
  if (current) AnnounceGeneration();
  // What the user still asked for is refused now, before this returns.
  ProcessRequestsOf(static_cast<int>(slot));
  if (slot == kModePlayers) EndPlayerTakeOver(true, true);
}

CControlWindowUser* CControlWindowSystem::GetUser(int slot) {
  if (slot < 0 || slot >= kSlotCount) return nullptr;
  CriticalSectionLock lock(m_StateLock);
  return m_Users[slot];
}

bool CControlWindowSystem::IsUserEnabled(int slot) {
  if (slot < 0 || slot >= kSlotCount) return false;
  CriticalSectionLock lock(m_StateLock);
  return m_UserEnabled[slot];
}

CControlWindowUser* CControlWindowSystem::GetCurrentUser() {
  CriticalSectionLock lock(m_StateLock);
  return m_Users[m_Mode];
}

bool CControlWindowSystem::IsCurrentUser(const void* handle) {
  if (!handle) return true;
  CriticalSectionLock lock(m_StateLock);
  CControlWindowUser* user = m_Users[m_Mode];
  return user && user->GetHandle() == handle;
}

bool CControlWindowSystem::IsUserOfSlot(const void* handle, int slot) {
  if (!handle) return true;
  if (slot < 0 || slot >= kSlotCount) return false;
  CriticalSectionLock lock(m_StateLock);
  CControlWindowUser* user = m_Users[slot];
  return user && user->GetHandle() == handle;
}

void CControlWindowSystem::CloseViewerWindow() {
  CriticalSectionLock lock(m_StateLock);
  if (!m_Shown) return;
  // The window itself is closed through the bar once it can show one.
  m_Shown = false;
}
