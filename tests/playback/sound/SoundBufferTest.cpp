// CSoundBuffer on the layer's DirectSound and the manual clock: its
// account (writes, wrap, underrun, drain), the volume table, volume and
// pan, lost buffers, waits, the reports to the player system, and a sox
// tone written block by block into the WAV sink.
#include <cmath>
#include <thread>

#include "SoundBufferFixture.h"

using namespace soundtest;

namespace {

constexpr DWORD kBytesPerSecond = 176400;  // 44100 Hz, 16 bits, 2 channels
constexpr DWORD kInvalidArgument = 0x80070057;

struct ThreadError {
  DWORD type;
  DWORD code;
  std::string text;
};

ThreadError TakeThreadError() {
  const ThreadErrorState* state = GetThreadErrorState();
  ThreadError error{state->type, state->code, state->text ? state->text : ""};
  SetThreadError(0, 0, nullptr);
  return error;
}

TEST_F(SoundBufferTest, CreateRefusesWhatNoRingCanHoldWithInvalidArgument) {
  IDirectSound* device = OpenRecorded("null");
  const struct {
    const char* why;
    DWORD bytes, frequency, bits, channels;
  } rows[] = {
      {"1001 bytes are no whole number of 16-bit stereo frames", 1001, 44100, 16, 2},
      {"no bytes", 0, 44100, 16, 2},
      {"frequency 0", 17640, 0, 16, 2},
      {"24 bits", 17640, 44100, 24, 2},
      {"3 channels", 17640, 44100, 16, 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    log_.Clear();
    EXPECT_FALSE(buffer_.Create(device, row.bytes, row.frequency, row.bits, row.channels, 0, kPlayer));
    const ThreadError error = TakeThreadError();
    EXPECT_EQ(error.type, THREAD_ERROR_DIRECTSOUND);
    EXPECT_EQ(error.code, kInvalidArgument);
    EXPECT_EQ(error.text, "An invalid parameter was passed to the returning function.");
    EXPECT_TRUE(log_.Calls().empty()) << "DirectSound is not asked";
    EXPECT_FALSE(buffer_.IsCreated());
  }
  ASSERT_TRUE(buffer_.Create(device, 1000, 22050, 8, 1, SOUNDBUFFER_VOLUME | SOUNDBUFFER_PAN, kPlayer));
  ASSERT_EQ(log_.Calls().size(), 1u);
  EXPECT_EQ(log_.Calls()[0], "CreateSoundBuffer size 20 flags 98496 bytes 1000") << "0x18000 | 0x80 | 0x40";
}

TEST_F(SoundBufferTest, AZeroByteWriteSucceedsAndAWriteAcrossTheEndUsesTwoRegions) {
  CreateBuffer(17640);
  const std::string block = Pattern(16000, 0x11);
  ASSERT_TRUE(buffer_.Write(block.data(), 0, true));
  EXPECT_EQ(log_.Count("Lock"), 0u) << "nothing to copy";
  EXPECT_EQ(log_.Count("GetCurrentPosition"), 1u) << "the account was brought up to date";
  EXPECT_EQ(buffer_.GetWriteOffset(), 0u);
  EXPECT_EQ(buffer_.GetStreamBytes(), 0u);

  ASSERT_TRUE(buffer_.Write(block.data(), 16000, true));
  ASSERT_TRUE(buffer_.Play());
  Advance(50);  // 8820 bytes play
  DWORD free = 0;
  ASSERT_TRUE(buffer_.GetFreeSpace(&free));
  EXPECT_EQ(free, 17640u - (16000 - 8820));
  log_.Clear();
  const std::string wrapping = Pattern(1640, 0x22) + Pattern(2360, 0x33);
  ASSERT_TRUE(buffer_.Write(wrapping.data(), 4000, true));
  EXPECT_EQ(log_.Calls(), (std::vector<std::string>{"GetCurrentPosition", "Lock 16000 4000", "Unlock 1640 2360"}));
  EXPECT_EQ(buffer_.GetWriteOffset(), 2360u);
  EXPECT_EQ(buffer_.GetLastWriteEnd(), 2360u);
  EXPECT_EQ(buffer_.GetStreamBytes(), 20000u);

  // The tail of the ring holds the first part, its head the rest.
  void* parts[2] = {};
  DWORD sizes[2] = {};
  ASSERT_TRUE(buffer_.Lock(0, 17640, &parts[0], &sizes[0], &parts[1], &sizes[1]));
  const std::string ring(static_cast<const char*>(parts[0]), sizes[0]);
  ASSERT_TRUE(buffer_.Unlock(parts[0], sizes[0], parts[1], sizes[1]));
  EXPECT_EQ(ring.substr(16000), Pattern(1640, 0x22));
  EXPECT_EQ(ring.substr(0, 2360), Pattern(2360, 0x33));
}

TEST_F(SoundBufferTest, AStalledWriterIsOvertakenOnceAndThePositionHoldsWhileTheGapPlays) {
  CreateBuffer(17640, SOUNDBUFFER_VOLUME);
  const std::string block = Pattern(8820);
  ASSERT_TRUE(buffer_.Write(block.data(), 8820, true));
  ASSERT_TRUE(buffer_.Play());
  Advance(80);  // the play cursor runs 14112 bytes, past the 8820 written

  DWORD queued = 99;
  ASSERT_TRUE(buffer_.GetQueuedBytes(&queued));
  EXPECT_EQ(queued, 0u);
  DWORD pending = 0;
  ASSERT_TRUE(buffer_.GetPendingBytes(&pending));
  EXPECT_EQ(pending, 8820u) << "the gap is the former pending stretch";
  EXPECT_EQ(buffer_.GetWriteOffset(), (14112u + 8820u) % 17640u) << "as far ahead of the play cursor";
  DWORD position = 0;
  ASSERT_TRUE(buffer_.GetPosition(&position));
  EXPECT_EQ(position, 50u);

  Advance(20);  // 3528 bytes of the gap play
  ASSERT_TRUE(buffer_.GetPosition(&position));
  EXPECT_EQ(position, 50u) << "the position holds while the gap plays";
  ASSERT_TRUE(buffer_.GetPendingBytes(&pending));
  EXPECT_EQ(pending, 8820u - 3528u);

  const auto entries = logFront_.Entries();
  ASSERT_EQ(entries.size(), 1u) << logFront_.Text();
  EXPECT_EQ(entries[0].category, 0x10000u);
  EXPECT_EQ(entries[0].text, "WARNING: PlayCursor overtook WriteCursor\n");

  // New data lands behind the gap and is heard after it.
  ASSERT_TRUE(buffer_.Write(block.data(), 1764, true));
  ASSERT_TRUE(buffer_.GetPendingBytes(&pending));
  EXPECT_EQ(pending, 8820u - 3528u + 1764u);
  EXPECT_EQ(logFront_.Entries().size(), 1u);
}

TEST_F(SoundBufferTest, TheCursorDistanceIsTheWriteCursorsLeadEvenAcrossTheEndOfTheRing) {
  CreateBuffer(17640);  // 100 ms; the null sink's write cursor runs 10 ms (1764 bytes) ahead
  DWORD distance = 99;
  ASSERT_TRUE(buffer_.GetCursorDistance(&distance));
  EXPECT_EQ(distance, 0u) << "a stopped buffer commits nothing";
  const std::string block = Pattern(17640);
  ASSERT_TRUE(buffer_.Write(block.data(), 17640, true));
  ASSERT_TRUE(buffer_.Play());
  Advance(20);
  ASSERT_TRUE(buffer_.GetCursorDistance(&distance));
  EXPECT_EQ(distance, 1764u);
  Advance(75);  // play cursor at 16758, write cursor past the end at 882
  DWORD play = 0;
  DWORD write = 0;
  ASSERT_TRUE(buffer_.GetCursors(&play, &write));
  ASSERT_LT(write, play);
  ASSERT_TRUE(buffer_.GetCursorDistance(&distance));
  EXPECT_EQ(distance, 1764u);
}

TEST_F(SoundBufferTest, StopWithDrainReturnsWhenTheQueuedSoundHasPlayed) {
  struct Row {
    const char* why;
    DWORD queued;
    bool abortSet;
    DWORD expectedMilliseconds;  // +- 20
  };
  const Row rows[] = {
      {"nothing queued stops at once", 0, false, 0},
      {"10000 bytes take 56 ms", 10000, false, 10000 * 1000 / kBytesPerSecond},
      {"a set abort event stops at once", 10000, true, 0},
  };
  CreateBuffer(17640);
  HANDLE abort = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    ASSERT_TRUE(buffer_.Reset(0));
    const std::string block = Pattern(row.queued);
    ASSERT_TRUE(buffer_.Write(block.data(), row.queued, true));
    ASSERT_TRUE(buffer_.Play());
    row.abortSet ? SetEvent(abort) : ResetEvent(abort);
    log_.Clear();
    const DWORD start = timeGetTime();
    ASSERT_TRUE(buffer_.Stop(true, abort));
    const DWORD elapsed = timeGetTime() - start;
    EXPECT_NEAR(static_cast<double>(elapsed), row.expectedMilliseconds, 20.0);
    EXPECT_FALSE(buffer_.IsPlaying());
    if (row.expectedMilliseconds > 0) {
      EXPECT_GE(log_.Count("Lock "), 1u);
      for (const std::string& call : log_.Calls()) {
        if (call.rfind("Lock ", 0) != 0) continue;
        EXPECT_EQ(call.substr(call.rfind(' ')), " 4408") << "a quarter ring of frames";
      }
    }
  }
  CloseHandle(abort);
}

TEST_F(SoundBufferTest, ASoxToneWrittenInFourKibBlocksIsCapturedWholeAndContiguous) {
  const std::string folder = twltest::MakeTempDir("tone");
  std::string pcm;
  const std::string tone = SoxTone(folder, "tone.wav", "2", "1000", &pcm);
  ASSERT_EQ(pcm.size(), 352800u);
  const std::string capture = folder + "/capture.wav";
  CreateBuffer(kBytesPerSecond / 2, SOUNDBUFFER_VOLUME | SOUNDBUFFER_PAN, "wav:" + capture);
  for (size_t at = 0; at < pcm.size(); at += 4096) {
    const DWORD block = static_cast<DWORD>(std::min<size_t>(4096, pcm.size() - at));
    DWORD free = 0;
    ASSERT_TRUE(buffer_.GetFreeSpace(&free));
    if (!buffer_.IsPlaying() && free < block) {
      ASSERT_TRUE(buffer_.Play());
    }
    ASSERT_TRUE(buffer_.WaitForSpace(block, nullptr));
    ASSERT_TRUE(buffer_.Write(pcm.data() + at, block, true));
  }
  ASSERT_TRUE(buffer_.Stop(true, nullptr));
  EXPECT_EQ(logFront_.Text(), "") << "no underrun";
  Advance(100);  // the device stands still after the stop
  buffer_.Release();
  const std::string found = CheckCapture({tone}, capture);
  EXPECT_EQ(found.rfind("offset ", 0), 0u) << found;
}

TEST_F(SoundBufferTest, TheVolumeTableTurnsLevelsIntoHundredthsOfADecibel) {
  const struct {
    int level;
    LONG attenuation;
  } rows[] = {{0, -10000}, {1, -8000}, {2, -7000},  {3, -6415},  {16, -4000}, {64, -2000},
              {100, -1356}, {128, -1000}, {192, -415}, {240, -93}, {255, -5},   {256, 0}};
  for (const auto& row : rows) EXPECT_EQ(CSoundBuffer::GetVolumeTableEntry(row.level), row.attenuation) << row.level;
}

TEST_F(SoundBufferTest, VolumeAndPanGoThroughTheTableAndLevelsOutOfRangeAreRefused) {
  CreateBuffer(17640);
  const struct {
    bool pan;
    int level;
    const char* call;  // null: refused
  } rows[] = {
      {false, 0, "SetVolume -10000"}, {false, 128, "SetVolume -1000"}, {false, 256, "SetVolume 0"},
      {false, 257, nullptr},          {false, -1, nullptr},             {true, -256, "SetPan -10000"},
      {true, -128, "SetPan -1000"},   {true, 0, "SetPan 0"},            {true, 128, "SetPan 1000"},
      {true, 256, "SetPan 10000"},    {true, 257, nullptr},             {true, -257, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.pan ? "pan " : "volume ") + std::to_string(row.level));
    log_.Clear();
    const int before = row.pan ? buffer_.GetPan() : buffer_.GetVolume();
    const bool set = row.pan ? buffer_.SetPan(row.level) : buffer_.SetVolume(row.level);
    const int after = row.pan ? buffer_.GetPan() : buffer_.GetVolume();
    if (!row.call) {
      EXPECT_FALSE(set);
      const ThreadError error = TakeThreadError();
      EXPECT_EQ(error.type, THREAD_ERROR_DIRECTSOUND);
      EXPECT_EQ(error.code, kInvalidArgument);
      EXPECT_TRUE(log_.Calls().empty());
      EXPECT_EQ(after, before);
      continue;
    }
    EXPECT_TRUE(set);
    EXPECT_EQ(log_.Calls(), std::vector<std::string>{row.call});
    EXPECT_EQ(after, row.level);
  }
}

