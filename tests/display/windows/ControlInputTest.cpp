// Surface-drawn controls taking a window's input: what push buttons,
// toggles and disabled buttons report for mouse and focus keys, the one
// paint per input event, what keeps a window from being dragged, and the
// list and focus windows the framework keeps.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlFixture.h"
#include "display/controls/DDButtons.h"
#include "display/controls/DDControlList.h"
#include "display/controls/DDTextControls.h"
#include "display/controls/SkinControlStyle.h"

using namespace controltest;

namespace {

const RECT kButton{40, 30, 140, 60};
constexpr POINT kInside{60, 40};
constexpr POINT kOutside{200, 100};

enum class Kind { kPush, kToggle, kCheckedToggle };

enum class Step { kMove, kDown, kUp };
struct Input {
  Step step;
  POINT at;
};

class ButtonTest : public ControlTest {
 protected:
  CDDControl* MakeButton(ControlWindow& window, Kind kind) {
    window.Make(300, 200);
    SkinControlStyle style{};
    EXPECT_TRUE(FillSkinControlStyle(&ui().GetDDSkin(), style));
    CDDControl* button = window.CreateButton(7, "Play", &kButton, style, kind != Kind::kPush);
    if (kind == Kind::kCheckedToggle) static_cast<CDDToggleButton*>(button)->SetChecked(1);
    window.events.clear();
    return button;
  }

  static void Play(const std::vector<Input>& inputs) {
    for (const Input& input : inputs) {
      if (input.step == Step::kMove) MoveTo(input.at.x, input.at.y);
      if (input.step == Step::kDown) Press(input.at.x, input.at.y);
      if (input.step == Step::kUp) ReleaseAt(input.at.x, input.at.y);
    }
  }
};

}  // namespace

TEST_F(ButtonTest, MouseInputGivesTheNotificationsOfEachButtonKind) {
  const std::vector<Input> click = {{Step::kMove, kInside}, {Step::kDown, kInside}, {Step::kUp, kInside}};
  const std::vector<Input> dragOut = {
      {Step::kMove, kInside}, {Step::kDown, kInside}, {Step::kMove, kOutside}, {Step::kUp, kOutside}};
  const struct {
    const char* why;
    Kind kind;
    std::vector<Input> inputs;
    std::vector<int> expected;
  } cases[] = {
      {"a click: enter, press, release, clicked", Kind::kPush, click, {5, 3, 4, 2}},
      {"dragged out and released outside: no release and no click", Kind::kPush, dragOut, {5, 3, 6}},
      {"an unchecked toggle: pressed at the press, clicked at the release", Kind::kToggle, click, {5, 3, 2}},
      {"a checked toggle: unchecked and clicked at the release", Kind::kCheckedToggle, click, {5, 4, 2}},
      {"a toggle dragged out: nothing checked", Kind::kToggle, dragOut, {5, 3, 6}},
  };
  for (const auto& row : cases) {
    ControlWindow window;
    CDDControl* button = MakeButton(window, row.kind);
    ASSERT_NE(button, nullptr) << row.why;
    Play(row.inputs);
    EXPECT_EQ(window.events, row.expected) << row.why;
    window.Destroy();
    MoveTo(kOutside.x, kOutside.y);
  }
}

TEST_F(ButtonTest, ToggleStaysUncheckedAfterADragOutAndIsCheckedByAClick) {
  ControlWindow window;
  auto* toggle = static_cast<CDDToggleButton*>(MakeButton(window, Kind::kToggle));
  Play({{Step::kMove, kInside}, {Step::kDown, kInside}, {Step::kMove, kOutside}, {Step::kUp, kOutside}});
  EXPECT_FALSE(toggle->IsChecked());
  EXPECT_EQ(toggle->GetState(), 0);
  Play({{Step::kMove, kInside}, {Step::kDown, kInside}, {Step::kUp, kInside}});
  EXPECT_TRUE(toggle->IsChecked());
  EXPECT_EQ(toggle->GetState(), 2) << "a checked toggle looks pressed";
}

TEST_F(ButtonTest, SpaceAndEnterClickAFocusedPushButtonOnlySpaceTogglesACheckBox) {
  const struct {
    const char* why;
    Kind kind;
    UINT key;
    std::vector<int> expected;
  } cases[] = {
      {"space clicks a push button", Kind::kPush, VK_SPACE, {3, 4, 2}},
      {"enter clicks a push button", Kind::kPush, VK_RETURN, {3, 4, 2}},
      {"space checks a check box", Kind::kToggle, VK_SPACE, {3, 2}},
      {"space unchecks a checked one", Kind::kCheckedToggle, VK_SPACE, {4, 2}},
      {"enter does nothing to a check box", Kind::kToggle, VK_RETURN, {}},
  };
  for (const auto& row : cases) {
    ControlWindow window;
    CDDControl* button = MakeButton(window, row.kind);
    ASSERT_EQ(button->CreateFocusWindow(window.GetWindowHandle(), 1), 1);
    HWND focus = button->GetFocusWindow();
    SendMessageA(focus, WM_KEYDOWN, row.key, 1);
    SendMessageA(focus, WM_KEYUP, row.key, 1);
    EXPECT_EQ(window.events, row.expected) << row.why;
  }
}

