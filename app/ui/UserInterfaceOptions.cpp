// The user-interface options: read once from the settings key before the
// start, applied and written back by their setters, the switching-off of
// window animation on hardware that cannot do it, and the question and
// notice around the start.
#include <string>
#include <vector>

#include "app/core/System.h"
#include "app/core/UserInterfaceLink.h"
#include "app/ui/UserInterface.h"
#include "display/auxwindow/AuxMessageBox.h"
#include "display/state/DisplayLock.h"
#include "display/window/Window.h"
#include "foundation/appcore/MainWindow.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

namespace {

constexpr int kMiniMode = 2;

// Modes other than small and mini read and write as normal.
int ValidMode(DWORD value) { return value == 1 || value == 2 ? static_cast<int>(value) : 0; }

void ReadFlag(HKEY key, const char* name, bool& flag) {
  DWORD value = 0;
  if (CSystem::GetRegistryDWord(key, name, &value)) flag = value != 0;
}

// Opens the settings key for writing, runs `write` on it and closes it; a
// failure is logged with the thread's error.
template <class Write>
void WriteSettings(Write write) {
  HKEY key = nullptr;
  if (!CSystem::OpenRegistryKey(GetSystem().GetSettingsRoot(), GetSystem().GetSettingsPath(), KEY_SET_VALUE, &key)) {
    LogThreadError(LOGCODE_ERROR, "");
    return;
  }
  write(key);
  RegCloseKey(key);
}

void WriteFlag(HKEY key, const char* name, DWORD value) {
  if (!CSystem::SetRegistryDWord(key, name, value)) LogThreadError(LOGCODE_ERROR, "");
}

void LogAndDispose(CError* error) {
  LogFormat(LOGCODE_ERROR, "%s\n%s\n", error->GetCaption().c_str(), error->GetText().c_str());
  DisposeError(error);
}

}  // namespace

void CUserInterface::LoadOptions() {
  // The defaults, for what is missing or unreadable; whether this hardware
  // can animate is decided again for this run.
  LoadSkinOption();
  m_Mode = m_PrevMode = 0;
  m_WindowDocking = false;
  m_WindowAnimation = true;
  m_AnimationOffForHardware = false;
  m_UserInformedAboutAnimation = false;
  m_UpdateNotification = true;
  m_TooltipsEnabled = true;
  m_MainWindowOnTop = false;
  m_MiniMainWindowOnTop = true;
  HKEY key = nullptr;
  if (!CSystem::OpenRegistryKey(GetSystem().GetSettingsRoot(), GetSystem().GetSettingsPath(), KEY_QUERY_VALUE, &key)) {
    LogThreadError(LOGCODE_ERROR, "");
    return;
  }
  DWORD value = 0;
  if (CSystem::GetRegistryDWord(key, "Mode", &value)) m_Mode = ValidMode(value);
  if (CSystem::GetRegistryDWord(key, "PrevMode", &value)) m_PrevMode = ValidMode(value);
  ReadFlag(key, "WindowDocking", m_WindowDocking);
  ReadFlag(key, "WindowAnimation", m_WindowAnimation);
  ReadFlag(key, "UserInformedAboutAnimationIncompatibility", m_UserInformedAboutAnimation);
  ReadFlag(key, "UpdateNotification", m_UpdateNotification);
  ReadFlag(key, "TooltipsEnabled", m_TooltipsEnabled);
  ReadFlag(key, "MainWindowOnTop", m_MainWindowOnTop);
  ReadFlag(key, "MiniMainWindowOnTop", m_MiniMainWindowOnTop);
  RegCloseKey(key);
}

void CUserInterface::SaveModeOptions() {
  WriteSettings([&](HKEY key) {
    WriteFlag(key, "Mode", static_cast<DWORD>(ValidMode(static_cast<DWORD>(m_Mode))));
    WriteFlag(key, "PrevMode", static_cast<DWORD>(ValidMode(static_cast<DWORD>(m_PrevMode))));
  });
}

void CUserInterface::SaveWindowDocking() {
  WriteSettings([&](HKEY key) { WriteFlag(key, "WindowDocking", m_WindowDocking ? 1 : 0); });
}

// While switched off for this hardware the user's choice stays as stored.
void CUserInterface::SaveWindowAnimation() {
  if (m_AnimationOffForHardware) return;
  WriteSettings([&](HKEY key) { WriteFlag(key, "WindowAnimation", m_WindowAnimation ? 1 : 0); });
}

void CUserInterface::SaveUpdateNotification() {
  WriteSettings([&](HKEY key) { WriteFlag(key, "UpdateNotification", m_UpdateNotification ? 1 : 0); });
}

void CUserInterface::SaveTooltipsEnabled() {
  WriteSettings([&](HKEY key) { WriteFlag(key, "TooltipsEnabled", m_TooltipsEnabled ? 1 : 0); });
}

void CUserInterface::SaveOnTopOptions() {
  WriteSettings([&](HKEY key) {
    WriteFlag(key, "MainWindowOnTop", m_MainWindowOnTop ? 1 : 0);
    WriteFlag(key, "MiniMainWindowOnTop", m_MiniMainWindowOnTop ? 1 : 0);
  });
}

void CUserInterface::SaveUserInformed() {
  WriteSettings([&](HKEY key) {
    WriteFlag(key, "UserInformedAboutAnimationIncompatibility", m_UserInformedAboutAnimation ? 1 : 0);
  });
}

