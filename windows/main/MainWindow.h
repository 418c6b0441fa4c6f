// CMainWindow: the player's skinned main window, with the transport
// buttons, the progress and volume bars, the play-time field and the
// scrolling info field. Everything it shows comes from the current skin's
// description of the current mode (0 normal, 1 small, 2 mini): the window
// builds its controls, shape and tooltips from it whenever a skin is
// applied or the mode changes, and drops them when the skin is released.
// Normal and small share one stored place; mini has its own.
//
// It follows playback two ways: the user interface calls the Update and On
// operations when the player system reports a change, and a 50 ms tick
// polls what reports nothing (position, bytes read) and drives the info
// field, the background animation and a few duties of other parts.
//
// Threading: the user-interface thread, except the entry listener's
// callback, which may come on any thread and only posts 1125. Skin objects
// are read under the display lock; the current entry's information under
// the file information lock.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/ui/MainWindowNotices.h"
#include "display/window/Window.h"
#include "foundation/kernel/Str.h"
#include "pluginhost/fileinfo/FileObjectInfoRecord.h"
#include "windows/main/MainWindowSchedule.h"
#include "windows/main/MainWindowTray.h"

class CDDControl;
class CDDImageControl;
class CDDLabel;
class CDDSurfaceText;
class CMainWindow;
class CDDMainWindowSkin;
struct FileInfoRecord;

// Hears changes of the current entry's information (any thread) and posts
// them to the main window as 1125.
class CMainWindowEntryListener : public FileObjectListener {
 public:
  explicit CMainWindowEntryListener(CMainWindow* owner) : m_Owner(owner) {}
  void OnFileObjectChanged(FileObjectInfoRecord* record, DWORD changes) override;
  void OnFileObjectDetached(FileObjectInfoRecord* record) override;

 private:
  CMainWindow* m_Owner;
};

class CMainWindow : public CWindow, public CMainWindowNotices {
  TWL_DECLARE_CLASS(CMainWindow)
 public:
  static constexpr char kClassName[] = "TWLMainWindow class";
  static constexpr int kButtonCount = 19;
  enum Button : int {
    kPlay = 0,
    kStop = 1,
    kPause = 2,
    kNext = 3,
    kPrevious = 4,
    kLoop = 5,
    kShuffle = 6,
    kPlayList = 7,
    kOptions = 8,
    kHelp = 9,
    kMinimize = 10,
    kSmall = 11,
    kExit = 12,
    kMenu = 13,
    kInternet = 14,
    kSkinBrowser = 15,
    kMini = 16,
    kBurn = 17,
    kQuickPlay = 18,
  };
  // Control ids besides the buttons (whose id is their index).
  static constexpr int kProgressBarId = 100;
  static constexpr int kVolumeBarId = 101;
  static constexpr int kTimeFieldId = 120;  // to 124
  static constexpr int kInfoFieldId = 150;
  static constexpr int kTimeFieldCount = 5;
  // Messages of the window itself.
  static constexpr UINT kTrayMessage = 1124;
  static constexpr UINT kEntryInfoChangedMessage = 1125;
  static constexpr UINT kForegroundMessage = 1190;
  // Posted to the user interface's message window every 10 s.
  static constexpr UINT kRetryUpdateDialogMessage = 1359;

  CMainWindow();
  ~CMainWindow() override;

  // Makes the window for the user interface's mode, at its stored place,
  // and applies the skin. Throws a CError when the class or the window
  // cannot be made.
  void Create(HWND parent, CWindowOwner* owner);