TEST_F(ButtonTest, ADisabledButtonSendsNothingAndDrawsItsDisabledStateWithoutAFocusFrame) {
  ControlWindow window;
  auto* button = static_cast<CDDPushButton*>(MakeButton(window, Kind::kPush));
  ASSERT_EQ(button->CreateFocusWindow(window.GetWindowHandle(), 1), 1);
  button->SetDisabled(1);
  EXPECT_FALSE(IsWindowEnabled(button->GetFocusWindow())) << "its focus window is disabled with it";
  Play({{Step::kMove, kInside}, {Step::kDown, kInside}, {Step::kUp, kInside}, {Step::kMove, kOutside}});
  SendMessageA(button->GetFocusWindow(), WM_KEYDOWN, VK_SPACE, 1);
  SendMessageA(button->GetFocusWindow(), WM_KEYUP, VK_SPACE, 1);
  EXPECT_TRUE(window.events.empty());
  EXPECT_EQ(button->GetState(), 3);

  // Focused or not, the disabled button looks the same; enabled, the focus
  // frame shows.
  const auto drawn = [&](int focused, int disabled) {
    button->SetDisabled(disabled);
    button->CDDControl::SetFocus(focused);
    window.InvalidateRect(nullptr);
    EXPECT_TRUE(window.PaintDirty());
    std::vector<COLORREF> pixels(300 * 200);
    EXPECT_TRUE(TwlTestGetWindowPixels(window.GetWindowHandle(), pixels.data(), 300, 200));
    return pixels;
  };
  EXPECT_EQ(drawn(1, 1), drawn(0, 1));
  EXPECT_NE(drawn(1, 0), drawn(0, 0));
}

TEST_F(ButtonTest, AButtonTextWiderThanTheButtonIsShortenedForGood) {
  ControlWindow window;
  window.Make(300, 200);
  SkinControlStyle style{};
  ASSERT_TRUE(FillSkinControlStyle(&ui().GetDDSkin(), style));
  const RECT narrow{10, 10, 40, 30};
  auto* button = static_cast<CDDPushButton*>(window.CreateButton(1, "A rather long caption", &narrow, style, false));
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(window.Paint(nullptr));
  const std::string kept = button->GetText();
  EXPECT_LT(kept.size(), std::string("A rather long caption").size());
  EXPECT_EQ(std::string("A rather long caption").rfind(kept, 0), 0u) << "characters go from the end";
  EXPECT_LE(ddcontrols::TextWidth(Font(2), kept.c_str()), 30);
  button->SetVisible(0);
  button->SetVisible(1);
  EXPECT_EQ(button->GetText(), kept) << "the cut is permanent";
}

TEST_F(ButtonTest, OneInputEventThatRepaintsTwoControlsPaintsOnce) {
  ControlWindow window;
  window.Make(300, 200);
  SkinControlStyle style{};
  ASSERT_TRUE(FillSkinControlStyle(&ui().GetDDSkin(), style));
  const RECT first{10, 10, 60, 40};
  const RECT second{40, 10, 100, 40};
  window.CreateButton(1, "A", &first, style, false);
  window.CreateButton(2, "B", &second, style, false);
  TwlTestPumpMessages();
  window.paints = 0;
  window.repaints = 0;
  MoveTo(50, 20);
  EXPECT_EQ(window.repaints, 2) << "both buttons are entered";
  EXPECT_EQ(window.paints, 1);
}

