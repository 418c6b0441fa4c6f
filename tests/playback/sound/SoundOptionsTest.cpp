// The sound options fitted to the default device's primary buffer, and the
// primary format set on a device (or refused with its DirectSound error).
#include <twlwin/testing_sound.h>

#include "SoundBufferFixture.h"

using namespace soundtest;

namespace {

const GUID kCard = {0x0C0FFEE0, 0x1234, 0x5678, {9, 8, 7, 6, 5, 4, 3, 2}};

class SoundOptionsTest : public SoundBufferTest {
 protected:
  void TearDown() override {
    SoundBufferTest::TearDown();
    TwlTestSetSoundDevices(nullptr, 0);
  }
};

TEST_F(SoundOptionsTest, DefaultsAreFittedToWhatTheDefaultDevicePlays) {
  const DWORD all = DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARYMONO;
  const struct {
    const char* why;
    DWORD caps;
    DWORD frequency, bits, channels;
  } rows[] = {
      {"a device that plays everything keeps the defaults", all, 44100, 16, 2},
      {"no 16-bit primary: 22050 Hz, 8 bits", all & ~DSCAPS_PRIMARY16BIT, 22050, 8, 2},
      {"no stereo: mono", all & ~DSCAPS_PRIMARYSTEREO, 44100, 16, 1},
      {"16-bit stereo alone", DSCAPS_PRIMARY16BIT | DSCAPS_PRIMARYSTEREO, 44100, 16, 2},
      {"nothing at all: the rules in their order", 0, 22050, 8, 1},
  };
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    const TwlTestSoundDevice device{kCard, "Card", row.caps};
    TwlTestSetSoundDevices(&device, 1);
    SoundOptions options;
    options.frequency = 11025;
    options.SetDevice(&kCard);
    FitDefaultSoundOptions(options);
    EXPECT_EQ(options.GetDevice(), nullptr) << "the default device";
    EXPECT_EQ(options.frequency, row.frequency);
    EXPECT_EQ(options.bitsPerSample, row.bits);
    EXPECT_EQ(options.channels, row.channels);
    EXPECT_EQ(options.cooperativeLevel, 2u);
  }
}

TEST_F(SoundOptionsTest, ACapsQueryThatFailsKeepsTheDefaults) {
  const TwlTestSoundDevice none{};
  TwlTestSetSoundDevices(&none, 0);  // no device at all
  SoundOptions options;
  options.bitsPerSample = 8;
  FitDefaultSoundOptions(options);
  EXPECT_EQ(options.frequency, 44100u);
  EXPECT_EQ(options.bitsPerSample, 16u);
  EXPECT_EQ(options.channels, 2u);
  EXPECT_EQ(GetThreadErrorState()->type, THREAD_ERROR_DIRECTSOUND);
  EXPECT_EQ(GetThreadErrorState()->code, static_cast<DWORD>(DSERR_NODRIVER));
}

TEST_F(SoundOptionsTest, ThePrimaryFormatIsSetAboveTheNormalLevelAndRefusedBelowIt) {
  IDirectSound* device = OpenRecorded("null");
  ASSERT_TRUE(CSoundBuffer::SetPrimaryFormat(device, 22050, 8, 1)) << GetThreadErrorText().c_str();
  EXPECT_EQ(log_.Calls(), (std::vector<std::string>{"CreateSoundBuffer size 20 flags 1 bytes 0", "SetFormat 22050 8 1",
                                                     "Release"}));

  ASSERT_EQ(device->SetCooperativeLevel(OwnerWindow(), DSSCL_NORMAL), DS_OK);
  EXPECT_FALSE(CSoundBuffer::SetPrimaryFormat(device, 44100, 16, 2));
  const ThreadErrorState* error = GetThreadErrorState();
  EXPECT_EQ(error->type, THREAD_ERROR_DIRECTSOUND);
  EXPECT_EQ(error->code, static_cast<DWORD>(DSERR_PRIOLEVELNEEDED));
  EXPECT_STREQ(error->text, "The caller does not have the priority level required for the function to succeed.");
  EXPECT_EQ(GetThreadErrorText(), "DirectSound error: The caller does not have the priority level required for the "
                                  "function to succeed.");
}

TEST_F(SoundOptionsTest, CopiesOwnTheirDevice) {
  SoundOptions first;
  first.SetDevice(&kCard);
  first.frequency = 22050;
  SoundOptions second = first;
  first.SetDevice(nullptr);
  ASSERT_NE(second.GetDevice(), nullptr);
  EXPECT_TRUE(IsEqualGUID(*second.GetDevice(), kCard));
  EXPECT_EQ(second.frequency, 22050u);
}

}  // namespace
