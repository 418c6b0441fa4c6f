// The face and the place of the log window persist in the settings key;
// values found there are not trusted.
#include <cstdint>
#include <cstring>

#include "LogWindowFixture.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/SettingsKey.h"

namespace logwindowtest {
namespace {

constexpr const char* kRectValue = "LogWindow_WindowRect";
constexpr const char* kModeValue = "LogWindowMode";

std::string Bytes(std::initializer_list<int32_t> numbers) {
  std::string bytes;
  for (int32_t n : numbers)
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((static_cast<uint32_t>(n) >> (8 * i)) & 0xFF));
  return bytes;
}

void StoreValue(const char* name, DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_TRUE(OpenSettingsKey(KEY_SET_VALUE, &key));
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// The value's type and bytes; type REG_NONE when it is missing.
std::pair<DWORD, std::string> StoredValue(const char* name) {
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &key)) return {REG_NONE, ""};
  char data[64];
  DWORD type = REG_NONE;
  DWORD size = sizeof data;
  const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return {REG_NONE, ""};
  return {type, std::string(data, size)};
}

RECT RectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// Whether the control shows with its window (which may itself be hidden).
bool Shows(HWND control) { return (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

void ExpectFace(HWND window, DWORD mode) {
  const bool simple = mode == CLogWindow::MODE_SIMPLE;
  EXPECT_EQ(TextOf(window), simple ? "Velbrook Tunewell Problem Report" : "Velbrook Tunewell Log");
  EXPECT_EQ(Shows(FindChild(window, "LastErrorList")), simple);
  EXPECT_EQ(Shows(FindChild(window, "LogList")), !simple);
  EXPECT_EQ(Shows(GetDlgItem(window, kQuitButton)), !simple);
  EXPECT_EQ(TextOf(GetDlgItem(window, kModeButton)), simple ? "Advanced >>" : "Problem Report >>");
  EXPECT_EQ(TextOf(GetDlgItem(window, kHideButton)), simple ? "Close Report" : "Close Log");
}

TEST_F(LogWindowTest, FaceSwitchSurvivesRecreation) {
  Open();
  log.Show(true);
  Settle();
  ExpectFace(window, CLogWindow::MODE_SIMPLE);

  Click(kModeButton);
  ExpectFace(window, CLogWindow::MODE_ADVANCED);
  EXPECT_EQ(StoredValue(kModeValue), std::make_pair(DWORD{REG_DWORD}, Bytes({0})));

  Close();
  Open();
  ExpectFace(window, CLogWindow::MODE_ADVANCED);
  Click(kModeButton);
  ExpectFace(window, CLogWindow::MODE_SIMPLE);
  EXPECT_EQ(StoredValue(kModeValue), std::make_pair(DWORD{REG_DWORD}, Bytes({1})));
}

TEST_F(LogWindowTest, PlaceSurvivesRecreation) {
  Open();
  ASSERT_TRUE(SetWindowPos(window, nullptr, 100, 120, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE));
  Settle();
  Close();
  EXPECT_EQ(StoredValue(kRectValue), std::make_pair(DWORD{REG_BINARY}, Bytes({100, 120, 500, 400})));

  Open();
  const RECT rect = RectOf(window);
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.top, 120);
  EXPECT_EQ(rect.right - rect.left, 500);
  EXPECT_EQ(rect.bottom - rect.top, 400);
}

// Whatever the user does to its size, the window keeps room for its
// buttons and texts; a stored place that is too small grows the same way.
TEST_F(LogWindowTest, TooSmallWindowGrowsBackToTheMinimum) {
  Open();
  ASSERT_TRUE(SetWindowPos(window, nullptr, 30, 40, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  Settle();
  const RECT minimum = RectOf(window);
  const int minimumWidth = minimum.right - minimum.left;
  const int minimumHeight = minimum.bottom - minimum.top;
  EXPECT_EQ(minimum.left, 30);
  EXPECT_GT(minimumWidth, 20);
  EXPECT_GT(minimumHeight, 20);

  ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, minimumWidth - 1, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  Settle();
  RECT rect = RectOf(window);
  EXPECT_EQ(rect.right - rect.left, minimumWidth);
  EXPECT_EQ(rect.bottom - rect.top, 400);

  // The buttons still fit side by side inside the window.
  RECT hide{};
  RECT mode{};
  GetWindowRect(GetDlgItem(window, kHideButton), &hide);
  GetWindowRect(GetDlgItem(window, kModeButton), &mode);
  EXPECT_GT(hide.right - hide.left, 0);
  EXPECT_LE(hide.right, mode.left);
  EXPECT_LE(mode.right, rect.right);

  Close();
  StoreValue(kRectValue, REG_BINARY, Bytes({10, 10, 5, 5}));
  Open();
  rect = RectOf(window);
  EXPECT_EQ(rect.right - rect.left, minimumWidth);
  EXPECT_EQ(rect.bottom - rect.top, minimumHeight);
}

struct StoredRectCase {
  const char* behaviour;
  DWORD type;
  std::string bytes;
};

// A stored place that cannot be a window's is ignored: the window comes up
// at its default place, 350 x 220 centred on the 1024 x 768 screen.
TEST_F(LogWindowTest, UnusableStoredPlaceIsIgnored) {
  const StoredRectCase cases[] = {
      {"15 bytes", REG_BINARY, Bytes({100, 100, 400, 300}).substr(0, 15)},
      {"17 bytes", REG_BINARY, Bytes({100, 100, 400, 300}) + "x"},
      {"not binary", REG_DWORD, Bytes({100})},
      {"negative width", REG_BINARY, Bytes({100, 100, -400, 300})},
      {"huge width", REG_BINARY, Bytes({100, 100, INT32_MAX, 300})},
      {"huge height", REG_BINARY, Bytes({100, 100, 400, 100000})},
      {"left far outside", REG_BINARY, Bytes({INT32_MIN, 100, 400, 300})},
  };
  for (const StoredRectCase& c : cases) {
    SCOPED_TRACE(c.behaviour);
    StoreValue(kRectValue, c.type, c.bytes);
    Open();
    const RECT rect = RectOf(window);
    EXPECT_EQ(rect.left, (1024 - 350) / 2);
    EXPECT_EQ(rect.top, (768 - 220) / 2);
    EXPECT_EQ(rect.right - rect.left, 350);
    Close();
  }
}

TEST_F(LogWindowTest, StoredPlaceOffTheScreenIsMovedOntoIt) {
  StoreValue(kRectValue, REG_BINARY, Bytes({5000, 200, 400, 300}));
  Open();
  RECT rect = RectOf(window);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 200);
  EXPECT_EQ(rect.right - rect.left, 400);
  Close();

  StoreValue(kRectValue, REG_BINARY, Bytes({300, -600, 400, 300}));
  Open();
  rect = RectOf(window);
  EXPECT_EQ(rect.left, 300);
  EXPECT_EQ(rect.top, 0);
}

// Only a DWORD of 0 brings up the advanced face.
TEST_F(LogWindowTest, StoredFaceIsAdvancedOnlyForZero) {
  const struct {
    const char* behaviour;
    DWORD type;
    std::string bytes;
    DWORD face;
  } cases[] = {
      {"zero", REG_DWORD, Bytes({0}), CLogWindow::MODE_ADVANCED},
      {"one", REG_DWORD, Bytes({1}), CLogWindow::MODE_SIMPLE},
      {"another number", REG_DWORD, Bytes({7}), CLogWindow::MODE_SIMPLE},
      {"zero as binary", REG_BINARY, Bytes({0}), CLogWindow::MODE_SIMPLE},
      {"zero as text", REG_SZ, std::string("0", 2), CLogWindow::MODE_SIMPLE},
      {"two bytes", REG_DWORD, std::string(2, '\0'), CLogWindow::MODE_SIMPLE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    StoreValue(kModeValue, c.type, c.bytes);
    Open();
    ExpectFace(window, c.face);
    Close();
  }
}

// When the face cannot be stored, the window still switches and the
// failure shows in the log as an error line.
TEST_F(LogWindowTest, FaceThatCannotBeStoredIsReportedInTheLog) {
  CLogSinksFront front(nullptr, &log);
  SetLogFront(&front);
  Open();
  SetSettingsKey(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345)), "nowhere");
  Click(kModeButton);
  Settle();
  SetLogFront(nullptr);
  ExpectFace(window, CLogWindow::MODE_ADVANCED);
  const std::vector<ListItem> expected = {{"Error opening registry key.", 2}, {"", 1}};
  EXPECT_EQ(ItemsOf(FullLog()), expected);
}

}  // namespace
}  // namespace logwindowtest
