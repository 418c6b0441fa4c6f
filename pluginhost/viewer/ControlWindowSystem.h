// CControlWindowSystem: the broker of the viewer window. It decides who may
// use the viewer (mode 0 nobody, 1 the current player, 2 the current
// visualizer, 3 suspended while the main window is hidden), keeps the
// viewer settings per main window kind (normal and small share one set,
// mini has its own), owns every viewer-window provider of the plug-ins and
// prepares the current one, tells users when they gain or lose the viewer,
// lets a player take the viewer over while the override allows it, and
// arbitrates full screen. Every change of mode or of the current user
// starts a new generation, so requests of an older one are refused.
//
// Threading: the user-interface thread, except the operations the host API
// reaches, which plug-in threads call too. The state lock guards mode,
// users, enabled flags, sizes, counts and the generation; the queue lock
// the request queue; the id lock the request counter. One order when
// nested: the display lock, then the state lock, then the queue lock.
// Users, providers, the bar and the full-screen manager are called outside
// the state lock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "display/MessageWindow.h"
#include "display/fullscreen/FullScreen.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/viewer/ControlWindowController.h"
#include "pluginhost/viewer/ViewerWindowSystem.h"

class CControlWindowProvider;
class CControlWindowUser;
class CPlugIn;
class CPlugInManager;
struct ViewerRequest;
struct ViewerWindowRecord;

class CControlWindowSystem : public CTypedObject, public CViewerWindowSystem {
  TWL_DECLARE_CLASS(CControlWindowSystem)
 public:
  enum Mode : int { kModeOff = 0, kModePlayers = 1, kModeVisualizers = 2, kModeSuspended = 3 };
  static constexpr int kSlotCount = 4;
  // Messages of the system's message window.
  static constexpr UINT kProcessRequestsMessage = 1124;
  static constexpr UINT kCompleteMinimizeMessage = 1125;
  static constexpr UINT kProviderWindowActivatedMessage = 1126;
  static constexpr UINT kSetDisplayModeMessage = 1127;
  // Viewer events of this system: gained (argument 1) or lost (0) the
  // viewer; to the player: the viewer is held in another mode.
  static constexpr DWORD kEventViewerAccess = 0;
  static constexpr DWORD kEventHeldElsewhere = 200;

  CControlWindowSystem();
  CControlWindowSystem(const CControlWindowSystem&) = delete;
  CControlWindowSystem& operator=(const CControlWindowSystem&) = delete;
  ~CControlWindowSystem() override;

  // --- Settings and life cycle (user-interface thread)
  void LoadSettings();
  // Only after LoadSettings; a settings key that cannot be opened writes
  // nothing.
  void SaveSettings();
  void Init(CPlugInManager* plugIns);
  void InitProvidersOf(CPlugIn& plugIn);
  void InitNewPlugIns(CPlugInManager& plugIns, INT first);
  void Exit();
  // -1: no provider. Neither unprepares the old one nor prepares the new.
  void SelectProvider(INT index);
  INT GetProviderCount();
  CControlWindowProvider* GetProvider(INT index);
  INT GetCurrentProviderIndex();
  CControlWindowProvider* GetCurrentProvider();
  CStr GetProviderKey();
  // The full-screen manager; not owned, null puts the absent one back.
  // Set it before Init.
  void SetFullScreenManager(CFullScreen* manager);
  CFullScreen& GetFullScreenManager() { return *m_FullScreen; }
  CControlWindowController& GetController() { return m_Controller; }

  // --- Modes
  int GetMode();
  // The mode as the user chose it: the remembered one while suspended or
  // while a player holds the viewer by takeover.
  int GetSelectedMode();
  void SetMode(int mode);
  void SwitchMode(int mode, bool notifyOld, bool notifyNew);
  void Suspend();
  void Resume();
  bool BeginPlayerTakeOver(bool notifyOld, bool notifyNew);
  // The restored mode, or -1 when no takeover was recorded.
  int EndPlayerTakeOver(bool notifyOld, bool notifyNew);
  void SetPlayerModeOverride(bool on);
  bool GetPlayerModeOverride();
  // The settings of a main window kind (0 and 1 normal, 2 mini); those of
  // the kind not shown are only stored.
  int GetModeFor(int kind);
  bool GetPlayerModeOverrideFor(int kind);
  void SetModeFor(int kind, int mode);
  void SetPlayerModeOverrideFor(int kind, bool on);
  void StoreModesOfCurrentKind();
  void BeginMainWindowModeChange();
  void EndMainWindowModeChange();
  // Nothing ever leaves an override pending: false, and nothing to apply.
  bool IsPlayerModeOverridePending() { return false; }
  void ReapplyPlayerModeOverride() {}

  // --- Users (CViewerWindowSystem: the player and visualizer systems)
  void SetUser(DWORD slot, CControlWindowUser* user) override;
  void EnableUser(DWORD slot) override;
  void DisableUser(DWORD slot) override;
  CControlWindowUser* GetCurrentUser() override;
  CControlWindowUser* GetUser(int slot);
  bool IsUserEnabled(int slot);
  // True for a null handle.
  bool IsCurrentUser(const void* handle);
  bool IsUserOfSlot(const void* handle, int slot);
  int GetGeneration();

