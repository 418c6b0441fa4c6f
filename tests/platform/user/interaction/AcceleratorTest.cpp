// Accelerator tables: key presses named in the table become WM_COMMAND (high
// word 1) for the table's window whatever has the focus, and the focus
// window never sees those presses; other keys reach it as usual.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/user/windows/Recorder.h"

using namespace usertest;

namespace {

WNDPROC editProc = nullptr;
std::vector<std::pair<UINT, WPARAM>> editKeys;  // key and character messages the edit field saw

LRESULT CALLBACK RecordingEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_CHAR || message == WM_SYSCHAR)
    editKeys.emplace_back(message, wParam);
  return CallWindowProcA(editProc, window, message, wParam, lParam);
}

// A window with an edit field that has the focus, and a hidden message
// window that owns the table, as the program's message window does.
struct Scene {
  Scene() {
    RegisterRecordingClass("AccelScene");
    top = MakeWindow("AccelScene", WS_POPUP | WS_VISIBLE, {0, 0, 300, 100});
    edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 200, 20, top,
                           reinterpret_cast<HMENU>(10), nullptr, nullptr);
    target = CreateWindowExA(0, "AccelScene", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingEdit)));
    SetFocus(edit);
    ACCEL entries[] = {
        {FVIRTKEY, VK_TAB, 4096},
        {FVIRTKEY | FSHIFT, VK_TAB, 4097},
        {FVIRTKEY | FALT, 'L', 4098},
        {0, 'q', 4099},  // the character q as typed
    };
    table = CreateAcceleratorTableA(entries, 4);
    RunLoop();
    Recorder::Get().Clear();
    editKeys.clear();
  }
  ~Scene() {
    DestroyAcceleratorTable(table);
    DestroyWindow(top);
    DestroyWindow(target);
  }
  // The program's loop: the table sees every message first.
  void RunLoop() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (TranslateAcceleratorA(target, table, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  std::vector<WPARAM> Commands() {
    std::vector<WPARAM> out;
    for (const Event& e : Recorder::Get().Of(WM_COMMAND))
      if (e.window == target) out.push_back(e.wParam);
    return out;
  }
  HWND top, edit, target;
  HACCEL table;
};

void Press(std::initializer_list<UINT> held, UINT key) {
  for (UINT k : held) TwlTestKey(k, TRUE);
  TwlTestKeyPress(key);
  for (UINT k : held) TwlTestKey(k, FALSE);
}

std::string EditText(HWND edit) {
  char text[64] = {};
  GetWindowTextA(edit, text, sizeof text);
  return text;
}

bool EditSawKey(WPARAM key) {
  for (const auto& [message, wParam] : editKeys)
    if (wParam == key) return true;
  return false;
}

}  // namespace

TEST(Accelerators, TabShiftTabAndAltLReachTheTablesWindowAndNotTheEditField) {
  Scene scene;
  Press({}, VK_TAB);
  Press({VK_SHIFT}, VK_TAB);
  Press({VK_MENU}, 'L');
  scene.RunLoop();
  EXPECT_EQ(scene.Commands(), (std::vector<WPARAM>{MAKEWPARAM(4096, 1), MAKEWPARAM(4097, 1), MAKEWPARAM(4098, 1)}));
  EXPECT_FALSE(EditSawKey(VK_TAB));
  EXPECT_FALSE(EditSawKey('L'));
  EXPECT_FALSE(EditSawKey('\t'));
  EXPECT_FALSE(EditSawKey('l'));
  EXPECT_EQ(EditText(scene.edit), "");
  EXPECT_EQ(GetFocus(), scene.edit) << "the focus stays where it was";
}

TEST(Accelerators, KeysOutsideTheTableReachTheFocusWindow) {
  Scene scene;
  const struct {
    const char* behaviour;
    std::initializer_list<UINT> held;
    UINT key;
    WPARAM command;     // 0: none
    const char* typed;  // what the edit field holds afterwards
  } cases[] = {
      {"Ctrl+Tab is no entry", {VK_CONTROL}, VK_TAB, 0, "\t"},
      {"L without Alt is typed", {}, 'L', 0, "l"},
      {"Alt+Shift+L is not Alt+L", {VK_MENU, VK_SHIFT}, 'L', 0, ""},
      {"the character q is an entry", {}, 'Q', MAKEWPARAM(4099, 1), ""},
      {"the character Q is not", {VK_SHIFT}, 'Q', 0, "Q"},
  };
  for (const auto& c : cases) {
    SetWindowTextA(scene.edit, "");
    scene.RunLoop();
    Recorder::Get().Clear();
    editKeys.clear();
    Press(c.held, c.key);
    scene.RunLoop();
    auto commands = scene.Commands();
    if (c.command) {
      EXPECT_EQ(commands, std::vector<WPARAM>{c.command}) << c.behaviour;
    } else {
      EXPECT_TRUE(commands.empty()) << c.behaviour;
      EXPECT_TRUE(EditSawKey(c.key)) << c.behaviour;
    }
    EXPECT_EQ(EditText(scene.edit), c.typed) << c.behaviour;
  }
}

TEST(Accelerators, ATableThatIsGoneTranslatesNothing) {
  ACCEL entry{FVIRTKEY, VK_F5, 1};
  HACCEL table = CreateAcceleratorTableA(&entry, 1);
  ASSERT_NE(table, nullptr);
  EXPECT_TRUE(DestroyAcceleratorTable(table));
  EXPECT_FALSE(DestroyAcceleratorTable(table));
  MSG msg{nullptr, WM_KEYDOWN, VK_F5, 0, 0, {}};
  EXPECT_FALSE(TranslateAcceleratorA(GetDesktopWindow(), table, &msg));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(CreateAcceleratorTableA(&entry, 0), nullptr);
  EXPECT_EQ(CreateAcceleratorTableA(nullptr, 1), nullptr);
}
