// The reviewer's input lines and the tray's snapshot text.
#include <gtest/gtest.h>
#include <twlwin/testing_gdi.h>

#include "app/hooks/InputLine.h"
#include "app/hooks/SnapshotTexts.h"

TEST(ReviewerInput, LinesAreReadStrictly) {
  struct Case {
    const char* line;
    const char* read;  // kind x y value, or "none" when refused
  };
  const Case cases[] = {
      {"click 10 20", "click 10 20 0"},
      {"  rclick\t-5 7 \r", "rclick -5 7 0"},
      {"menu 1133", "menu 0 0 1133"},
      {"menu none", "menu 0 0 0"},
      {"menu 65535", "menu 0 0 65535"},
      {"tray lbuttondown", "tray 0 0 513"},
      {"tray mousemove", "tray 0 0 512"},
      {"tray rbuttondblclk", "tray 0 0 518"},
      {"snap", "snap 0 0 0"},
      {"move -3 40", "move -3 40 0"},
      // Keys: the key, then the modifiers (1 Ctrl, 2 Alt, 4 Shift, 8 hold).
      {"key P", "key 0 0 80 0"},
      {"key ctrl+p", "key 0 0 80 1"},
      {"key Ctrl + Shift + PageUp+@hold", "key 0 0 33 13"},
      {"key Alt+F4", "key 0 0 115 2"},
      {"key #255", "key 0 0 255 0"},
      // Refused.
      {"", "none"},
      {"click 10", "none"},
      {"click 10 20 30", "none"},
      {"click x 20", "none"},
      {"click 10 2O", "none"},
      {"click 99999999999 1", "none"},
      {"move 1", "none"},
      {"move 1 2 3", "none"},
      {"menu 0", "none"},
      {"menu 65536", "none"},
      {"menu -1", "none"},
      {"menu", "none"},
      {"tray", "none"},
      {"tray LBUTTONDOWN", "none"},
      {"snap now", "none"},
      {"Click 1 2", "none"},
      {"key", "none"},
      {"key Ctrl", "none"},
      {"key Return", "none"},
      {"key #256", "none"},
      {"KEY P", "none"},
  };
  const char* kinds[] = {"click", "rclick", "menu", "tray", "snap", "key", "move"};
  for (const Case& c : cases) {
    const auto input = ParseInputLine(c.line);
    const std::string read = input
                                 ? std::string(kinds[static_cast<int>(input->kind)]) + " " + std::to_string(input->x) +
                                       " " + std::to_string(input->y) + " " + std::to_string(input->value) +
                                       (input->kind == InputLine::Kind::kKey ? " " + std::to_string(input->modifiers) : "")
                                 : "none";
    EXPECT_EQ(read, c.read) << '"' << c.line << '"';
  }
}

TEST(ReviewerSnapshot, TrayIconsNameTheirPicture) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &DefWindowProcA;
  windowClass.lpszClassName = "SnapshotTrayWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "SnapshotTrayWindow", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  HINSTANCE program = GetModuleHandleA(nullptr);
  const WORD pictures[] = {135, 136, 137};
  EXPECT_EQ(DescribeTrayIcons(program, pictures, 3), "");
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = 0;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = 1124;
  data.hIcon = LoadIconA(program, MAKEINTRESOURCE(136));
  strcpy(data.szTip, "Tip with blanks");
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  data.uID = 7;
  data.hIcon = LoadIconA(program, MAKEINTRESOURCE(101));
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  EXPECT_EQ(DescribeTrayIcons(program, pictures, 3), "0 1124 136 Tip with blanks\n7 1124 0 Tip with blanks\n");
  DestroyWindow(window);
}