  // --- Display modes (0 windowed, 1 full screen)
  void SetPlayerDisplayMode(int value);
  void SetVisualizerDisplayMode(int value);
  void SetDisplayMode(int value);
  void ToggleDisplayMode();
  int GetPlayerDisplayMode();
  int GetVisualizerDisplayMode();
  // Asks the user-interface thread to set the display mode for `caller`,
  // which must then be the current user; any thread.
  void PostSetDisplayMode(int mode, const void* caller);

  // --- Geometry
  // The outer height of a viewer whose user draws `contentHeight` rows,
  // and the rows that are not content (the bar and the margins).
  INT GetWindowHeightFor(INT contentHeight, INT* nonContentHeight);
  // The window height, or with the flag the content height.
  INT GetViewerExtent(bool content);
  void GetBarMargins(INT margins[4]);
  bool IsWindowShown();

  // --- Skin and display changes (user-interface thread)
  void IncBusyCount();
  int GetBusyCount();
  void BeginSkinChange();
  void EndSkinChange();
  bool RestoreSurfaces();
  void NotifyProviderLayout();
  void NotifyProviderRefresh();
  void ForwardToVisualizer(DWORD code, DWORD value);

  // --- Full screen (user-interface thread)
  bool IsFullScreenActive();
  void RetryFullScreenLeave();
  void OnFullScreenWindowActivated(bool active);
  void OnActivateApp(WPARAM active);
  void MinimizeFromFullScreen(bool deferred);
  void CompleteFullScreenMinimize();
  void OnOwnerWindowActivated(bool active);

  // Ends the viewer window of the current user; nothing while none shows.
  void CloseViewerWindow();

  // --- Requests (any thread posts; the user-interface thread works them)
  int32_t NextRequestId();
  // False with MiscError AccessDenied for a caller that is no enabled user.
  bool PostCreateRequest(INT contentHeight, DWORD flags, int32_t* id, const void* caller);
  bool PostCloseRequest(const void* caller);
  void ProcessRequests();
  // Works at once every queued request of the slot's user.
  void ProcessRequestsOf(int slot);
  // The user whose handle this is, and its slot (-1 none).
  CControlWindowUser* FindUser(const void* handle, int* slot);
  int FindUserSlot(const void* handle);

  // Tests start near the end of the generation counter.
  void SetGenerationForTesting(int generation);

 private:
  static void OnMessage(void* context, UINT message, WPARAM wParam, LPARAM lParam);
  static int KindOfMode(int mode);
  static bool IsSlot(DWORD slot) { return slot < kSlotCount; }
  bool IsMiniKind(int kind) const { return kind == 2; }

  // With the state lock held: the next generation (never 0).
  void AdvanceGeneration();
  // Outside the state lock: what follows every new generation.
  void AnnounceGeneration();
  void ChooseProvider();
  void WriteProviderKey();
  void DeleteProviders();
  void SetShownVisualizer(CControlWindowUser* user, bool visible);
  void RestoreAfterFullScreenMinimize();
  bool PostRequest(ViewerRequest* request, bool internal);
  void HandleRequest(ViewerRequest& request);
  void HandleCreate(ViewerRequest& request);
  void HandleCreateDone(ViewerRequest& request);
  void HandleClose(ViewerRequest& request);
  // A request of an older generation is refused before anything else.
  void CheckStale(ViewerRequest& request);
  void ReportRequestError(ViewerRequest& request);
  void PostCompletion(int32_t code, ViewerRequest& from, ViewerWindowRecord* window, int32_t counted);
  void FreeQueuedRequests();

  std::vector<CControlWindowProvider*> m_Providers;  // owned
  int m_Mode = kModeVisualizers;
  CControlWindowUser* m_Users[kSlotCount] = {};
  bool m_UserEnabled[kSlotCount] = {};
  bool m_Shown = false;
  CControlWindowProvider* m_Provider = nullptr;
  INT m_ProviderIndex = -1;
  CControlWindowController m_Controller;
  INT m_WindowHeight = 0;
  INT m_ContentHeight = 0;
  INT m_NonContentHeight = 0;
  int m_PlayerDisplayMode = 0;
  int m_VisualizerDisplayMode = 0;
  int m_SuspendedMode = -1;
  bool m_PlayerOverride = true;
  int m_TakenOverMode = -1;
  int m_BusyCount = 0;
  int m_Generation = 1;
  CFullScreen* m_FullScreen;
  CMessageWindow m_MessageWindow;
  CriticalSection m_StateLock;
  CriticalSection m_QueueLock;
  CriticalSection m_IdLock;
  int32_t m_RequestCounter = 0;
  std::vector<ViewerRequest*> m_Requests;        // owned; FIFO
  std::vector<ViewerWindowRecord*> m_WindowRecords;  // owned; out at the provider
  ViewerWindowRecord* m_PendingWindow = nullptr;
  bool m_HandleAccess = false;
  int m_FullScreenSwitch = 0;
  // Whether this thread keeps a hold of the display lock from
  // MinimizeFromFullScreen for CompleteFullScreenMinimize.
  bool m_HoldsDisplayForMinimize = false;
  bool m_SettingsLoaded = false;
  CStr m_ProviderKey;
  int m_NormalMode = kModeVisualizers;
  int m_MiniMode = kModeOff;
  bool m_NormalOverride = true;
  bool m_MiniOverride = true;
  bool m_KindSwitch = false;
  int m_MainWindowKind = 0;
};

// The program's one viewer window system, made on first use and never
// destroyed.
CControlWindowSystem& GetControlWindowSystem();