double Rms(const std::vector<int16_t>& samples) {
  double sum = 0;
  size_t count = 0;
  for (int16_t sample : samples) {
    sum += static_cast<double>(sample) * sample;
    ++count;
  }
  return count ? std::sqrt(sum / count) : 0;
}

TEST_F(SoundBufferTest, LevelOneHundredTwentyEightLowersTheCapturedRmsByTenDecibels) {
  const std::string folder = twltest::MakeTempDir("volume");
  std::string pcm;
  SoxTone(folder, "tone.wav", "0.5", "1000", &pcm);
  const std::string capture = folder + "/quiet.wav";
  CreateBuffer(static_cast<DWORD>(pcm.size()), SOUNDBUFFER_VOLUME, "wav:" + capture);
  ASSERT_TRUE(buffer_.SetVolume(128));
  ASSERT_TRUE(buffer_.Write(pcm.data(), static_cast<DWORD>(pcm.size()), true));
  ASSERT_TRUE(buffer_.Play());
  ASSERT_TRUE(buffer_.Stop(true, nullptr));
  buffer_.Release();
  const Capture captured = ReadCapture(capture);
  ASSERT_GE(captured.data.size(), pcm.size());
  const double drop =
      20 * std::log10(Rms(Samples16(captured.data.substr(0, pcm.size()))) / Rms(Samples16(pcm)));
  EXPECT_NEAR(drop, -10.0, 0.1);
}

