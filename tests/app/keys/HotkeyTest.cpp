// Hotkeys read from and written to their text forms, key tokens both ways,
// and which key events a hotkey matches.
#include <gtest/gtest.h>

#include <string>

#include "app/keys/Hotkey.h"
#include "app/ui/UserInterface.h"

TEST(Hotkey, TextsReadIntoKeyAndModifiersAndWriteBack) {
  struct Case {
    const char* why;
    const char* text;
    bool valid;
    DWORD key;
    DWORD modifiers;
    const char* storage;
    const char* display;
  };
  const Case cases[] = {
      {"RETURN is no token; the modifiers stay", "ctrl+alt+return", false, 0, 3, "Ctrl+Alt+#0", "Ctrl+Alt+"},
      {"Enter is", "Ctrl+Alt+Enter", true, 13, 3, "Ctrl+Alt+Enter", "Ctrl+Alt+Enter"},
      {"the first key wins", "Ctrl+P+Q", true, 'P', 1, "Ctrl+P", "Ctrl+P"},
      {"hold reads back to itself", "PageUp+@hold", true, 33, 8, "PageUp+@hold", "Page up"},
      {"hold alone", "@hold", true, 0, 8, "#0+@hold", ""},
      {"other flags are ignored", "P+@sticky+@ HOLD", true, 'P', 8, "P+@hold", "P"},
      {"F24 is the last function key", "F24", true, 135, 0, "F24", "F24"},
      {"no F25", "F25", false, 0, 0, "#0", ""},
      {"no F0", "F0", false, 0, 0, "#0", ""},
      {"keypad digit", "Num7", true, 103, 0, "Num7", "Num7"},
      {"tokens without case", "NUM7", true, 103, 0, "Num7", "Num7"},
      {"any key by number", "#186", true, 186, 0, "#186", ";"},
      {"blanks after #", "# 65", true, 'A', 0, "A", "A"},
      {"NumSep reads as 108 but is written by number", "NumSep", true, 108, 0, "#108", ""},
      {"blanks around tokens", "  shift + ctrl +f5 ", true, 116, 5, "Shift+Ctrl+F5", "Shift+Ctrl+F5"},
      {"Alt+F4", "Alt+F4", true, 115, 2, "Alt+F4", "Alt+F4"},
      {"Space shows as Spacebar", "Space", true, 32, 0, "Space", "Spacebar"},
      {"modifier alone: no key", "Ctrl", true, 0, 1, "Ctrl+#0", "Ctrl+"},
      {"an empty token is no key", "Ctrl++P", false, 'P', 1, "Ctrl+P", "Ctrl+P"},
      {"a number beyond 32 bits is no key", "#99999999999", false, 0, 0, "#0", ""},
      {"# without digits", "#", false, 0, 0, "#0", ""},
      {"empty text", "", true, 0, 0, "#0", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    CHotkey hotkey(99, 99);
    EXPECT_EQ(hotkey.Parse(c.text), c.valid);
    EXPECT_EQ(hotkey.GetKey(), c.key);
    EXPECT_EQ(hotkey.GetModifiers(), c.modifiers);
    EXPECT_STREQ(hotkey.ToText().c_str(), c.storage);
    EXPECT_STREQ(hotkey.GetDisplayText().c_str(), c.display);
  }
}

TEST(Hotkey, EveryKeyTokenReadsBackToItsKey) {
  for (UINT key = 1; key <= 255; ++key) {
    const CStr token = CUserInterface::GetKeyToken(key);
    EXPECT_EQ(CUserInterface::ParseKeyToken(token.c_str()), key) << token.c_str();
  }
  struct Case {
    const char* token;
    UINT key;
  };
  const Case cases[] = {{"f12", 123},       {" pageup ", 33}, {"numsep", 108}, {"NumMul", 106}, {"context", 93},
                        {"tab", 9},         {"Num", 0},       {"Num10", 0},    {"NUM 7", 0},    {"PgUp", 0},
                        {"F1x", 0},         {"#12x", 0},      {"AB", 0},       {"", 0}};
  for (const Case& c : cases) EXPECT_EQ(CUserInterface::ParseKeyToken(c.token), c.key) << '"' << c.token << '"';
}

TEST(Hotkey, RepeatsMatchOnlyHotkeysThatHold) {
  struct Case {
    const char* hotkey;
    DWORD key;
    DWORD modifiers;
    bool matches;
  };
  const Case cases[] = {
      {"Ctrl+P", 'P', CHotkey::kCtrl, true},
      {"Ctrl+P", 'P', CHotkey::kCtrl | CHotkey::kHold, false},
      {"Ctrl+P+@hold", 'P', CHotkey::kCtrl | CHotkey::kHold, true},
      {"Ctrl+P+@hold", 'P', CHotkey::kCtrl, true},
      {"Ctrl+P", 'P', CHotkey::kCtrl | CHotkey::kShift, false},
      {"Ctrl+P", 'P', 0, false},
      {"Ctrl+P", 'Q', CHotkey::kCtrl, false},
      {"Ctrl", 0, CHotkey::kCtrl, false},
      {"Ctrl", VK_CONTROL, CHotkey::kCtrl, false},
  };
  for (const Case& c : cases) {
    CHotkey hotkey;
    hotkey.Parse(c.hotkey);
    EXPECT_EQ(hotkey.Matches(c.key, c.modifiers), c.matches) << c.hotkey << " " << c.key << " " << c.modifiers;
  }
}
