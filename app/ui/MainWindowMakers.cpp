#include "app/ui/MainWindowMakers.h"

namespace {

// Each window's maker goes into its entry; the order is the windows' index.
constexpr MainWindowMaker kMakers[CUserInterface::kMainWindowCount] = {
    {"create main window", nullptr},
    {"create playlist window", nullptr},
    {"create file browser window", nullptr},
    {"create skin browser window", nullptr},
    {"create options window", nullptr},
};

}  // namespace

const MainWindowMaker& GetMainWindowMaker(int index) { return kMakers[static_cast<size_t>(index)]; }