TEST_F(SoundBufferTest, ALostBufferIsRestoredSilencedAndTheCallMadeOnceMore) {
  using Action = bool (*)(CSoundBuffer&);
  const struct {
    const char* call;
    Action action;
    std::vector<std::string> expected;
  } rows[] = {
      {"SetVolume", [](CSoundBuffer& b) { return b.SetVolume(128); },
       {"SetVolume -1000 -> 88780096", "Restore", "GetCurrentPosition", "Lock 8820 17640", "Unlock 8820 8820",
        "Play 1", "SetVolume -1000"}},
      {"GetPosition", [](CSoundBuffer& b) { DWORD ms; return b.GetPosition(&ms); },
       {"GetCurrentPosition -> 88780096", "Restore", "GetCurrentPosition", "Lock 8820 17640", "Unlock 8820 8820",
        "Play 1", "GetCurrentPosition"}},
      {"Play restores and plays, without another Play", [](CSoundBuffer& b) { return b.Play(); },
       {"Play 1 -> 88780096", "Restore", "GetCurrentPosition", "Lock 8820 17640", "Unlock 8820 8820", "Play 1"}},
      {"Stop restores without playing and stops no more", [](CSoundBuffer& b) { return b.Stop(false, nullptr); },
       {"Stop -> 88780096", "Restore", "GetCurrentPosition", "Lock 8820 17640", "Unlock 8820 8820",
        "GetCurrentPosition"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.call);
    CreateBuffer(17640);
    const std::string block = Pattern(8820);
    ASSERT_TRUE(buffer_.Write(block.data(), 8820, true));
    ASSERT_TRUE(buffer_.Play());
    TwlTestLoseSoundBuffers();
    log_.Clear();
    EXPECT_TRUE(row.action(buffer_)) << GetThreadErrorText().c_str();
    EXPECT_EQ(log_.Calls(), row.expected);

    // The ring holds silence now, not the old sound.
    void* parts[2] = {};
    DWORD sizes[2] = {};
    ASSERT_TRUE(buffer_.Lock(0, 17640, &parts[0], &sizes[0], &parts[1], &sizes[1]));
    EXPECT_EQ(std::string(static_cast<const char*>(parts[0]), sizes[0]), std::string(17640, '\0'));
    ASSERT_TRUE(buffer_.Unlock(parts[0], sizes[0], parts[1], sizes[1]));
    TearDown();
    SetUp();
  }
}

TEST_F(SoundBufferTest, AFailingRestoreReportsItsOwnError) {
  CreateBuffer(17640);
  ASSERT_TRUE(buffer_.Play());
  TwlTestLoseSoundBuffers();
  log_.FailNext("Restore", DSERR_OUTOFMEMORY);
  DWORD ms = 0;
  EXPECT_FALSE(buffer_.GetPosition(&ms));
  const ThreadError error = TakeThreadError();
  EXPECT_EQ(error.type, THREAD_ERROR_DIRECTSOUND);
  EXPECT_EQ(error.code, static_cast<DWORD>(DSERR_OUTOFMEMORY));
  EXPECT_EQ(log_.Count("GetCurrentPosition"), 1u) << "not made again";
}

TEST_F(SoundBufferTest, WaitingForMoreThanTheRingHoldsEndsAtOnceOrWithTheEvent) {
  CreateBuffer(17640);
  DWORD start = timeGetTime();
  EXPECT_FALSE(buffer_.WaitForSpace(17641, nullptr));
  ThreadError error = TakeThreadError();
  EXPECT_EQ(error.type, THREAD_ERROR_MISC);
  EXPECT_EQ(error.code, static_cast<DWORD>(MISC_ERROR_INVALID_PARAM));
  EXPECT_EQ(timeGetTime(), start) << "no wait";

  EXPECT_TRUE(buffer_.WaitForSpace(17640, nullptr)) << "the whole empty ring is free";

  // With an event the wait goes on until the event is set.
  HANDLE abort = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread setter([abort, start] {
    while (timeGetTime() - start < 200) Sleep(0);
    SetEvent(abort);
  });
  EXPECT_FALSE(buffer_.WaitForSpace(20000, abort));
  setter.join();
  error = TakeThreadError();
  EXPECT_EQ(error.type, THREAD_ERROR_MISC);
  EXPECT_EQ(error.code, static_cast<DWORD>(MISC_ERROR_ABORTED));
  EXPECT_GE(timeGetTime() - start, 200u);
  CloseHandle(abort);
}

TEST_F(SoundBufferTest, TheSoundIsReportedToThePlayerSystemWithTheMomentItWillBeHeard) {
  CreateBuffer(17640, SOUNDBUFFER_FEED_VISUALIZERS | SOUNDBUFFER_REPORT_POSITIONS);
  const std::string block = Pattern(3528);
  ASSERT_TRUE(buffer_.Write(block.data(), 3528, true));
  ASSERT_TRUE(buffer_.Write(block.data(), 3528, true));
  ASSERT_TRUE(buffer_.Write(block.data(), 3528, false));  // not committed: not fed
  ASSERT_TRUE(buffer_.Play());
  Advance(10);
  ASSERT_TRUE(buffer_.Stop(false, nullptr));
  ASSERT_TRUE(buffer_.Play());
  ASSERT_TRUE(buffer_.WriteSilence(1764, true));
  ASSERT_TRUE(buffer_.Reset(1500.0f));
  buffer_.Release();
  EXPECT_EQ(services_.reports, (std::vector<std::string>{
                                   "position 0", "feed 3528 at +0 44100/16/2",  // heard at once
                                   "position 0", "feed 3528 at +20 44100/16/2",  // after the first
                                   "position 0",                                 // the uncommitted write
                                   "pause", "position 10",                       // stopped after 10 ms
                                   "resume", "position 10", "feed 1764 at +30 44100/16/2",
                                   "pause", "position 10",  // Reset stops first
                                   "stop", "position 1500"}));
  EXPECT_EQ(buffer_.GetStreamBytes(), 264600u) << "1500 ms of 176400 bytes a second";
}

TEST_F(SoundBufferTest, TheStreamAccountGoesOnPastThirtyTwoBits) {
  CreateBuffer(17640);
  ASSERT_TRUE(buffer_.Reset(25000000.0f));  // almost seven hours in
  EXPECT_GT(buffer_.GetStreamBytes(), 0xFFFFFFFFull);
  const std::string block = Pattern(8820);
  ASSERT_TRUE(buffer_.Write(block.data(), 8820, true));
  ASSERT_TRUE(buffer_.Play());
  Advance(30);
  DWORD position = 0;
  ASSERT_TRUE(buffer_.GetPosition(&position));
  EXPECT_NEAR(static_cast<double>(position), 25000030.0, 2.0) << "no jump back to the start";
}

}  // namespace
