// What the user interface hands on to the main window of the player
// system's notices and playlist changes, and the main window's commands it
// runs for a key (its menu). The main window implements it;
// the user interface finds it on the window in its main slot, so the core
// never names the window's class.
//
// Threading: the user-interface thread.
#pragma once

class CMainWindowNotices {
 public:
  virtual void OnCurrentEntryChanged() = 0;
  // The playlist's changes that move the current entry's number.
  virtual void OnEntriesInserted() = 0;
  virtual void OnEntriesRemoved() = 0;
  virtual void UpdateLoopButton() = 0;
  virtual void UpdateShuffleButton() = 0;
  virtual void UpdatePauseButton() = 0;
  virtual void UpdatePlayStateButtons() = 0;
  virtual void OnVolumeChanged() = 0;
  // The main menu at the window's centre ("Menu" key); false when it
  // could not be shown or full screen stands in the way.
  virtual bool ShowMenuCentered() = 0;

 protected:
  ~CMainWindowNotices() = default;
};
