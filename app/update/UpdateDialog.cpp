#include "app/update/UpdateDialog.h"

#include <string>
#include <vector>

#include "display/controls/DDControl.h"
#include "foundation/appcore/ProductName.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"

TWL_IMPLEMENT_CLASS(CUpdateDialog, CAuxMessageBox)

namespace {

bool ReallySkip(HWND owner) {
  const CStr text = LocalText("CUpdateDialog.AskSkipUpdate.Text",
                              "Do you really NOT want to update?\n\nIf you click on the \"Yes\" button you will not be "
                              "asked to update to this version anymore. However, you will be asked again, if an even "
                              "newer version becomes available. (If you want to completely disable update checking, "
                              "you can do so in the Options Window).\n\nSkip this update?");
  return AuxMessageBox(owner, text.c_str(), LocalText("CUpdateDialog.AskSkipUpdate.Caption", "Really skip?").c_str(),
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

int CUpdateDialog::Run(HWND owner, const char* description) {
  // The buttons' texts are not localised.
  const std::vector<std::string> buttons = {"Remind me later", "Go to update page", "Skip this update"};
  const CStr text = LocalText("CUpdateDialog.UpdateAvailable", "An update is available:") + "\n\n" + description;
  const CStr caption =
      ReplacePlaceholder(LocalText("CUpdateDialog.Caption", "%PLAYER% - Update Available"), {"%PLAYER%", kProductName});
  Create(owner, caption.c_str(), text.c_str(), buttons, LoadIconA(nullptr, IDI_INFORMATION), kGoToPage, kRemindLater,
         -1, 0);
  SetUnseenAnswers({}, MB_ICONINFORMATION);
  const int result = DoModal(false, false, false);
  Destroy();
  return result;
}

void CUpdateDialog::OnControlClicked(CDDControl* control) {
  if (control->GetId() - kFirstButtonId == kSkip && !ReallySkip(GetWindowHandle())) return;
  CAuxMessageBox::OnControlClicked(control);
}
