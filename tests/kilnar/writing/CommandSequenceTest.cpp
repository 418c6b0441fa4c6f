// The commands the ATAPI recorder class sends, in order, to identify a
// drive, burn one track-at-once data track in the burn job's order and
// close the session, against a table written from its description.
#include <string>
#include <vector>

#include "WritingFixture.h"
#include "kilnar/recorder/AtapiRecorder.h"

namespace {

constexpr const char* kModeSense2A = "5a 00 2a 00 00 00 00 1c 00 00 | in 7168 | good";
constexpr const char* kModeSense05 = "5a 00 05 00 00 00 00 1c 00 00 | in 7168 | good";
constexpr const char* kSpeed4x = "bb 00 02 c4 02 c4 00 00 00 00 00 00 | none | good";
constexpr const char* kModeSelect = "55 10 00 00 00 00 00 00 3c 00 | out 60 | good | ";
constexpr const char* kNextWritable = "52 01 00 00 00 ff 00 00 1c 00 | in 28 | good";
constexpr const char* kSynchronize = "35 00 00 00 00 00 00 00 00 00 | none | good";
constexpr const char* kReady = "00 00 00 00 00 00 | none | good";

using CommandSequenceTest = kilnartest::WritingFixture;

TEST_F(CommandSequenceTest, IdentifyWriteOneTrackAndCloseTheSession) {
  folder_ = std::make_unique<kilnartest::EmulatedRecorderFolder>();
  folder_->UseInThisProcess();
  ScsiMan manager;
  ASSERT_TRUE(manager.FindHostAdapters());
  const auto drive = manager.CreateDevice(0, 0);
  ASSERT_NE(drive, nullptr) << manager.GetErrorText();
  auto* recorder = dynamic_cast<Dev_ATAPIRecorder*>(drive.get());
  ASSERT_NE(recorder, nullptr) << drive->GetClassName();

  const std::string data = kilnartest::PatternBytes(45 * 2048, 9);
  uint32_t freeBlocks = 0;
  BurnOneTrack(*recorder, data, freeBlocks);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(freeBlocks, 359849u);

  const std::string configured =
      kModeSelect + kilnartest::WriteParametersList("05 30 01 00 00 00 00 00 00 00 00 00 00 00 00 96");
  const std::string track =
      kModeSelect + kilnartest::WriteParametersList("05 32 01 c4 08 00 00 00 00 00 00 00 00 00 00 96");
  const std::vector<std::string> expected = {// identification, by the factory and by the recorder object
                                             "12 00 00 00 2c 00 | in 44 | good", "12 00 00 00 2c 00 | in 44 | good",
                                             // GetFreeBlocks: disc information, then the next writable address
                                             "51 00 00 00 00 00 00 00 20 00 | in 32 | good", kNextWritable,
                                             // GetConfig, SetConfig at 4x
                                             kModeSense2A, kModeSense05, kSpeed4x, kModeSense05, configured,
                                             // StartTrack: the configuration again, WriteTrack, the address
                                             kModeSense2A, kModeSense05, kSpeed4x, kModeSense05, configured,
                                             kModeSense2A, kModeSense05, kModeSense05, track, kNextWritable,
                                             // Write, Write
                                             "aa 00 00 00 00 00 00 00 00 1e 00 00 | out 61440 | good",
                                             "aa 00 00 00 00 1e 00 00 00 0f 00 00 | out 30720 | good",
                                             // EndTrack
                                             kSynchronize, kSynchronize,
                                             // Fixation
                                             kReady, "5b 00 02 00 00 01 00 00 00 00 | none | good", kReady};
  EXPECT_EQ(LoggedCommands(), expected);
  EXPECT_EQ(twltest::ReadFile(folder_->disc), data);
  EXPECT_EQ(twltest::ReadFile(folder_->disc + ".layout"),
            "medium cdr 359849\nsession 1 appendable\ntrack 1 session 1 start 0 length 47 data\n");
}

}  // namespace
