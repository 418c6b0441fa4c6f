// `twltool hotkey`: hotkey texts as the key bindings read them, with the
// forms they are written and shown in.
#include <cstdio>

#include "app/keys/Hotkey.h"
#include "driver/Command.h"

TOOL_COMMAND(RunHotkey, "hotkey",
             "TEXT...  read each hotkey text as Keys.ini values are read and print "
             "\"TEXT<TAB>VALID KEY MODIFIERS<TAB>STORAGE<TAB>DISPLAY\": VALID 1 when every token is a key or a "
             "flag, else 0 (what was understood is kept), KEY the virtual key and MODIFIERS the flags (1 Ctrl, 2 "
             "Alt, 4 Shift, 8 hold) in decimal, STORAGE the text written back to Keys.ini and DISPLAY the text "
             "menus show") {
  if (args.empty()) return tool::Fail("hotkey takes at least one text");
  for (const std::string& text : args) {
    CHotkey hotkey;
    const bool valid = hotkey.Parse(text.c_str());
    std::printf("%s\t%d %lu %lu\t%s\t%s\n", text.c_str(), valid ? 1 : 0, static_cast<unsigned long>(hotkey.GetKey()),
                static_cast<unsigned long>(hotkey.GetModifiers()), hotkey.ToText().c_str(),
                hotkey.GetDisplayText().c_str());
  }
  return 0;
}
