// The report slots a player calls while it plays: only the current
// player's reports count; the questions it may ask (volume, priority,
// sound settings, the entry being played); and the file types it adds to a
// list the host handed it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "SoundBufferFixture.h"
#include "playback/player/FileExtensionEnum.h"
#include "PlayerTestHost.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiModule.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/players/HandedOutLists.h"

namespace {

using playertest::Host;

using soundtest::kPlayer;

const PLUGIN_HANDLE kPrevious = reinterpret_cast<PLUGIN_HANDLE>(0x7070);

class PlayerReportSlots : public ::testing::Test {
 protected:
  void SetUp() override {
    InitHostApi();
    SetPlayerServices(&services_);
  }
  void TearDown() override { SetPlayerServices(nullptr); }

  soundtest::RecordingServices services_;
};

TEST_F(PlayerReportSlots, ReportsCountOnlyFromTheCurrentPlayer) {
  const char samples[8] = {};
  struct Case {
    const char* report;
    std::function<void(PLUGIN_HANDLE)> send;
  };
  const Case cases[] = {
      {"pause", [](PLUGIN_HANDLE p) { Host().HOST_PauseVisualization(p); }},
      {"resume", [](PLUGIN_HANDLE p) { Host().HOST_ResumeVisualization(p); }},
      {"stop", [](PLUGIN_HANDLE p) { Host().HOST_StopVisualization(p); }},
      {"feed 8 at +", [&](PLUGIN_HANDLE p) { Host().HOST_PlayerFeedSamples(samples, 8, timeGetTime(), 44100, 16, 2, p); }},
      {"stick to file", [](PLUGIN_HANDLE p) { Host().HOST_PlayerWillPlay(p); }},
      {"finished 0", [](PLUGIN_HANDLE p) { Host().HOST_PlayerFinished(HOST_PLAYBACK_FINISHED, p); }},
      {"position 1500", [](PLUGIN_HANDLE p) { Host().HOST_PlayerSetPosition(1500, p); }},
      {"length 3000", [](PLUGIN_HANDLE p) { Host().HOST_PlayerSetDuration(3000, p); }},
      {"sample feed 1 4", [](PLUGIN_HANDLE p) { Host().HOST_PlayerSetSampleFeed(TRUE, 4, p); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.report);
    services_.reports.clear();
    // After "next", the player that played before is no longer current.
    Host().HOST_SetError(0, 0, nullptr);
    c.send(kPrevious);
    c.send(nullptr);
    EXPECT_TRUE(services_.reports.empty());
    EXPECT_EQ(Host().HOST_GetErrorType(), 0u) << "ignored without an error";
    c.send(kPlayer);
    ASSERT_EQ(services_.reports.size(), 1u);
    EXPECT_EQ(services_.reports[0].rfind(c.report, 0), 0u) << services_.reports[0];
  }
}

TEST_F(PlayerReportSlots, PlayersAskForVolumePriorityAndSoundSettings) {
  services_.effectiveVolume = 128;
  EXPECT_EQ(Host().HOST_GetVolume(), 128u);
  EXPECT_EQ(Host().HOST_GetPlayerThreadPriority(), 15u);

  const GUID device = {0x12345678, 0x9abc, 0xdef0, {1, 2, 3, 4, 5, 6, 7, 8}};
  services_.optionsToGive.SetDevice(&device);
  services_.optionsToGive.frequency = 48000;
  services_.optionsToGive.cooperativeLevel = 3;
  const long blocks = GetLiveHostBlockCount();
  HostSoundSettings settings{};
  ASSERT_TRUE(Host().HOST_GetSoundSettings(&settings, kPlayer));
  ASSERT_NE(settings.device, nullptr);
  EXPECT_EQ(std::memcmp(settings.device, &device, sizeof device), 0);
  EXPECT_EQ(settings.frequency, 48000u);
  EXPECT_EQ(settings.bitsPerSample, 16u);
  EXPECT_EQ(settings.channels, 2u);
  EXPECT_EQ(settings.cooperativeLevel, 3u);
  EXPECT_EQ(GetLiveHostBlockCount(), blocks + 1) << "the device block is the plug-in's to free";
  Host().HOST_Free(settings.device);
  EXPECT_EQ(GetLiveHostBlockCount(), blocks);

  // Without memory for the device's block the record is left as it was.
  HostSoundSettings untouched{};
  untouched.frequency = 7;
  FailNextHostAllocations(1);
  Host().HOST_SetError(0, 0, nullptr);
  EXPECT_FALSE(Host().HOST_GetSoundSettings(&untouched, kPlayer));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 2u);
  EXPECT_EQ(untouched.device, nullptr);
  EXPECT_EQ(untouched.frequency, 7u);
  EXPECT_EQ(GetLiveHostBlockCount(), blocks);

  services_.optionsToGive.SetDevice(nullptr);
  ASSERT_TRUE(Host().HOST_GetSoundSettings(&settings, kPlayer));
  EXPECT_EQ(settings.device, nullptr) << "the default device";

  Host().HOST_SetError(0, 0, nullptr);
  EXPECT_FALSE(Host().HOST_GetSoundSettings(nullptr, kPlayer));
  EXPECT_FALSE(Host().HOST_GetSoundSettings(&settings, nullptr));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u);
}

