// Key names as a US English keyboard gives them, reached the way hotkey
// texts ask: a virtual key through its scan code.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

namespace {

std::string NameOf(LONG lParam) {
  char name[500];
  int n = GetKeyNameTextA(lParam, name, sizeof name);
  EXPECT_EQ(n, static_cast<int>(std::string(name).size()));
  return name;
}

LONG ScanParam(UINT virtualKey, bool extended = false, bool eitherSide = false) {
  UINT scan = MapVirtualKeyA(virtualKey, 0);
  return static_cast<LONG>((scan << 16) | (extended ? 1u << 24 : 0) | (eitherSide ? 1u << 25 : 0));
}

}  // namespace

TEST(KeyNames, NamesKeysByTheirScanCodes) {
  const struct {
    const char* behaviour;
    LONG lParam;
    const char* name;
  } cases[] = {
      {"a letter", ScanParam('P'), "P"},
      {"a digit", ScanParam('7'), "7"},
      {"a function key", ScanParam(VK_F12), "F12"},
      {"the last function key", ScanParam(VK_F24), "F24"},
      {"a number pad key", ScanParam(VK_NUMPAD0 + 7), "Num 7"},
      {"the same scan code extended is Home", ScanParam(VK_NUMPAD0 + 7, true), "Home"},
      {"punctuation", ScanParam(VK_OEM_1), ";"},
      {"Tab", ScanParam(VK_TAB), "Tab"},
      {"the right Shift", ScanParam(VK_RSHIFT), "Right Shift"},
      {"either Shift when the side does not matter", ScanParam(VK_RSHIFT, false, true), "Shift"},
      {"the right Ctrl", ScanParam(VK_CONTROL, true), "Right Ctrl"},
      {"either Ctrl", ScanParam(VK_CONTROL, true, true), "Ctrl"},
      {"the Windows key", ScanParam(VK_LWIN, true), "Left Windows"},
      {"Pause", ScanParam(VK_PAUSE), "Pause"},
      {"Num Lock", ScanParam(VK_NUMLOCK, true), "Num Lock"},
  };
  for (const auto& c : cases) EXPECT_EQ(NameOf(c.lParam), c.name) << c.behaviour;
}

TEST(KeyNames, UnknownKeysAndSmallBuffersGiveWhatFits) {
  char name[4] = "xyz";
  EXPECT_EQ(GetKeyNameTextA(0x7F << 16, name, sizeof name), 0);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(GetKeyNameTextA(ScanParam(VK_SPACE), name, sizeof name), 3);
  EXPECT_STREQ(name, "Spa");
  EXPECT_EQ(GetKeyNameTextA(ScanParam(VK_SPACE), nullptr, 10), 0);
}

TEST(KeyNames, ScanCodesMapBackToTheMainKey) {
  const struct {
    UINT virtualKey;
    UINT back;
  } cases[] = {
      {VK_SHIFT, VK_SHIFT}, {VK_RSHIFT, VK_SHIFT}, {VK_OEM_2, VK_OEM_2}, {VK_DIVIDE, VK_OEM_2},
      {VK_HOME, VK_HOME},   {VK_NUMPAD0 + 7, VK_HOME}, {'A', 'A'},
  };
  for (const auto& c : cases) EXPECT_EQ(MapVirtualKeyA(MapVirtualKeyA(c.virtualKey, 0), 1), c.back) << c.virtualKey;
}
