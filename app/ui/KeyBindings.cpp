// The built-in triggers: made at start from the table with their default
// keys and the user's from Keys.ini, the player's command each one runs,
// and the switching of the full-screen and plug-in triggers.
#include "app/core/System.h"
#include "app/keys/BuiltInTriggers.h"
#include "app/ui/MainWindowNotices.h"
#include "app/ui/UserInterface.h"
#include "display/window/Window.h"
#include "playback/playersystem/PlayerSystem.h"

static_assert(CUserInterface::kPlayerTriggersMessage == PLAYER_NOTICE_CURRENT_PLAYER);

namespace {

constexpr int kVolumeStep = 25;
constexpr LONG kSeekStepMs = 10000;

// A built-in trigger runs the user interface's command of its id.
class CUserInterfaceTrigger : public CTrigger {
  TWL_DECLARE_CLASS(CUserInterfaceTrigger)
 public:
  void Execute() override { GetUserInterface().ExecuteTrigger(this); }
};

}  // namespace

TWL_IMPLEMENT_CLASS(CUserInterfaceTrigger, CTrigger)

void CUserInterface::LoadKeyBindings() { LoadKeyBindings(GetSystem().GetProgramFolder().c_str()); }

void CUserInterface::LoadKeyBindings(const char* programFolder) {
  m_TriggerDatabase.Open((CStr(programFolder) + kKeyBindingsFileName).c_str(), kKeyBindingsValueSize);
  int id = 0;
  for (const TriggerTableEntry& row : BuiltInTriggerTable()) {
    CTrigger* trigger = new CUserInterfaceTrigger;
    trigger->Init(nullptr, row.category, id++, row.name, row.description, row.flags);
    for (DWORD slot = 0; slot < row.keyCount; ++slot)
      trigger->AddHotkey(new CHotkey(row.keys[slot].key, row.keys[slot].modifiers));
    // A value that is not understood loads what was: nothing to report.
    if (!(row.flags & CTrigger::kKeysFixed)) trigger->LoadKeys(false, nullptr);
    m_Triggers.AddTrigger(trigger);
    trigger->Release();
  }
  EnableFullscreenTriggers(false);
}

void CUserInterface::ReleaseKeyBindings() noexcept {
  m_Triggers.RemoveAll();
  m_TriggerDatabase.Close();
}

void CUserInterface::ExecuteTrigger(CTrigger* trigger) {
  if (!trigger) return;
  CPlayerSystem& players = GetPlayerSystem();
  switch (trigger->GetId()) {
    case TRIGGER_PLAY: players.Play(true); break;
    case TRIGGER_STOP: players.Stop(true); break;
    case TRIGGER_PAUSE: players.TogglePause(); break;
    case TRIGGER_NEXT_FILE: players.SelectNextFile(); break;
    case TRIGGER_PREVIOUS_FILE: players.SelectPreviousFile(); break;
    case TRIGGER_FIRST_FILE: players.SelectFirstFile(); break;
    case TRIGGER_LAST_FILE: players.SelectLastFile(); break;
    case TRIGGER_LOOP: players.SetLoop(!players.GetLoop()); break;
    case TRIGGER_SHUFFLE: players.SetShuffle(!players.GetShuffle()); break;
    case TRIGGER_INCREASE_VOLUME: players.ChangeVolume(kVolumeStep); break;
    case TRIGGER_DECREASE_VOLUME: players.ChangeVolume(-kVolumeStep); break;
    case TRIGGER_SEEK_BACK: players.SeekRelative(-kSeekStepMs); break;
    case TRIGGER_SEEK_AHEAD: players.SeekRelative(kSeekStepMs); break;
    case TRIGGER_MENU:
      if (auto* window = dynamic_cast<CMainWindowNotices*>(GetMainWindow(0))) window->ShowMenuCentered();
      break;
    case TRIGGER_EXIT: PostQuitMessage(0); break;
    // Full screen (toggling it while playing, leaving it, deactivating it)
    // belongs to the viewer system, which the program does not have yet:
    // with no viewer user and no full screen, each of these changes
    // nothing, as the viewer system does then.
    case TRIGGER_FULLSCREEN:
    case TRIGGER_FULLSCREEN_LEAVE:
    case TRIGGER_FULLSCREEN_DEACTIVATE:
    default: break;
  }
}

void CUserInterface::EnableFullscreenTriggers(bool on) { m_Triggers.EnableCategory(kFullscreenTriggerCategory, on); }

// Without the viewer system there is no current visualizer, so after the
// switch-off none of its triggers is active.
void CUserInterface::ActivateVisualizerTriggers() { m_Triggers.ActivateCategory("Plugin/Visualizer", false); }

void CUserInterface::ActivatePlayerTriggers() {
  m_Triggers.ActivateCategory("Plugin/Player", false);
  if (PLUGIN_HANDLE player = GetPlayerSystem().GetCurrentPlayerHandle()) m_Triggers.ActivateOwner(player, true);
}
