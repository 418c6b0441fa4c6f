// CUserInterface: the one object that brings up and takes down what the
// user sees. So far its display half: DirectDraw, the description of the
// display mode (kept in its CDisplayState, which it installs for the skin
// renderers), the palette of 8-bit displays, the primary surface, the
// clipper of the back buffer with its one-rectangle clip list, the back
// buffer that every window paints through, the primary blitter, the
// restoration of lost surfaces (also asked for by posting 1274 to its
// message window), the main window mode and the slot of the drawable skin.
//
// Threading: the user-interface thread. The display fields are read and
// changed under the display lock; the user interface's own lock is taken
// inside the display lock, never around it. AreSurfacesLost may be asked
// from any thread.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "app/core/UserInterfaceLink.h"
#include "app/keys/KeyEvents.h"
#include "app/keys/TriggerDatabase.h"
#include "app/keys/TriggerManager.h"
#include "app/update/UpdateChecker.h"
#include "display/MessageWindow.h"
#include "display/auxwindow/AuxWindowManager.h"
#include "display/paint/PrimaryBlitter.h"
#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayState.h"
#include "display/state/DisplaySurfaces.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "display/controls/SkinControlStyle.h"

class CAuxWindow;
class CColorTable;
class CSkin;
class CTrigger;
class CWindow;

// A full-screen display mode; {0, 0, 0} is the default one.
struct FullscreenMode {
  INT width = 0;
  INT height = 0;
  INT bitsPerPixel = 0;
  bool operator==(const FullscreenMode&) const = default;
};

class CUserInterface : public CTypedObject, public CDisplaySurfaces, public CUserInterfaceLink {
  TWL_DECLARE_CLASS(CUserInterface)
 public:
  static constexpr DWORD kBackBufferCaps = DDSCAPS_OFFSCREENPLAIN;
  // Posted to the message window by whoever finds a surface lost.
  static constexpr UINT kRestoreSurfacesMessage = 1274;
  static constexpr int kMainWindowCount = 5;

  CUserInterface();
  CUserInterface(const CUserInterface&) = delete;
  CUserInterface& operator=(const CUserInterface&) = delete;
  ~CUserInterface() override;

  // The display part of the start: the message window, DirectDraw, the
  // display mode data, the primary surface, the clipper, the back buffer
  // and the primary blitter. A failing primary surface or back buffer is
  // logged and the start goes on; a DirectDraw or clipper failure undoes
  // what was done (ExitDisplay) and is thrown on.
  void InitDisplay();
  // The display part of the shut-down, in the reverse order; harmless
  // when nothing is up.
  void ExitDisplay() noexcept;

  // DirectDraw through the program's loader, at the normal cooperative
  // level. Throws the error (a CDirectDrawError for a failing call) after
  // logging it; the display state is installed as the current one.
  void InitDirectDraw();
  void ExitDirectDraw() noexcept;

  // Reads the display mode. When it changed: keeps it, logs it, decides
  // whether it is supported (and logs why not), and hands the new pixel
  // format to the primary blitter. Throws a CDirectDrawError when the mode
  // cannot be read.
  void InitDisplayModeData();
  // Reads the display mode into `mode`; true when it differs from the
  // kept one. Throws like InitDisplayModeData.
  bool HasDisplayModeChanged(DDSURFACEDESC* mode);
  // 8-bit displays: the palette from the colours of a skin (see
  // CDisplayState::BuildPalette), realised as after a palette change, which
  // also makes the primary blitter's translation table. Throws the GDI
  // error.
  void BuildPalette(const CColorTable& colors);

  bool CreatePrimarySurface();
  void DestroyPrimarySurface() noexcept;
  bool RestorePrimarySurface();
  // Throws a CDirectDrawError.
  void CreateClipper();
  void DestroyClipper() noexcept;
  bool CreateBackBuffer();
  void DestroyBackBuffer() noexcept;
  bool RestoreBackBuffer();
  bool RestorePrimaryBlitter();

