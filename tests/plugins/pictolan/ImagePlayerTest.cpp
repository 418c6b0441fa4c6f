// Pictolan's image player through the plug-in interface, on a host that
// records what the player reports: which names it plays, the file types
// it registers, and the slide show on the test's clock (loading, the
// display time, pauses, stopping while a picture loads).
#include <gtest/gtest.h>
#include <twlwin/testing.h>
#include <twlwin/testing_user.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PictolanHost.h"
#include "pluginhost/hostapi/HostApi.h"
#include "support/TestPaths.h"

namespace {

using pictolantest::PictolanModule;
using pictolantest::Recording;
using pictolantest::Reports;

PLUGIN_HANDLE const kPlayerCaller = reinterpret_cast<PLUGIN_HANDLE>(0x7170);

// The record starts and ends empty, for the tests of the other objects.
struct FreshRecording {
  FreshRecording() { Recording() = {}; }
  ~FreshRecording() { Recording() = {}; }
};

struct PlayerUnderTest {
  FreshRecording fresh;
  PictolanModule module;
  const PlayerInterface2* player = nullptr;
  PLUGIN_CONTEXT context = 0;

  bool Start() {
    if (!module.Init()) return false;
    player = module.Object<PlayerInterface2>(PLUGINOBJ_PLAYER, &context);
    return player && player->head.OBJECT_Init(context, kPlayerCaller);
  }
  ~PlayerUnderTest() {
    if (player) player->head.OBJECT_Exit(context);
  }
};

// A small picture the player can read, in a folder of the test's own.
std::string MakePicture(const std::string& name, const std::string& bytes = "") {
  const std::string folder = twltest::MakeTempDir("image player");
  const std::string path = folder + "/" + name;
  if (bytes.empty()) {
    EXPECT_EQ(twltest::RunCommand("convert -size 32x16 xc:red '" + path + "'"), 0);
  } else {
    twltest::WriteFile(path, bytes);
  }
  return path;
}

std::string ClockText(DWORD offset) { return "@" + std::to_string(offset); }

TEST(ImagePlayer, PlaysNamesOfItsFileTypesAndRegistersThemAsPictures) {
  PlayerUnderTest test;
  ASSERT_TRUE(test.Start());
  const PlayerInterface2& player = *test.player;
  const HostApiTable& host = *test.module.Table();
  EXPECT_EQ(pictolantest::TakeHostText(host, player.head.OBJECT_GetName(test.context)), "Velbrook Pictolan Add-On");
  EXPECT_EQ(player.head.OBJECT_HasConfiguration(test.context), 1);
  struct Case {
    const char* url;
    CanPlayAnswer answer;
  };
  const Case cases[] = {
      {"c:/pictures/holiday.JPEG", {0, 1, 1, 0, 0, 1, 0, 192}},
      {"http://host/a.png", {0, 1, 1, 0, 0, 1, 0, 192}},
      {"x.TiF", {0, 1, 1, 0, 0, 1, 0, 192}},
      {"noextension", {}},
      {"song.ogg", {}},
      {"folder.jpg/readme", {}},
  };
  for (const Case& c : cases) {
    CanPlayAnswer answer{};
    answer.verdict = 7;  // cleared when the player cannot play the name
    player.PLAYER_CanPlay(test.context, c.url, &answer);
    EXPECT_EQ(std::memcmp(&answer, &c.answer, sizeof answer), 0)
        << c.url << ": " << answer.verdict << " " << answer.priority;
  }

  Recording().calls.clear();
  EXPECT_EQ(player.PLAYER_RegisterFileTypes(test.context, nullptr), 1);
  std::vector<std::string> extensions;
  for (const std::string& call : Recording().calls) {
    ASSERT_EQ(call.rfind("extension ", 0), 0u) << call;
    EXPECT_EQ(call.substr(call.size() - 2), "|2") << call;
    EXPECT_GT(call.find('|') + 1, 0u);
    extensions.push_back(call.substr(10, call.find('|') - 10));
  }
  EXPECT_EQ(extensions, (std::vector<std::string>{"bmp", "gif", "jpg", "jpeg", "tiff", "tif", "png"}));
}

class ImagePlayerSlides : public testing::Test {
 protected:
  void SetUp() override {
    TwlTestUseManualClock(TRUE);
    Reports().Take();
    test_ = std::make_unique<PlayerUnderTest>();
    ASSERT_TRUE(test_->Start());
  }
  void TearDown() override {
    if (test_ && test_->player) test_->player->PLAYER_Stop(test_->context);
    test_.reset();
    TwlTestUseManualClock(FALSE);
  }
  // Plays the file and waits until the player reports it playing; the
  // clock's value then.
  DWORD PlayUntilShown(const std::string& path) {
    EXPECT_EQ(test_->player->PLAYER_Play(test_->context, path.c_str()), 1);
    EXPECT_TRUE(Reports().WaitFor(1));
    const std::vector<std::string> reports = Reports().Take();
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports.empty() ? "" : reports[0], "will play " + ClockText(timeGetTime()));
    return timeGetTime();
  }
  // A wait takes its time-out from the clock when it starts: the loader
  // gets a moment to start waiting before the clock moves, or its wait
  // would end that much later.
  static void LetLoaderWait() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }
  void Advance(DWORD milliseconds) {
    LetLoaderWait();
    TwlTestAdvanceClock(milliseconds);
  }
  void Call(BOOL (*operation)(PLUGIN_CONTEXT)) {
    LetLoaderWait();
    operation(test_->context);
  }
  // Nothing more was reported; the loader gets a moment to prove wrong.
  void ExpectStillShowing() {
    LetLoaderWait();
    EXPECT_EQ(Reports().Count(), 0u);
  }
  void ExpectFinishedAt(DWORD clock) {
    ASSERT_TRUE(Reports().WaitFor(1));
    EXPECT_EQ(Reports().Take(), std::vector<std::string>{"finished 0 " + ClockText(clock)});
  }

  std::unique_ptr<PlayerUnderTest> test_;
};

