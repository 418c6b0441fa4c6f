// The user interface's display with the built-in skin, and a main window
// made on it in the mode the test chooses. The log is kept.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "app/ui/UserInterface.h"
#include "display/controls/DDControlServices.h"
#include "pluginhost/hostapi/HostApi.h"
#include "foundation/kernel/Error.h"
#include "skins/skin/Skin.h"
#include "support/RecordingLogFront.h"
#include "support/TestPaths.h"
#include "twlwin/testing_display.h"
#include "twlwin/testing_user.h"
#include "windows/main/MainWindow.h"

namespace maintest {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TwlTestSetDisplayMode(1024, 768, 32));
    ui().InitDisplay();
    CSkin skin;
    try {
      skin.LoadFromFolder((twltest::SourceDir() + "/resources/skins/builtin/").c_str());
    } catch (CError* error) {
      ADD_FAILURE() << error->GetCaption().c_str() << ": " << error->GetText().c_str();
      DisposeError(error);
      return;
    }
    ASSERT_EQ(ui().GetDDSkin().Create(skin), DD_OK);
    // The controls draw their text through the host's writer table.
    ASSERT_EQ(InitDDControls(GetHostApiTable(), GetModuleHandleA(nullptr)), 1);
  }
  void TearDown() override {
    window.Destroy();
    ui().GetDDSkin().Release();
    ui().ExitDisplay();
  }

  static CUserInterface& ui() { return GetUserInterface(); }

  // Makes the window in mode 0 and shows it.
  void Make() {
    window.Create(nullptr, nullptr);
    ASSERT_NE(window.GetWindowHandle(), nullptr);
    window.Show(true);
  }
  // A mode change as the user interface brackets it.
  void ChangeMode(int mode) {
    window.OnSkinChange(2);
    window.ApplyMode(mode);
  }
  SIZE SkinSize(int mode) { return ui().GetDDSkin().GetMainWindowSkin(mode).GetSize(); }

  twltest::RecordingLogFront log;
  CMainWindow window;
};

}  // namespace maintest
