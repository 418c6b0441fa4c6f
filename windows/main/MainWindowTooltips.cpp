// The main window's tooltips: one per button of the skin's mode, one per
// bar (their texts follow the volume and the playback position), and one
// for the rest of the window that points at the right-click menu.
#include <array>

#include "display/controls/DDImageControls.h"
#include "display/skinrender/DDButtonSkin.h"
#include "display/skinrender/DDMainWindowSkin.h"
#include "foundation/errors/LocalText.h"
#include "windows/main/MainWindow.h"

namespace {

struct ButtonTooltip {
  const char* key;
  const char* text;
};

// By button index.
constexpr std::array<ButtonTooltip, CMainWindow::kButtonCount> kButtonTooltips = {{
    {"CMainWindow.ToolTips.ButtonPlay", "Play - starts playing the current media file"},
    {"CMainWindow.ToolTips.ButtonStop", "Stop - stops playback"},
    {"CMainWindow.ToolTips.ButtonPause", "Pause/Resume - pauses and resumes playback"},
    {"CMainWindow.ToolTips.ButtonNext", "Next file - moves to the next file in the playlist"},
    {"CMainWindow.ToolTips.ButtonPrevious", "Previous file - moves to the previous file in the playlist"},
    {"CMainWindow.ToolTips.ButtonLoop", "Loop - if pressed the playlist will be looped infinitely"},
    {"CMainWindow.ToolTips.ButtonShuffle",
     "Shuffle - if pressed the files in the playlist will be played in random order"},
    {"CMainWindow.ToolTips.ButtonPlayList", "Playlists - edit and use playlists"},
    {"CMainWindow.ToolTips.ButtonOptions", "Options window - opens the options window"},
    {"CMainWindow.ToolTips.ButtonHelp", "Help - displays the Help window"},
    {"CMainWindow.ToolTips.ButtonMinimize", "Minimize - minimizes the player"},
    {"CMainWindow.ToolTips.ButtonSmall", "Toggle mode - toggles between small and normal main window"},
    {"CMainWindow.ToolTips.ButtonExit", "Exit - closes the player"},
    {"CMainWindow.ToolTips.ButtonMenu", "Menu - shows the main menu"},
    {"CMainWindow.ToolTips.ButtonInternet", "Internet - shows the internet menu with useful links and information"},
    {"CMainWindow.ToolTips.ButtonSkinBrowser", "Skin browser - opens the skin browser"},
    {"CMainWindow.ToolTips.ButtonMiniMode", "Mini mode - activates or deactivates the main window's mini mode"},
    {"CMainWindow.ToolTips.ButtonBurn", "Burn playlist - burns the current playlist to a CD"},
    {"CMainWindow.ToolTips.ButtonQuickPlay", "QuickPlay - select and play one or more files or playlists"},
}};

// The texts are looked up once per process and kept.
const std::array<CStr, CMainWindow::kButtonCount>& ButtonTooltipTexts() {
  static const std::array<CStr, CMainWindow::kButtonCount> texts = [] {
    std::array<CStr, CMainWindow::kButtonCount> localised;
    for (size_t index = 0; index < localised.size(); ++index)
      localised[index] = LocalText(kButtonTooltips[index].key, kButtonTooltips[index].text);
    return localised;
  }();
  return texts;
}

const CStr& RightClickTooltipText() {
  static const CStr text = LocalText("CMainWindow.ToolTips.RightClickForMenu", "Right click here for a full menu.");
  return text;
}

// The rectangle of the button's description, animated first; false when
// the mode has no such button.
bool ButtonRect(CDDMainWindowSkin& skin, int index, RECT& rect) {
  if (CDDAnimButtonSkin* animated = skin.GetAnimButton(index); animated && animated->IsCreated()) {
    rect = animated->GetRect();
    return true;
  }
  if (CDDButtonSkin* plain = skin.GetButton(index); plain && plain->IsCreated()) {
    rect = plain->GetRect();
    return true;
  }
  return false;
}

}  // namespace

void CMainWindow::BuildTooltips(CDDMainWindowSkin& skin) {
  m_VolumeTooltip = m_ProgressTooltip = nullptr;
  if (!skin.IsCreated()) return;
  CTooltipManager& tooltips = GetTooltips();
  const HWND window = GetWindowHandle();
  CSkinTooltip* wholeArea = tooltips.Add(window, nullptr, RightClickTooltipText().c_str());
  auto addOver = [&](const RECT& rect, const char* text) {
    if (wholeArea) wholeArea->AddRect(rect);
    return tooltips.Add(window, &rect, text);
  };
  for (int index = 0; index < kButtonCount; ++index) {
    RECT rect{};
    if (ButtonRect(skin, index, rect)) addOver(rect, ButtonTooltipTexts()[static_cast<size_t>(index)].c_str());
  }
  if (m_ProgressBar) m_ProgressTooltip = addOver(m_ProgressBar->GetRect(), "");
  if (m_VolumeBar) m_VolumeTooltip = addOver(m_VolumeBar->GetRect(), "");
  UpdateVolumeTooltip();
  UpdateProgressTooltip();
}
