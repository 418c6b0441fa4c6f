#include "app/ui/MainWindowMakers.h"

#include <memory>

#include "windows/main/MainWindow.h"

namespace {

CWindow* MakeMainWindow(CUserInterface&, HWND owner, CWindow*) {
  auto window = std::make_unique<CMainWindow>();
  window->Create(owner, nullptr);
  window->Show(true);
  return window.release();
}

// Each window's maker goes into its entry; the order is the windows' index.
constexpr MainWindowMaker kMakers[CUserInterface::kMainWindowCount] = {
    {"create main window", &MakeMainWindow},
    {"create playlist window", nullptr},
    {"create file browser window", nullptr},
    {"create skin browser window", nullptr},
    {"create options window", nullptr},
};

}  // namespace

const MainWindowMaker& GetMainWindowMaker(int index) { return kMakers[static_cast<size_t>(index)]; }
