// The commands that reach the user-interface thread as messages posted to
// the user interface's message window. Commands of windows and systems
// that are not part of the program yet are taken and ignored.
#include "app/ui/UserInterface.h"

#include "playback/playersystem/PlayerSystem.h"

namespace {

// The restoration waits for the system to finish what made the windows
// go (a display change, a screen saver).
constexpr DWORD kRestoreAllDelayMs = 200;

}  // namespace

void CUserInterface::OnMessage(void* self, UINT message, WPARAM wParam, LPARAM lParam) {
  static_cast<CUserInterface*>(self)->OnMessage(message, wParam, lParam);
}

LRESULT CUserInterface::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); break;
    case kRestoreAllMessage:
      Sleep(kRestoreAllDelayMs);
      RestoreAll();
      break;
    case kRestoreSurfacesMessage: RestoreSurfaces(); break;
    case kVisualizerTriggersMessage: ActivateVisualizerTriggers(); break;
    case kPlayerTriggersMessage: ActivatePlayerTriggers(); break;
    case kInitUpdateCheckMessage: InitUpdateCheck(); break;
    case kUpdateCheckDoneMessage: OnUpdateCheckDone(); break;
    case kRetryUpdateDialogMessage: RetryPendingUpdateDialog(); break;
    case kPostedKeyEventMessage:
      OnPostedKeyEvent(static_cast<DWORD>(wParam & 0xFFFFFF), static_cast<DWORD>((wParam >> 24) & 0xFF),
                       reinterpret_cast<PLUGIN_HANDLE>(lParam));
      break;
    default:
      if (message >= PLAYER_NOTICE_CURRENT_ENTRY && message <= PLAYER_NOTICE_VOLUME) OnPlayerNotice(message);
      break;
  }
  return 0;
}

// A menu command with an accelerator's id (code 0) is not an accelerator.
void CUserInterface::OnCommand(UINT id, UINT code) {
  if (code != 1) return;
  if (id < kFirstAcceleratorCommand || id >= kFirstAcceleratorCommand + kAcceleratorCount) return;
  ExecuteAccelerator(static_cast<int>(id - kFirstAcceleratorCommand));
}