  // CWindow.
  void Destroy() override;
  void ReleaseResources() override;
  void OnSkinChange(int phase) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  int OnControlEvent(int type, CDDControl* control, void* data) override;
  bool OnClose() override;
  void OnMouseButtonDown(int button, int x, int y) override;
  void OnKeyDown(UINT key, LPARAM data) override;
  void OnKeyUp(UINT key, LPARAM data) override;
  void OnSysKeyDown(UINT key, LPARAM data) override;
  void OnSysKeyUp(UINT key, LPARAM data) override;
  void OnMinimize(bool toTray) override;
  void OnRestore() override;
  void OnMove(int x, int y) override;
  void OnActivate(bool active, HWND other) override;
  // The window's menu commands; a single place for the menus to join.
  void OnCommand(UINT notifyCode, UINT id, HWND control) override;
  void OnTick() override;
  void OnFilesDropped(const char* const* urls, int count) override;
  // A button was clicked: the button's command (until the commands are
  // wired, the click changes only the button's look).
  void OnControlClicked(CDDControl* control) override;
  bool BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) override;
  bool IsMoveArea(int x, int y) override;
  bool Paint(const RECT* rect) override;

  // The menus (windows/main/MainWindowMenus.cpp). ShowMenu builds the main
  // menu (kind 0) or the tray menu (kind 1) and tracks it at the screen
  // point; false, with the reason in the log, when it cannot be shown.
  // At most one menu exists: showing one destroys the one before, and so
  // does every command.
  bool ShowMenu(int x, int y, UINT flags, int kind);
  bool ShowMenuAtCursor();
  // The main menu at the window's centre, unless full screen is shown or
  // being left (the "Menu" key).
  bool ShowMenuCentered() override;
  bool ShowInternetMenuAtCursor();
  // The tray icon's message (1124): lParam, the mouse message.
  void OnTrayNotify(UINT mouseMessage);
  HMENU GetPopupMenu() const { return m_PopupMenu; }
  mainwindow::CMainWindowTray& GetTray() { return m_Tray; }

  // Before the information records go (shut-down): forgets the current
  // entry, so Destroy finds nothing attached.
  void PrepareExit() override;
  // The second half of a mode change (phase 3 with the user interface's
  // mode): the new mode's skin, and the place stored for it when the
  // change went into or out of mini mode.
  void ApplyMode(int mode);
  void EnableAnimation(bool enable);
  void UpdateOnTop();
  void SetZOrder(HWND after);

  // CMainWindowNotices: player system notifications (through the user
  // interface).
  void OnCurrentEntryChanged() override;
  void OnEntriesInserted() override;
  void OnEntriesRemoved() override;
  void UpdateLoopButton() override;
  void UpdateShuffleButton() override;
  void UpdatePauseButton() override;
  void UpdatePlayStateButtons() override;
  void OnVolumeChanged() override;

  // The displays, each doing nothing when what it shows is unchanged.
  void UpdateBytesRead();
  void UpdatePosition();
  void UpdateTimeDisplay();
  void UpdateProgressBar();
  void UpdateProgressTooltip();
  void UpdateVolumeTooltip();
  void UpdateTitle();
  void UpdateCaption();

  // What tests and the commands read.
  int GetMode() const { return m_Mode; }
  CDDControl* GetButton(int index) const;
  CDDImageControl* GetProgressBar() const { return m_ProgressBar; }
  CDDImageControl* GetVolumeBar() const { return m_VolumeBar; }
  CDDLabel* GetTimeField(int index) const;
  bool HasSingleTimeField() const { return m_SingleTimeField; }
  CDDSurfaceText* GetInfoField() const;
  const CStr& GetTitleText() const { return m_TitleText; }
  const CStr& GetBytesReadText() const { return m_BytesReadText; }
  const CStr& GetCaptionText() const { return m_CaptionText; }
  // The bars' tooltip texts; empty where the bar has no tooltip.
  CStr GetProgressTooltip() const { return m_ProgressTooltip ? m_ProgressTooltip->GetText() : CStr(); }
  CStr GetVolumeTooltip() const { return m_VolumeTooltip ? m_VolumeTooltip->GetText() : CStr(); }
  int GetCurrentEntryNumber() const { return m_CurrentEntry; }
  FileInfoRecord* GetCurrentFileInfo() const { return m_CurrentFileInfo; }
  HRGN GetWindowRegion() const { return m_Region; }
  bool IsAnimationRunning() const { return m_AnimationRunning; }
  int GetAnimationFrame() const { return m_AnimationFrame; }
  MainWindowSchedule& GetSchedule() { return m_Schedule; }
  // The stored place's name of a mode: "MiniMainWindow" or "MainWindow".
  static const char* RectNameOf(int mode);

 private:
  friend class CMainWindowEntryListener;
  friend class CMainWindowCommandActions;

  void RegisterClass();
  void ApplySkin();
  void ReleaseSkin();
  void ApplyRegion(CDDMainWindowSkin& skin);
  void CreateButtons(CDDMainWindowSkin& skin);
  void CreateTimeFields(CDDMainWindowSkin& skin);
  void CreateBars(CDDMainWindowSkin& skin);
  void CreateInfoField(CDDMainWindowSkin& skin);
  void SetInitialButtonStates();
  void BuildTooltips(CDDMainWindowSkin& skin);
  void BindCurrentEntry(int number, FileInfoRecord* info);
  void UnbindCurrentEntry();
  void RunDuties(uint32_t due);
  void PaintInfoPager();
  void NextAnimationFrame();
  bool DrawAnimationFrame();
  bool RefreshButtonsOverAnimation();
  void OnBarEvent(int type, CDDImageControl* bar, const POINT& point);
  void ReportDrawFailure(const char* control);
  void SetButtonDisabled(int index, bool disabled);
  void SetButtonChecked(int index, bool checked);
  void InvalidateControl(CDDControl* control);
  bool ShowWhatsThisMenu(int page, int x, int y);
  // Tracks a built menu (null: the build failed and its reason is logged).
  bool TrackMenu(HMENU menu, int kind, int x, int y, UINT flags);
  void DestroyPopupMenu();
  void OnRightButtonDown(int x, int y);

  HRGN m_Region = nullptr;
  int m_CurrentEntry = -1;
  FileInfoRecord* m_CurrentFileInfo = nullptr;
  CMainWindowEntryListener m_Listener;
  CStr m_BytesReadText;
  CStr m_TitleText;
  CStr m_CaptionText;
  ULONGLONG m_LastBytesRead = ~0ULL;
  bool m_BytesReadKnown = false;
  DWORD m_LastPosition = ~0u;
  DWORD m_LastProgressPosition = ~0u;
  DWORD m_LastProgressLength = ~0u;
  MainWindowSchedule m_Schedule;
  int m_AnimationFrame = -1;
  bool m_AnimationRunning = false;
  DWORD m_NextFrameTime = 0;
  bool m_ButtonRefreshPending = false;
  std::array<CDDControl*, kButtonCount> m_Buttons{};
  std::array<bool, kButtonCount> m_ButtonAnimated{};
  // The animation's frames, which the animated buttons paint into.
  std::vector<IDirectDrawSurface2*> m_FrameTargets;
  std::array<CDDLabel*, kTimeFieldCount> m_TimeFields{};
  bool m_SingleTimeField = false;
  CDDControl* m_InfoField = nullptr;
  CDDImageControl* m_ProgressBar = nullptr;
  CDDImageControl* m_VolumeBar = nullptr;
  // The bars' tooltips, owned by the window's tooltip manager; null where
  // the bar has none.
  CSkinTooltip* m_VolumeTooltip = nullptr;
  CSkinTooltip* m_ProgressTooltip = nullptr;
  // Menus and the tray icon (the commands' part).
  HMENU m_PopupMenu = nullptr;
  int m_PopupMenuKind = 0;
  mainwindow::CMainWindowTray m_Tray{GetModuleHandleA(nullptr)};
  bool m_AnimationEnabled = true;
  bool m_OnTop = false;
  int m_Mode = 0;
  bool m_ReportPaintErrors = true;
  bool m_SkinApplied = false;
};
