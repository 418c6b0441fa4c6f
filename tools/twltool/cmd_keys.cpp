// `twltool keys`: the key bindings as the player loads them at start, and
// which triggers a key press would run.
#include <cstdio>
#include <string>
#include <vector>

#include "app/keys/Hotkey.h"
#include "app/keys/KeyEvents.h"
#include "app/ui/UserInterface.h"
#include "driver/Command.h"

namespace {

// The folder twltool lies in, which in a build is the player's program
// folder too.
std::string OwnFolder() {
  char path[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  const std::string own(path, length < sizeof path ? length : 0);
  const size_t slash = own.find_last_of("/\\");
  return slash == std::string::npos ? std::string("./") : own.substr(0, slash + 1);
}

void PrintTriggers(CTriggerManager& triggers) {
  for (int index = 0; CTrigger* trigger = triggers.GetTrigger(index); ++index) {
    std::printf("trigger %s\t%s\t%s\n", trigger->GetCategory().c_str(), trigger->GetName().c_str(),
                trigger->FormatKeys().c_str());
    trigger->Release();
  }
}

// The triggers the trigger listener would run for a key-down event of the
// hotkey: the event's flags are made as a key message gives them, and
// turned back into hotkey modifiers as the listener does.
void PrintFired(CTriggerManager& triggers, const std::string& text, const CHotkey& hotkey) {
  const DWORD flags = KeyDownFlagsOf(hotkey.GetModifiers());
  std::string names;
  for (CTrigger* trigger : triggers.CollectMatching(hotkey.GetKey(), HotkeyModifiersOf(flags))) {
    names += (names.empty() ? " " : "|") + std::string(trigger->GetName().c_str());
    trigger->Release();
  }
  std::printf("fire %s:%s\n", text.c_str(), names.c_str());
}

}  // namespace

TOOL_COMMAND(RunKeys, "keys",
             "[--program-folder DIR] [--fire KEYTEXT]...  load the key bindings as the player's start does (the "
             "built-in triggers with their default keys, replaced by those of DIR's Keys.ini, or of twltool's own "
             "folder's, where they are not fixed; the file is only read) and print \"trigger "
             "CATEGORY<TAB>NAME<TAB>VALUE\" for every trigger in order, VALUE in the Keys.ini form; then for each "
             "KEYTEXT (a hotkey text, \"+@hold\" for a repeating key) \"fire KEYTEXT:\" and, after a blank, the "
             "names of the triggers a key-down event of it would run, separated by \"|\"; nothing is run") {
  std::string folder = OwnFolder();
  std::vector<std::string> fired;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg != "--program-folder" && arg != "--fire") return tool::Fail("unknown argument " + arg);
    if (i + 1 == args.size()) return tool::Fail(arg + " takes a value");
    const std::string& value = args[++i];
    if (arg == "--fire")
      fired.push_back(value);
    else
      folder = value.empty() || value.back() == '/' ? value : value + "/";
  }
  std::vector<CHotkey> hotkeys;
  for (const std::string& text : fired) {
    CHotkey hotkey;
    if (!hotkey.Parse(text.c_str())) return tool::Fail("not a hotkey: " + text);
    hotkeys.push_back(hotkey);
  }

  CUserInterface& ui = GetUserInterface();
  ui.LoadKeyBindings(folder.c_str());
  CTriggerManager& triggers = ui.GetTriggerManager();
  PrintTriggers(triggers);
  for (size_t i = 0; i < fired.size(); ++i) PrintFired(triggers, fired[i], hotkeys[i]);
  ui.ReleaseKeyBindings();
  return 0;
}