  // CDisplaySurfaces.
  IDirectDrawSurface2* GetPrimarySurface() override { return m_PrimarySurface; }
  IDirectDrawSurface2* GetBackBuffer() override;
  CPrimaryBlitter& GetPrimaryBlitter() override { return m_PrimaryBlitter; }
  bool AreSurfacesLost() override;
  // Restores the display mode data, the primary surface, the primary
  // blitter, the back buffer and every main window's surfaces, logging the
  // run; the surfaces-lost flag tells a failure afterwards. While one runs,
  // a further request is posted as 1274 to run after it.
  bool RestoreSurfaces() override;
  void RequestRestoreSurfaces() override;
  CDDSkin* GetDrawableSkin() override { return &m_DDSkin; }
  bool BuildSkinPalette(const CColorTable& colors) override {
    BuildPalette(colors);
    return true;
  }

  // The main windows, in their fixed order (0 main window, 1 playlist,
  // 2 file browser, 3 skin browser, 4 options); null where none exists.
  // The user interface does not own them yet.
  CWindow* GetMainWindow(int index) const;
  void SetMainWindow(int index, CWindow* window);

  CDisplayState& GetDisplayState() { return m_Display; }
  bool IsDisplayUnsupported() const { return m_UnsupportedDisplay; }
  IDirectDrawClipper* GetClipper() const { return m_Clipper; }
  // The clipper's clip list: one rectangle, the back buffer's.
  const RGNDATA* GetClipList() const { return reinterpret_cast<const RGNDATA*>(m_ClipList.data()); }
  HWND GetMessageWindowHandle() const { return m_MessageWindow.GetWindowHandle(); }
  // The main window mode: 0 normal, 1 small, 2 mini.
  int GetMode() const { return m_Mode; }
  // The drawable skin; empty until a skin is built into it.
  CDDSkin& GetDDSkin() { return m_DDSkin; }

  // The aux windows and their modal stack. BeginModal pushes a window and
  // answers the new modal count; the main window is disabled while the
  // count is above 0. EndModal is false when the window was not modal.
  CAuxWindowManager& GetAuxWindowManager() { return m_AuxWindows; }
  // A solid brush of a skin background colour (0 control, 1 edit, 2 list,
  // 3 combo, 4 tree), made again when the skin's colour changes; callers
  // never free it. Null for other indices.
  HBRUSH GetBrush(int index);
  // The tooltips' brushes, of the skin's "TooltipBackground" and
  // "TooltipBorder" colours, kept like the backgrounds'.
  HBRUSH GetTooltipBackgroundBrush();
  HBRUSH GetTooltipBorderBrush();
  int BeginModal(CAuxWindow* window);
  bool EndModal(CAuxWindow* window);

  // Key names as menus show them: the localised name of a virtual key
  // ("Alt", "F1", "Num7", "Page up"), else the keyboard's own name of it,
  // else "". GetSystemKeyName asks the keyboard alone ("" when it has no
  // name for the key).
  static CStr GetKeyName(UINT key);
  static CStr GetSystemKeyName(UINT key, bool extended);
  // The key tokens of the key bindings file: "A", "F12", "Num7", "PageUp",
  // else "#" and the number. ParseKeyToken reads them without regard to
  // case (also "#N" for any key and "NumSep"); 0 is no key.
  static CStr GetKeyToken(UINT key);
  static UINT ParseKeyToken(const char* token);
  // The display form of the first hotkey of the built-in trigger with
  // that id in "Main", as menus show it beside the command; "" when the
  // trigger is missing or has no keys.
  CStr GetMainTriggerKeyText(int id);
  // Opens a web page in the desktop's browser. When that fails the log
  // says so (code 0x100) and the answer is false.
  static bool StartWebBrowser(const char* url);

  // The whole start and shut-down. Init throws a CError on a fatal failure
  // after Exit undid what was done. PrepareExit runs before the systems
  // free the information records: every main window lets go of the
  // records it listens to, so that nothing is left attached to them when
  // they are freed and Exit's window destruction finds nothing to detach.
  void Init();
  void PrepareExit();
  void Exit() noexcept;
  // The main windows in their index order, each with the main owner
  // window as owner (see windows/MainWindowMakers.cpp); DestroyWindows goes from
  // the last to the first, then closes every aux window still open.
  void CreateWindows();
  void DestroyWindows() noexcept;

  // Which must be 0; anything else sets the thread error and answers none.
  HFONT GetControlFont(int which);
  HCURSOR GetCursor() const { return m_Cursor; }
  // The compiled built-in skin, kept in the program's resources.
  const BYTE* GetDefaultSkinData() const { return m_DefaultSkinData; }
  DWORD GetDefaultSkinSize() const { return m_DefaultSkinSize; }