TEST_F(ButtonTest, ALabelNeverKeepsTheWindowFromBeingDraggedAButtonDoes) {
  ControlWindow window;
  window.Make(300, 200);
  SkinControlStyle style{};
  ASSERT_TRUE(FillSkinControlStyle(&ui().GetDDSkin(), style));
  const RECT labelRect{10, 100, 200, 120};
  CDDLabel* label = window.CreateLabel(3, "Title", &labelRect, -1);
  CDDControl* button = window.CreateButton(4, "OK", &kButton, style, false);
  ASSERT_NE(label, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(label->IsInteractive(), 0);
  EXPECT_EQ(window.GetControls().FindInteractiveAt(20, 110), nullptr);
  EXPECT_EQ(window.GetControls().FindInteractiveAt(kInside.x, kInside.y), button);
  EXPECT_EQ(window.GetControls().FindInteractiveAt(kButton.right, kInside.y), nullptr) << "the right edge is outside";
}

TEST_F(ButtonTest, WithoutALoadedSkinWindowsMakeNoButtonsOrLabels) {
  ControlWindow window;
  window.Make(300, 200);
  SkinControlStyle style{};
  ASSERT_TRUE(FillSkinControlStyle(&ui().GetDDSkin(), style));
  EXPECT_EQ(window.CreateButton(1, "OK", nullptr, style, false), nullptr) << "no rectangle";
  ui().GetDDSkin().Release();
  EXPECT_FALSE(FillSkinControlStyle(&ui().GetDDSkin(), style));
  EXPECT_EQ(window.CreateButton(1, "OK", &kButton, style, false), nullptr);
  EXPECT_EQ(window.CreateLabel(2, "Text", &kButton, 0), nullptr);
  EXPECT_EQ(window.GetControls().GetCount(), 0);
}

TEST_F(ButtonTest, ControlsCreatedAgainLoseTheirFocusWindowAndInvisibleOnesAskForNoRepaint) {
  ControlWindow window;
  CDDControl* button = MakeButton(window, Kind::kPush);
  ASSERT_EQ(button->CreateFocusWindow(window.GetWindowHandle(), 1), 1);
  HWND focus = button->GetFocusWindow();
  char className[64] = {};
  GetClassNameA(focus, className, sizeof className);
  EXPECT_STREQ(className, "DirectDrawWindow focus dummy class");
  RECT place{};
  GetWindowRect(focus, &place);
  EXPECT_EQ(place.right - place.left, 1);
  EXPECT_EQ(GetDlgCtrlID(focus), 7);

  static_cast<CDDPushButton*>(button)->Create(8, &CWindow::ControlCallback, &window, kButton, "Again", nullptr, 0, 0,
                                              0);
  EXPECT_EQ(button->GetFocusWindow(), nullptr);
  EXPECT_FALSE(IsWindow(focus));

  window.repaints = 0;
  button->SetVisible(0);
  EXPECT_EQ(button->Invalidate(nullptr), 1);
  EXPECT_EQ(window.repaints, 0);
}

namespace {

// Counts what the list asks of it.
class CountingControl : public CDDControl {
 public:
  explicit CountingControl(int result = 1) : m_Result(result) {}
  int Draw(IDirectDrawSurface2*, int, int, const RECT*) override {
    ++draws;
    return m_Result;
  }
  int RestoreSurfaces() override {
    ++restores;
    return m_Result;
  }
  int draws = 0;
  int restores = 0;

 private:
  int m_Result;
};

}  // namespace

TEST(ControlList, GrowsByTenAndFreesItsArrayWithTheLastControl) {
  CDDControlList list;
  std::vector<std::unique_ptr<CountingControl>> controls;
  for (int index = 0; index < 11; ++index) {
    controls.push_back(std::make_unique<CountingControl>());
    EXPECT_EQ(list.Add(controls.back().get()), index + 1);
    EXPECT_EQ(list.GetCapacity(), index < 10 ? 10 : 20) << "after add " << index + 1;
  }
  list.RemoveAll(false);
  EXPECT_EQ(list.GetCapacity(), 0);
  EXPECT_EQ(list.GetAt(0), nullptr);
}

TEST(ControlList, DrawsWhatMeetsTheClipGoesOnAfterAFailureAndRestoresUntilOne) {
  CountingControl failing(0), first, second;
  first.Create(1, nullptr, nullptr, RECT{0, 0, 10, 10});
  failing.Create(2, nullptr, nullptr, RECT{0, 0, 10, 10});
  second.Create(3, nullptr, nullptr, RECT{50, 50, 60, 60});
  CDDControlList list;
  list.Add(&first);
  list.Add(&failing);
  list.Add(&second);
  const RECT clip{0, 0, 20, 20};
  EXPECT_EQ(list.Draw(nullptr, 0, 0, &clip), 0);
  EXPECT_EQ(first.draws, 1);
  EXPECT_EQ(second.draws, 0) << "outside the clip";
  EXPECT_EQ(list.Draw(nullptr, 0, 0, nullptr), 0);
  EXPECT_EQ(second.draws, 1) << "drawn after the failing one";
  EXPECT_EQ(list.RestoreSurfaces(), 0);
  EXPECT_EQ(second.restores, 0) << "restoring stops at the failure";
  EXPECT_EQ(list.FindById(3), &second);
  EXPECT_EQ(list.Remove(&failing, false), 1);
  EXPECT_EQ(list.Remove(&failing, false), 0);
  list.RemoveAll(false);
}
