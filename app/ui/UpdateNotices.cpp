// The update check's side of the user interface: starting it, and the
// dialog that announces a version the user has not skipped.
#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "app/update/UpdateDialog.h"
#include "display/window/Window.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/MainWindow.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"

void CUserInterface::InitUpdateCheck() {
  if (!m_UpdateNotification) return;
  try {
    StartUpdateCheck();
  } catch (CError* error) {
    const CStr text = ReplacePlaceholder(
        LocalText("CUserInterface.InitUpdateCheckFailed",
                  "WARNING: Unable to initialize automatic update checking (%ERROR%).\nYou will not automatically be "
                  "notified of any new player updates."),
        {"%ERROR%", error->GetText().c_str()});
    LogFormat(LOGCODE_WARNING, "%s\n", text.c_str());
    DisposeError(error);
  }
}

void CUserInterface::StartUpdateCheck() {
  const CSystem& system = GetSystem();
  const CStr url =
      CUpdateChecker::MakeUpdateUrl(GetWebHost().c_str(), system.GetMajorVersion(), system.GetMinorVersion());
  m_UpdateChecker.Start(url.c_str(), GetMessageWindowHandle(), kUpdateCheckDoneMessage);
}

void CUserInterface::OnUpdateCheckDone() {
  if (!m_UpdateChecker.IsUpdateAvailable()) return;
  if (m_UpdateChecker.GetVersion() <= ReadLastSkippedVersion()) return;
  if (CanShowUpdateDialog())
    ShowUpdateDialog();
  else
    m_UpdateDialogPending = true;
}

void CUserInterface::RetryPendingUpdateDialog() {
  if (m_UpdateDialogPending && CanShowUpdateDialog()) ShowUpdateDialog();
}

// No box of the program's own may be open; full screen and introduction
// windows do not exist in this program yet.
bool CUserInterface::CanShowUpdateDialog() { return GetModalCount() == 0; }

void CUserInterface::ShowUpdateDialog() {
  m_UpdateDialogPending = false;
  CWindow* main = GetMainWindow(0);
  HWND owner = main && main->GetWindowHandle() ? main->GetWindowHandle() : GetMainWindowHandle();
  if (!owner) return;
  try {
    CUpdateDialog dialog;
    const int result = dialog.Run(owner, m_UpdateChecker.GetDescription().c_str());
    if (result == CUpdateDialog::kGoToPage) StartWebBrowser(m_UpdateChecker.GetUpdatePageUrl().c_str());
    if (result == CUpdateDialog::kSkip) WriteLastSkippedVersion(m_UpdateChecker.GetVersion());
  } catch (CError* error) {
    LogFormat(LOGCODE_WARNING, "%s: %s\n", error->GetCaption().c_str(), error->GetText().c_str());
    DisposeError(error);
  }
}

void CUserInterface::WriteLastSkippedVersion(DWORD version) {
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_SET_VALUE, &key)) return;
  const bool written = SetRegistryDWord(key, "LastSkippedVersion", version);
  RegCloseKey(key);
  if (!written) RaiseThreadError();
}