  // The skin: "<default>" for the built-in one, else the full path of a
  // compiled skin file or of a skin folder (ending in a separator).
  static constexpr const char* kDefaultSkinName = "<default>";
  const CStr& GetSkinName() const { return m_SkinName; }
  void SetSkinName(const CStr& name) { m_SkinName = name; }
  // Reads the stored "Skin" value (relative names lie in the Skins folder);
  // SaveSkinOption stores the name, relative when it lies there.
  void LoadSkinOption();
  void SaveSkinOption();
  // Builds the drawable skin from the current skin name; an unreadable
  // skin falls back to the built-in one, which is saved as the choice.
  // False when the skin's surfaces could not be made; throws when even the
  // built-in skin cannot be read.
  bool InitSkin();
  void ExitSkin() noexcept;
  void LoadSkin(CSkin& skin, const CStr& name);
  void LoadDefaultSkin(CSkin& skin);
  void LoadDefaultMiniWindowSkin(CSkin& skin);
  // CUserInterfaceLink. ChangeSkin ends the program when no skin at all
  // can be built.
  void ChangeSkin(const char* name) override;
  bool IsMinimized() override { return m_Minimized; }
  bool IsMinimizedToTray() const { return m_Minimized && m_MinimizedToTray; }
  void MinimizeAll(bool toTray) override;
  void RestoreAll() override;
  void OnOwnerActivate(bool active) override;
  void OnDisplayChange() override;
  void OnPaletteChanged(HWND window) override;
  void RealizePalette();

  // Brackets around a skin change and a main window mode change: the main
  // windows and the aux windows let go of the skin and take the new one.
  void BeginSkinChange();
  void EndSkinChange();
  void BeginModeChange();
  void EndModeChange();
  bool IsChangingSkin() const { return m_ChangingSkin; }

  // Text and controls drawn with the skin's fonts and colours. Without a
  // built skin the style is zeroed and the answer false; the font figures
  // are then 1.
  bool GetSkinControlStyle(SkinControlStyle* style);
  bool MeasureTextExtent(const SkinControlStyle& style, int count, const char* const* texts, int* width,
                         int* height, int extraWidth, int extraHeight);
  int GetFontHeight(int font);
  int GetTextWidth(int font, const char* text);

  bool ShowWindowByIndex(int index, bool bringToTop);
  void SetMainWindowZOrder(HWND insertAfter);
  void UpdateHoverStates();
  int GetModalCount() const { return m_AuxWindows.GetModalCount(); }

  // Full-screen modes: {0, 0, 0} first, then the display's modes of at
  // least 640 x 400 x 8, by width, height and falling depth.
  void InitFullscreenModes();
  void ClearFullscreenModes() noexcept;
  int FindFullscreenMode(INT width, INT height, INT bitsPerPixel) const;
  void SetFullscreenMode(int index);
  const std::vector<FullscreenMode>& GetFullscreenModes() const { return m_FullscreenModes; }
  int GetFullscreenModeIndex() const { return m_FullscreenModeIndex; }

  // A 1 x 1 surface made and released at once: DDERR_UNSUPPORTEDMODE when
  // the display cannot be drawn in now (locked by another desktop).
  HRESULT TestDisplayAccess();
  bool HasHardwareColorKey() const { return m_HardwareColorKey; }

