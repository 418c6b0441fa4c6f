// Modal message boxes answered by the test script, or by their default
// button when there is none.
#include <gtest/gtest.h>

#include "Recorder.h"

using namespace usertest;

TEST(MessageBox, ReturnsTheScriptedAnswerWhileItsOwnerIsDisabled) {
  RegisterRecordingClass("Recorder");
  HWND owner = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND child = MakeWindow("Recorder", WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, owner, 1);
  Recorder::Get().Clear();
  TwlTestPushMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBoxA(child, "Really quit?", "Exit", MB_YESNO | MB_ICONQUESTION), IDNO);
  auto enables = Recorder::Get().Of(WM_ENABLE);
  ASSERT_EQ(enables.size(), 2u);  // the top-level owner, not the child
  EXPECT_EQ(enables[0].window, owner);
  EXPECT_EQ(enables[0].wParam, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(enables[1].wParam, static_cast<WPARAM>(TRUE));
  EXPECT_TRUE(IsWindowEnabled(owner));
  ASSERT_EQ(TwlTestMessageBoxCount(), 1);
  char text[32], caption[16];
  UINT type = 0;
  int answer = 0;
  ASSERT_TRUE(TwlTestGetMessageBox(0, text, sizeof text, caption, sizeof caption, &type, &answer));
  EXPECT_STREQ(text, "Really quit?");
  EXPECT_STREQ(caption, "Exit");
  EXPECT_EQ(type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(answer, IDNO);
}

TEST(MessageBox, WithoutAScriptTakesTheDefaultButtonAndLogsItsText) {
  struct Case {
    UINT type;
    int expected;
  };
  const Case cases[] = {
      {MB_OK | MB_ICONERROR, IDOK},          {MB_YESNO, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_RETRYCANCEL | MB_DEFBUTTON2, IDCANCEL}, {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Unable to register log window class.", "Window error", c.type), c.expected);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Unable to register log window class."), std::string::npos);
  }
}

TEST(MessageBox, AScriptedAnswerTheBoxHasNoButtonForGivesTheDefault) {
  TwlTestPushMessageBoxAnswer(IDYES);
  TwlTestPushMessageBoxAnswer(IDCANCEL);
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_OK), IDOK);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_OKCANCEL), IDCANCEL);  // the next answer still counts
}