// The windows and the systems let go of the old mode's skin before the
// change and take the new one after it.
void CUserInterface::SetMode(int mode) {
  mode = ValidMode(static_cast<DWORD>(mode));
  int current = 0;
  {
    DisplayLockScope lock;
    current = m_Mode;
  }
  if (mode != current) {
    BeginModeChange();
    {
      DisplayLockScope lock;
      m_PrevMode = m_Mode;
      m_Mode = mode;
    }
    EndModeChange();
  }
  SaveModeOptions();
}

void CUserInterface::ToggleSmallMode() { SetMode(m_Mode == 0 ? 1 : 0); }

void CUserInterface::ToggleMiniMode() { SetMode(m_Mode == kMiniMode ? m_PrevMode : kMiniMode); }

bool CUserInterface::IsOnTop(int mode) const {
  if (mode == -1) mode = m_Mode;
  return mode == kMiniMode ? m_MiniMainWindowOnTop : m_MainWindowOnTop;
}

void CUserInterface::ToggleOnTop(int mode) {
  if (mode == -1) mode = m_Mode;
  bool& flag = mode == kMiniMode ? m_MiniMainWindowOnTop : m_MainWindowOnTop;
  flag = !flag;
  if (mode == m_Mode) {
    if (CWindow* main = GetMainWindow(0); main && main->GetWindowHandle())
      SetWindowPos(main->GetWindowHandle(), flag ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  SaveOnTopOptions();
}

void CUserInterface::SetWindowDocking(bool on) {
  for (CWindow* window : m_MainWindows)
    if (window) window->SetSnapToEdges(on);
  m_WindowDocking = on;
  SaveWindowDocking();
}

void CUserInterface::SetWindowAnimation(bool on, bool save) {
  m_WindowAnimation = on;
  if (save) SaveWindowAnimation();
}

void CUserInterface::SetUpdateNotification(bool on) {
  if (on == m_UpdateNotification) return;
  m_UpdateNotification = on;
  SaveUpdateNotification();
}

void CUserInterface::SetTooltipsEnabled(bool on) {
  m_TooltipsEnabled = on;
  for (CWindow* window : m_MainWindows)
    if (window) window->GetTooltips().EnableAll(on);
  SaveTooltipsEnabled();
}

void CUserInterface::DecideWindowAnimation(bool hardwareColorKey) {
  if (!hardwareColorKey && m_WindowAnimation) {
    m_WindowAnimation = false;
    m_AnimationOffForHardware = true;
  }
  // Should the hardware change again, the notice is shown again (a value
  // that says so already is not written again).
  if (m_AnimationOffForHardware || !m_UserInformedAboutAnimation) return;
  m_UserInformedAboutAnimation = false;
  SaveUserInformed();
}

namespace {

HWND MainWindowOf(const CUserInterface& ui) {
  CWindow* main = ui.GetMainWindow(0);
  return main && main->GetWindowHandle() ? main->GetWindowHandle() : GetMainWindowHandle();
}

}  // namespace

void CUserInterface::AskUpdateCheck() {
  // Without a display no box can be made; the option keeps its value.
  if (!m_UpdateNotification || !m_Display.GetDirectDraw()) return;
  int answer = -1;
  try {
    const std::vector<std::string> buttons = {
        LocalText("CUserInterface.AskUpdateCheck.ButtonYes", "Yes, check for updates at startup").c_str(),
        LocalText("CUserInterface.AskUpdateCheck.ButtonNo", "No, don't check for updates").c_str()};
    CAuxMessageBox box;
    box.Create(MainWindowOf(*this), LocalText("CUserInterface.AskUpdateCheck.Caption", "Automatically check for updates?"),
               LocalText("CUserInterface.AskUpdateCheck.Text",
                         "The player can automatically notify you when updated versions of the player become "
                         "available. It uses your internet connection to check for these updates.\n\nNote that you "
                         "can enable or disable this option at any time in the Options Window.\n\nDo you want the "
                         "player to automatically check for updated versions each time it is started?"),
               buttons, LoadIconA(nullptr, IDI_QUESTION), 0, -1, -1, 0);
    box.SetUnseenAnswers({}, MB_ICONQUESTION);
    answer = box.DoModal(false, false, false);
  } catch (CError* error) {
    LogAndDispose(error);
  }
  // A box ended by the program quitting had no answer: the question comes
  // again at the next start.
  if (answer == 0 || (answer == -1 && IsQuitting())) return;
  m_UpdateNotification = false;
  SaveUpdateNotification();
}

void CUserInterface::ShowStartupNotices() {
  if (m_AnimationOffForHardware && !m_UserInformedAboutAnimation) {
    AuxMessageBox(MainWindowOf(*this),
                  LocalText("CUserInterface.WindowAnimDisabledBecauseOfIncompatibility.Text",
                            "Incompatibility notice:\n\nThe player's window animation feature has been disabled "
                            "because your graphics card or graphics card driver do not support it.\n\nThis will NOT "
                            "prevent the player from working normally. The only effect this has is that the main "
                            "window won't be animated.\n\nUpdating your graphics card drivers might solve the "
                            "problem. Please contact your graphics card vendor for information on how to do this."),
                  LocalText("CUserInterface.WindowAnimDisabledBecauseOfIncompatibility.Caption",
                            "Window animation disabled"),
                  MB_ICONEXCLAMATION);
    m_UserInformedAboutAnimation = true;
    SaveUserInformed();
  }
  if (HWND messages = GetMessageWindowHandle()) {
    PostMessageA(messages, kMainWindowIntroMessage, 0, 0);
    PostMessageA(messages, kInitUpdateCheckMessage, 0, 0);
  }
}