  // --- The user-interface options, kept in the settings key ---
  // Read once before the start, the skin option with them; each setter
  // applies its option at once and writes it back. Registry failures are logged and never shown.
  void LoadOptions();
  void SaveModeOptions();
  void SaveWindowDocking();
  void SaveWindowAnimation();
  void SaveUpdateNotification();
  void SaveTooltipsEnabled();
  void SaveOnTopOptions();
  void SaveUserInformed();
  void SetMode(int mode);
  void ToggleSmallMode();
  void ToggleMiniMode();
  // Mode -1: the current mode.
  bool IsOnTop(int mode) const;
  void ToggleOnTop(int mode);
  void SetWindowDocking(bool on);
  void SetWindowAnimation(bool on, bool save);
  void SetUpdateNotification(bool on);
  // Switches the tooltips of every main window.
  void SetTooltipsEnabled(bool on);
  bool AreTooltipsEnabled() const { return m_TooltipsEnabled; }
  // Window animation needs colour-keyed blits in hardware: without them it
  // is off for this run (the stored choice stays). Once DirectDraw is up.
  void DecideWindowAnimation(bool hardwareColorKey);
  // The first start's question whether to look for updates.
  void AskUpdateCheck();
  // The update check: started once per start (1344) when the option is on,
  // its result arrives as 1345; a dialog that cannot be shown now waits
  // for the main window's 1359. Stopped first at the end.
  static constexpr UINT kUpdateCheckDoneMessage = 1345;
  static constexpr UINT kRetryUpdateDialogMessage = 1359;
  void InitUpdateCheck();
  void StartUpdateCheck();
  void StopUpdateCheck() { m_UpdateChecker.Stop(); }
  void OnUpdateCheckDone();
  void RetryPendingUpdateDialog();
  bool CanShowUpdateDialog();
  void ShowUpdateDialog();
  // Throws the thread's error when the value cannot be written.
  static void WriteLastSkippedVersion(DWORD version);
  // After the start: the notice that animation was switched off (once),
  // then the main window's introduction question and the update check are
  // posted to run from the message loop.
  void ShowStartupNotices();
  int GetPrevMode() const { return m_PrevMode; }
  bool IsWindowDockingOn() const { return m_WindowDocking; }
  bool IsWindowAnimationOn() const { return m_WindowAnimation; }
  bool IsAnimationOffForHardware() const { return m_AnimationOffForHardware; }
  bool IsUserInformedAboutAnimation() const { return m_UserInformedAboutAnimation; }
  bool IsUpdateNotificationOn() const { return m_UpdateNotification; }

  // --- Commands of the message window, accelerators and help ---
  // Messages the message window takes from other threads and objects.
  static constexpr UINT kRestoreAllMessage = 1230;
  static constexpr UINT kMainWindowIntroMessage = 1349;
  static constexpr UINT kInitUpdateCheckMessage = 1344;
  static constexpr WORD kFirstAcceleratorCommand = 4096;
  static constexpr int kAcceleratorCount = 9;
  enum HelpTopic { kNoHelpTopic = 0, kPlaylistFoldersTopic = 1 };
  static constexpr int kWebPageCount = 10;

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Only accelerator commands (code 1) run; anything else is ignored.
  void OnCommand(UINT id, UINT code);
  void ExecuteAccelerator(int index);
  // Init's last step, once the windows are up; Exit destroys it first. A
  // failing table is logged and the program runs without accelerators.
  void CreateAcceleratorTable();
  void DestroyAcceleratorTable() noexcept;
  HACCEL GetAcceleratorTable() const { return m_Accelerators; }
  // The message loop's hook: true when the message was an accelerator,
  // whose command went to the message window whatever had the focus.
  bool TranslateAccelerator(MSG* message);
  // Tab and Shift+Tab between the tab stops of an aux window.
  void MoveFocus(bool forward);
  // F1: asks which help a main window wants, else opens the help.
  void ShowContextHelp();
  bool ShowHelp(HWND owner, int topic);
  // The maker's web pages; empty outside 0 .. kWebPageCount - 1.
  static CStr GetWebPageUrl(int index);
  // The maker's web host the pages and the update check use: TWL_WEB_HOST
  // when set (a "file://" folder serves as a host too), else the maker's.
  static CStr GetWebHost();

  // --- Triggers, key bindings and key events ---
  // Posted to the message window: the current visualizer or player
  // changed (their partitioned triggers follow), and a plug-in's key press
  // (wParam: key | flags << 24; lParam: the posting plug-in object).
  static constexpr UINT kVisualizerTriggersMessage = 1324;
  static constexpr UINT kPlayerTriggersMessage = 1325;
  static constexpr UINT kPostedKeyEventMessage = 1354;
  static constexpr DWORD kKeyBindingsValueSize = 2000;
  static constexpr const char* kKeyBindingsFileName = "Keys.ini";