TEST_F(PlayerReportSlots, TheCurrentEntryIsCopiedForThePlayerAndFreedAndZeroedWhenItIsDone) {
  services_.entry.url = "file:///music/a.wav";
  services_.entry.title = "A";
  services_.entry.displayName = "a.wav";
  services_.entry.position = 1200;
  services_.entry.length = 3000;
  const long blocks = GetLiveHostBlockCount();
  HostEntryInfo info{};
  ASSERT_TRUE(Host().HOST_GetCurrentEntry(&info));
  EXPECT_STREQ(info.url, "file:///music/a.wav");
  EXPECT_STREQ(info.title, "A");
  EXPECT_STREQ(info.displayName, "a.wav");
  EXPECT_EQ(info.position, 1200u);
  EXPECT_EQ(info.length, 3000u);
  EXPECT_EQ(GetLiveHostBlockCount(), blocks + 3);
  Host().HOST_FreeEntryInfo(&info);
  EXPECT_EQ(GetLiveHostBlockCount(), blocks);
  const HostEntryInfo zero{};
  EXPECT_EQ(std::memcmp(&info, &zero, sizeof info), 0);

  // Without memory for the copies the record is left as it was.
  HostEntryInfo untouched{};
  untouched.position = 9;
  FailNextHostAllocations(1);
  Host().HOST_SetError(0, 0, nullptr);
  EXPECT_FALSE(Host().HOST_GetCurrentEntry(&untouched));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 2u);
  EXPECT_EQ(untouched.url, nullptr);
  EXPECT_EQ(untouched.position, 9u);
  EXPECT_EQ(GetLiveHostBlockCount(), blocks);

  // Nothing playing: empty texts stay null.
  services_.entry = CurrentEntryInfo{};
  ASSERT_TRUE(Host().HOST_GetCurrentEntry(&info));
  EXPECT_EQ(info.url, nullptr);
  EXPECT_EQ(info.title, nullptr);
  Host().HOST_FreeEntryInfo(&info);
  Host().HOST_FreeEntryInfo(nullptr);
  Host().HOST_SetError(0, 0, nullptr);
  EXPECT_FALSE(Host().HOST_GetCurrentEntry(nullptr));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u);
}

TEST_F(PlayerReportSlots, FileExtensionsAreAddedOnlyToAListHandedOutNow) {
  CFileExtensionEnum extensions;
  HOST_FILEEXTENSIONLIST handle = nullptr;
  {
    CHandedOutExtensionList list(extensions);
    handle = list.GetHandle();
    ASSERT_TRUE(Host().HOST_AddFileExtension(handle, " .MP3", nullptr, 0, kPlayer));
    ASSERT_TRUE(Host().HOST_AddFileExtension(handle, "wav", "Wave sound", 3, kPlayer));
    Host().HOST_SetError(0, 0, nullptr);
    EXPECT_FALSE(Host().HOST_AddFileExtension(handle, "ogg", nullptr, 0, nullptr)) << "no caller";
    EXPECT_FALSE(Host().HOST_AddFileExtension(handle, nullptr, nullptr, 0, kPlayer));
    EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u);
  }
  ASSERT_EQ(extensions.GetCount(), 2);
  EXPECT_STREQ(extensions.GetEntry(0).extension.c_str(), "mp3");
  EXPECT_STREQ(extensions.GetEntry(0).description.c_str(), "MP3 file");
  EXPECT_STREQ(extensions.GetEntry(1).description.c_str(), "Wave sound");
  EXPECT_EQ(extensions.GetEntry(1).fileType, 3u);

  // The call is over: the same handle, or one never handed out, is refused.
  Host().HOST_SetError(0, 0, nullptr);
  EXPECT_FALSE(Host().HOST_AddFileExtension(handle, "ogg", nullptr, 0, kPlayer));
  EXPECT_FALSE(
      Host().HOST_AddFileExtension(reinterpret_cast<HOST_FILEEXTENSIONLIST>(0x1234), "ogg", nullptr, 0, kPlayer));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u);
  EXPECT_EQ(extensions.GetCount(), 2);
}

TEST(FileExtensionEnum, AddNormalizesAndUpdatesKnownExtensionsOnlyWithAFileType) {
  CFileExtensionEnum extensions;
  struct Step {
    const char* extension;
    const char* description;
    DWORD fileType;
    int count;                        // entries afterwards
    const char* expectedDescription;  // of the entry the step names
    DWORD expectedFileType;
  };
  const Step steps[] = {
      {"\t.Mp3 ", nullptr, 0, 1, "MP3 file", 0},
      {"MP3", "MPEG audio", 0, 1, "MP3 file", 0},  // file type 0 leaves a known one alone
      {".mp3", "", 5, 1, "MP3 file", 5},           // an empty description keeps the old one
      {"mp3", "MPEG audio", 6, 1, "MPEG audio", 6},
      {"..ogg", "", 0, 2, ".OGG file", 0},  // only one dot is dropped
      {"   ", "blank", 1, 2, nullptr, 0},   // nothing left once trimmed
      {".", "dot", 1, 2, nullptr, 0},
      {nullptr, "none", 1, 2, nullptr, 0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.extension ? step.extension : "(null)");
    extensions.Add(step.extension, step.description, step.fileType);
    EXPECT_EQ(extensions.GetCount(), step.count);
    if (!step.expectedDescription) continue;
    const int index = extensions.GetCount() - 1;
    EXPECT_STREQ(extensions.GetEntry(index).description.c_str(), step.expectedDescription);
    EXPECT_EQ(extensions.GetEntry(index).fileType, step.expectedFileType);
    EXPECT_FALSE(extensions.GetEntry(index).registered);
  }
  EXPECT_EQ(extensions.Find("mp3"), 0);
  EXPECT_EQ(extensions.Find(".ogg"), 1);
  EXPECT_EQ(extensions.Find("MP3"), -1) << "Find compares the stored form exactly";
}

}  // namespace
