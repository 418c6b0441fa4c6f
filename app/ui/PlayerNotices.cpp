// The player system's notices reach the user interface's message window
// (sent, on the user-interface thread) and its playlist reports come
// through the observer; both are handed on to the main window.
#include "app/ui/MainWindowNotices.h"
#include "app/ui/UserInterface.h"
#include "display/window/Window.h"
#include "playback/playersystem/PlayerSystem.h"

namespace {

CMainWindowNotices* MainWindowOf(const CUserInterface& ui) {
  return dynamic_cast<CMainWindowNotices*>(ui.GetMainWindow(0));
}

// The playlist's changes that move the current entry's number.
class MainWindowPlayListObserver : public CPlayListObserver {
 public:
  void OnEntriesInserted(CPlayListEntryHolder*, INT, INT) override {
    if (CMainWindowNotices* window = MainWindowOf(GetUserInterface())) window->OnEntriesInserted();
  }
  void OnEntriesRemoved(CPlayListEntry* const*, INT) override {
    if (CMainWindowNotices* window = MainWindowOf(GetUserInterface())) window->OnEntriesRemoved();
  }
  void OnEntryMoved(CPlayListEntry*, const Positions&) override {
    if (CMainWindowNotices* window = MainWindowOf(GetUserInterface())) window->OnEntriesRemoved();
  }
};

MainWindowPlayListObserver playListObserver;

}  // namespace

void CUserInterface::ConnectPlayerNotices() {
  GetPlayerSystem().SetUserInterfaceWindow(GetMessageWindowHandle());
  GetPlayerSystem().SetPlayListObserver(&playListObserver);
}

void CUserInterface::DisconnectPlayerNotices() noexcept {
  GetPlayerSystem().SetUserInterfaceWindow(nullptr);
  GetPlayerSystem().SetPlayListObserver(nullptr);
}

void CUserInterface::OnPlayerNotice(UINT message) {
  CMainWindowNotices* window = MainWindowOf(*this);
  if (!window) return;
  switch (message) {
    case PLAYER_NOTICE_CURRENT_ENTRY: window->OnCurrentEntryChanged(); break;
    case PLAYER_NOTICE_LOOP: window->UpdateLoopButton(); break;
    case PLAYER_NOTICE_SHUFFLE: window->UpdateShuffleButton(); break;
    case PLAYER_NOTICE_PAUSE_STATE: window->UpdatePauseButton(); break;
    case PLAYER_NOTICE_PLAY_STATE: window->UpdatePlayStateButtons(); break;
    case PLAYER_NOTICE_VOLUME: window->OnVolumeChanged(); break;
    default: break;
  }
}