  CTriggerManager& GetTriggerManager() { return m_Triggers; }
  CTriggerDatabase& GetTriggerDatabase() { return m_TriggerDatabase; }
  CKeyEventManager& GetKeyEventManager() { return m_KeyEvents; }
  // The built-in triggers with their default keys, replaced by the user's
  // from Keys.ini in the program folder (in `programFolder`, which ends in
  // a separator); the full-screen ones start disabled. ReleaseKeyBindings
  // removes every trigger and closes the file.
  void LoadKeyBindings();
  void LoadKeyBindings(const char* programFolder);
  void ReleaseKeyBindings() noexcept;
  // A built-in trigger's command, by its id.
  void ExecuteTrigger(CTrigger* trigger);
  // The full-screen triggers act only while full screen is shown.
  void EnableFullscreenTriggers(bool on);
  // The partitioned triggers of plug-ins fire only for the current
  // visualizer or player (1324, 1325).
  void ActivateVisualizerTriggers();
  void ActivatePlayerTriggers();
  // A key message (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP: the
  // key and its lParam) as a key event to every listener, with the Ctrl,
  // Alt and Shift state the message came with.
  void OnKey(UINT key, LPARAM keyMessageData);
  void DispatchKeyEvent(DWORD key, DWORD flags);
  // The listener that runs the triggers (start), and the removal of every
  // listener (shut-down).
  void InitKeyEvents();
  void ExitKeyEvents() noexcept;
  // A key a plug-in posted (1354): dispatched when it comes from no
  // plug-in object or from the viewer's current user, else dropped.
  void OnPostedKeyEvent(DWORD key, DWORD flags, PLUGIN_HANDLE poster);

 private:
  static void OnMessage(void* self, UINT message, WPARAM wParam, LPARAM lParam);
  // The player system's notices (1224-1229) and playlist reports go to
  // the main window (PlayerNotices.cpp).
  void ConnectPlayerNotices();
  void DisconnectPlayerNotices() noexcept;
  void OnPlayerNotice(UINT message);
  void BuildClipList();
  void FindDefaultSkinData();
  // InitDisplayModeData's reading of the mode, without the access test.
  void ReadDisplayModeData();
  bool BuildCurrentSkin();
  void UseDefaultSkin(CSkin& skin);
  HRESULT CreateDrawableSkin(CSkin& skin);
  bool RestoreMainWindows();
  bool RestoreSystemSurfaces();

  CMessageWindow m_MessageWindow;
  CDisplayState m_Display;
  IDirectDrawSurface2* m_PrimarySurface = nullptr;
  IDirectDrawSurface2* m_BackBuffer = nullptr;
  IDirectDrawClipper* m_Clipper = nullptr;
  std::array<BYTE, sizeof(RGNDATAHEADER) + sizeof(RECT)> m_ClipList{};
  bool m_UnsupportedDisplay = false;
  CPrimaryBlitter m_PrimaryBlitter;
  CDDSkin m_DDSkin;
  bool m_SurfacesLost = false;
  bool m_Restoring = false;
  int m_Mode = 0;
  std::array<CWindow*, kMainWindowCount> m_MainWindows{};
  // The user interface's own lock.
  CriticalSection m_Lock;
  // The five backgrounds, then the tooltip background and border.
  static constexpr size_t kTooltipBackgroundSlot = 5;
  static constexpr size_t kTooltipBorderSlot = 6;
  HBRUSH SkinColorBrush(size_t slot, int colorIndex);
  std::array<HBRUSH, 7> m_Brushes{};
  std::array<COLORREF, 7> m_BrushColors{};
  HFONT m_ControlFont = nullptr;
  HCURSOR m_Cursor = nullptr;
  const BYTE* m_DefaultSkinData = nullptr;
  DWORD m_DefaultSkinSize = 0;
  CStr m_SkinName;
  bool m_ChangingSkin = false;
  bool m_Minimized = false;
  bool m_MinimizedToTray = false;
  bool m_HardwareColorKey = false;
  std::vector<FullscreenMode> m_FullscreenModes;
  int m_FullscreenModeIndex = 0;
  int m_PrevMode = 0;
  bool m_WindowDocking = false;
  bool m_WindowAnimation = true;
  bool m_AnimationOffForHardware = false;
  bool m_UserInformedAboutAnimation = false;
  bool m_UpdateNotification = true;
  CUpdateChecker m_UpdateChecker;
  bool m_UpdateDialogPending = false;
  bool m_TooltipsEnabled = true;
  bool m_MainWindowOnTop = false;
  bool m_MiniMainWindowOnTop = true;
  HACCEL m_Accelerators = nullptr;
  // The key events' listeners go before the triggers they run.
  CTriggerManager m_Triggers;
  CTriggerDatabase m_TriggerDatabase;
  CKeyEventManager m_KeyEvents;
  // Last, so that its windows go first.
  CAuxWindowManager m_AuxWindows;
};

// The program's one user interface object.
CUserInterface& GetUserInterface();
