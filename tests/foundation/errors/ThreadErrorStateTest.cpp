#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "foundation/errors/MCIError.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/errors/WinMMError.h"
#include "foundation/kernel/DirectDrawError.h"
#include "foundation/kernel/DirectSoundError.h"
#include "foundation/streams/StreamError.h"

namespace {

std::string TextOf(const ThreadErrorState* state) { return state->text ? state->text : "<null>"; }

// Raises the thread's record and hands back what was thrown.
CError* Raise() {
  try {
    RaiseThreadError();
  } catch (CError* error) {
    return error;
  }
  return nullptr;
}

}  // namespace

TEST(ThreadErrorState, AFreshThreadHasNoError) {
  std::thread([] {
    const ThreadErrorState* state = GetThreadErrorState();
    EXPECT_EQ(state->type, 0u);
    EXPECT_EQ(state->code, 0u);
    EXPECT_EQ(state->text, nullptr);
  }).join();
}

TEST(ThreadErrorState, FetchingTheRecordKeepsTheLastWin32Error) {
  std::thread([] {
    SetLastError(ERROR_ACCESS_DENIED);
    GetThreadErrorState();  // first use creates the record
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ACCESS_DENIED});
  }).join();
}

// Each family is raised as its class with its caption and the record's code
// and text; storing the raised object gives the record the family keeps.
TEST(ThreadErrorState, RoundTripOfEveryType) {
  struct Case {
    DWORD type;
    const CClassRecord* raisedClass;
    const char* caption;
    const char* raisedText;
    DWORD storedType;
    DWORD storedCode;
    const char* storedText;
  };
  const Case cases[] = {
      {0, &CError::ClassRecord, "No Error", "no error occurred", 1, 0, "No Error: no error occurred"},
      {1, &CError::ClassRecord, "Error", "lost", 1, 0, "Error: lost"},
      {2, &CDirectDrawError::ClassRecord, "DirectDraw error", "lost", 2, 5, "lost"},
      {3, &CDirectSoundError::ClassRecord, "DirectSound error", "lost", 3, 5, "lost"},
      {4, &CStreamError::ClassRecord, "Stream Error", "lost", 4, 5, "lost"},
      {5, &CWinMMError::ClassRecord, "Windows Multimedia error", "lost", 5, 5, "lost"},
      {6, &CMCIError::ClassRecord, "Windows MCI error", "lost", 6, 5, "lost"},
      {7, &CError::ClassRecord, "Error", "lost", 1, 0, "Error: lost"},
      {8, &CError::ClassRecord, "Error", "lost", 1, 0, "Error: lost"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("type " + std::to_string(c.type));
    SetThreadError(c.type, 5, "lost");
    CError* raised = Raise();
    ASSERT_NE(raised, nullptr);
    EXPECT_EQ(raised->GetClassRecord(), c.raisedClass);
    EXPECT_STREQ(raised->GetCaption(), c.caption);
    EXPECT_STREQ(raised->GetText(), c.raisedText);
    EXPECT_TRUE(raised->IsHeapObject());
    // the record is left as it was by raising
    EXPECT_EQ(GetThreadErrorState()->type, c.type);
    EXPECT_EQ(TextOf(GetThreadErrorState()), "lost");

    SetThreadError(0, 0, nullptr);
    StoreThreadError(raised);
    DisposeError(raised);
    const ThreadErrorState* stored = GetThreadErrorState();
    EXPECT_EQ(stored->type, c.storedType);
    EXPECT_EQ(stored->code, c.storedCode);
    EXPECT_EQ(TextOf(stored), c.storedText);
  }
}

TEST(ThreadErrorState, RaisedCodesTravelWithTheirClass) {
  SetThreadError(THREAD_ERROR_DIRECTDRAW, 0x88760005u, "lost");
  CError* raised = Raise();
  ASSERT_TRUE(IsKindOf<CDirectDrawError>(raised));
  EXPECT_EQ(static_cast<CDirectDrawError*>(raised)->GetCode(), 0x88760005u);
  DisposeError(raised);

  SetThreadError(THREAD_ERROR_STREAM, 10, nullptr);  // a null text becomes the empty text
  raised = Raise();
  ASSERT_TRUE(IsKindOf<CStreamError>(raised));
  EXPECT_EQ(static_cast<CStreamError*>(raised)->GetCode(), 10u);
  EXPECT_STREQ(static_cast<CStreamError*>(raised)->GetPath(), "");
  EXPECT_STREQ(raised->GetText(), "");
  DisposeError(raised);
}

TEST(ThreadErrorState, StoringAnErrorOutsideTheFamiliesJoinsCaptionAndText) {
  CError error("Ini error", "x");
  StoreThreadError(&error);
  EXPECT_EQ(GetThreadErrorState()->type, 1u);
  EXPECT_EQ(GetThreadErrorState()->code, 0u);
  EXPECT_EQ(TextOf(GetThreadErrorState()), "Ini error: x");

  CStreamError stream(10, "/tmp/a.mp3");
  StoreThreadError(&stream);
  EXPECT_EQ(GetThreadErrorState()->type, 4u);
  EXPECT_EQ(GetThreadErrorState()->code, 10u);
  EXPECT_EQ(TextOf(GetThreadErrorState()), "The file was not found. (file path: '/tmp/a.mp3')");
}

TEST(ThreadErrorState, ThreadErrorTextCarriesTheFamilyCaption) {
  const struct {
    DWORD type;
    const char* text;
    const char* expected;
  } cases[] = {
      {1, "abc", "abc"},
      {2, "abc", "DirectDraw error: abc"},
      {3, "abc", "DirectSound error: abc"},
      {4, "abc", "Stream error: abc"},
      {5, "abc", "Window Multimedia error: abc"},
      {6, "abc", "MCI error: abc"},
      {7, "abc", "abc"},
      {4, nullptr, "Stream error: "},
      {0, nullptr, ""},
  };
  for (const auto& c : cases) {
    SetThreadError(c.type, 0, c.text);
    EXPECT_STREQ(GetThreadErrorText(), c.expected) << "type " << c.type;
  }
}

TEST(ThreadErrorState, WrapCopyAndPutBack) {
  SetThreadError(1, 0, nullptr);
  WrapThreadErrorText("[", "]");
  EXPECT_EQ(TextOf(GetThreadErrorState()), "[]");
  WrapThreadErrorText(nullptr, "!");
  EXPECT_EQ(TextOf(GetThreadErrorState()), "[]!");

  SetThreadError(5, 7, "saved");
  ThreadErrorState* copy = CopyThreadError();
  SetThreadError(2, 1, "other");
  SetThreadError(copy->type, copy->code, copy->text);
  FreeThreadErrorCopy(copy);
  EXPECT_EQ(GetThreadErrorState()->type, 5u);
  EXPECT_EQ(GetThreadErrorState()->code, 7u);
  EXPECT_EQ(TextOf(GetThreadErrorState()), "saved");

  // putting back the record's own text must not read freed memory
  SetThreadError(1, 0, GetThreadErrorState()->text);
  EXPECT_EQ(TextOf(GetThreadErrorState()), "saved");
}

TEST(ThreadErrorState, MiscTexts) {
  EXPECT_STREQ(GetMiscErrorText(0), "no error occurred");
  EXPECT_STREQ(GetMiscErrorText(8), "the specified mixer control is unavailable");
  EXPECT_STREQ(GetMiscErrorText(9), "an unknown err occurred");
  EXPECT_STREQ(GetErrorTypeCaption(7), "");
}

TEST(ThreadErrorState, RecordsOfThreadsAreTheirOwnAndOutliveThem) {
  SetThreadError(1, 0, "main");
  ThreadErrorState* other = nullptr;
  std::thread([&other] {
    SetThreadError(6, 3, "worker");
    other = GetThreadErrorState();
  }).join();
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, GetThreadErrorState());
  EXPECT_EQ(TextOf(other), "worker");  // still readable after the thread ended
  EXPECT_EQ(TextOf(GetThreadErrorState()), "main");
}