TEST_F(ImagePlayerSlides, APictureEndsExactlyAtTheDisplayTimeAndEveryPauseMovesTheEnd) {
  const std::string path = MakePicture("a.png");
  DWORD shown = PlayUntilShown(path);
  Advance(4999);
  ExpectStillShowing();
  Advance(1);
  ExpectFinishedAt(shown + 5000);

  // 5 s with pauses of 2 s and 1 s: over 8 s after it began.
  shown = PlayUntilShown(path);
  const PlayerInterface2& player = *test_->player;
  Advance(1000);
  Call(player.PLAYER_Pause);
  Advance(2000);
  Call(player.PLAYER_Resume);
  Advance(1000);
  Call(player.PLAYER_Pause);
  Advance(1000);
  Call(player.PLAYER_Resume);
  Advance(2999);
  ExpectStillShowing();
  Advance(1);
  ExpectFinishedAt(shown + 8000);
}

// The stored display time, read when the player starts.
class ImagePlayerDisplayTimes : public ImagePlayerSlides {
 protected:
  void SetUp() override {}
  // The player started anew with this value stored.
  void StartWith(const void* bytes, DWORD size, DWORD type) {
    ImagePlayerSlides::TearDown();
    pictolantest::StoreDisplayTime(bytes, size, type);
    ImagePlayerSlides::SetUp();
  }
  void TearDown() override {
    ImagePlayerSlides::TearDown();
    pictolantest::StoreDisplayTime(nullptr, 0, 0);
  }
};

TEST_F(ImagePlayerDisplayTimes, AStoredTimeIsTakenAsItStands) {
  struct Case {
    DWORD stored;
    DWORD endsAfter;  // 0: not until stopped
  };
  const std::string path = MakePicture("d.png");
  for (const Case c : {Case{1500, 1500}, Case{0x80000000u, 0}, Case{0, 0}}) {
    SCOPED_TRACE(c.stored);
    StartWith(&c.stored, sizeof c.stored, REG_DWORD);
    const DWORD shown = PlayUntilShown(path);
    if (c.endsAfter) {
      Advance(c.endsAfter - 1);
      ExpectStillShowing();
      Advance(1);
      ExpectFinishedAt(shown + c.endsAfter);
    } else {
      Advance(100000);
      ExpectStillShowing();
      Call(test_->player->PLAYER_Stop);
      ExpectFinishedAt(shown + 100000);
    }
  }
}

TEST_F(ImagePlayerDisplayTimes, AValueOfAnotherTypeOrSizeLeavesFiveSeconds) {
  const std::string path = MakePicture("e.png");
  const char text[] = "1500";
  StartWith(text, sizeof text, REG_SZ);
  const DWORD shown = PlayUntilShown(path);
  Advance(4999);
  ExpectStillShowing();
  Advance(1);
  ExpectFinishedAt(shown + 5000);
}

TEST_F(ImagePlayerSlides, FilesNoTypeReadsEndAsCannotPlayWithTheReason) {
  struct Case {
    std::string path;
    const char* report;
  };
  const std::string png = MakePicture("b.png");
  const std::string pngBytes = twltest::ReadFile(png);
  const Case cases[] = {
      {MakePicture("png.gif", pngBytes), "finished 2 misc 6"},
      {MakePicture("x.jpg", "not a picture\n"), "finished 2 misc 6"},
      {MakePicture("empty.png", std::string("\0", 1)), "finished 2 misc 6"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(test_->player->PLAYER_Play(test_->context, c.path.c_str()), 1);
    ASSERT_TRUE(Reports().WaitFor(1));
    EXPECT_EQ(Reports().Take(), std::vector<std::string>{std::string(c.report) + " " + ClockText(timeGetTime())})
        << c.path;
  }
}

TEST_F(ImagePlayerSlides, StopEndsTheSlideKeepsTheCallersErrorAndAThreadThatCannotStartIsAnError) {
  const std::string path = MakePicture("c.png");
  const DWORD shown = PlayUntilShown(path);
  const HostApiTable& host = *GetHostApiTable();
  host.HOST_SetMiscError(HOST_MISC_BUSY);
  EXPECT_EQ(test_->player->PLAYER_Stop(test_->context), 1);
  // Stop returns after the loader reported.
  EXPECT_EQ(Reports().Take(), std::vector<std::string>{"finished 0 " + ClockText(shown)});
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), HOST_MISC_BUSY);

  TwlTestFailThreadStarts(1);
  EXPECT_EQ(test_->player->PLAYER_Play(test_->context, path.c_str()), 0);
  EXPECT_STREQ(host.HOST_GetErrorText(), "Error creating thread.");
  TwlTestFailThreadStarts(0);
}

}  // namespace
