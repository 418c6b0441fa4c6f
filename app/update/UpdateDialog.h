// CUpdateDialog: the message box that announces an update: "Remind me
// later" (also Escape), "Go to update page" (the default) and "Skip this
// update", which asks first and ends the box only on Yes.
//
// Threading: the user-interface thread.
#pragma once

#include "display/auxwindow/AuxMessageBox.h"

class CUpdateDialog : public CAuxMessageBox {
  TWL_DECLARE_CLASS(CUpdateDialog)
 public:
  enum Result { kRemindLater = 0, kGoToPage = 1, kSkip = 2 };

  // Makes and runs the box: its result, -1 when the loop ended without one.
  int Run(HWND owner, const char* description);
  void OnControlClicked(CDDControl* control) override;
};
