// The spectrum analyzer on the manual clock: what its parameters make of
// the analysis (bands, window, gap or overlap), how frames wait for their
// time, are handed out, given back and recycled, pauses and resets, the
// update clock, how channels are mixed or kept apart, and that steady
// feeding allocates nothing.
#include <gtest/gtest.h>
#include <twlwin/testing_user.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "CountingNew.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/ClassManager.h"
#include "playback/frequency/FrequencyAnalyzer.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiTesting.h"

namespace {

// Fed at the analysis rate, a window is stamped with the time of its last
// sample less the window's length: one sample (0.05 ms) before its first.
constexpr DWORD kRate = 22050;

std::vector<int16_t> Sine(double frequency, DWORD rate, size_t count, double amplitude = 8000) {
  std::vector<int16_t> samples(count);
  for (size_t n = 0; n < count; ++n) {
    samples[n] = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * frequency * double(n) / rate));
  }
  return samples;
}

void FeedMono(CSpectrumAnalyzer& analyzer, const std::vector<int16_t>& samples, DWORD playTime, DWORD rate = kRate) {
  analyzer.Feed(samples.data(), static_cast<DWORD>(samples.size() * 2), playTime, rate, 16, 1);
}

std::vector<int16_t> Values(const int16_t* values, int bands) { return {values, values + bands}; }

class SpectrumAnalyzerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TwlTestUseManualClock(TRUE);
    start = timeGetTime();
  }
  void Advance(DWORD milliseconds) { TwlTestAdvanceClock(milliseconds); }
  DWORD Now() const { return timeGetTime() - start; }
  // 512 bands, windows of 1024 samples, a gap of 78 between them: the
  // windows of a feed start at samples 0, 1102, 2204, ..., stamped -1, 49,
  // 99, ... ms after the feed's time.
  void InitTwentyUpdates(CSpectrumAnalyzer& analyzer) { ASSERT_TRUE(analyzer.Init(9, kRate, 1, 20, false)); }

  DWORD start = 0;
};

TEST_F(SpectrumAnalyzerTest, ParametersGiveBandsWindowAndGapOrOverlap) {
  const struct {
    int bits;
    DWORD rate;
    DWORD updates;
    int bands;
    int points;
    DWORD gap;
    int overlap;
    int tableBits;
    const char* why;
  } rows[] = {
      {9, 22050, 20, 512, 1024, 78, 0, 10, "1102.5 samples a period: a gap of 78"},
      {9, 22050, 50, 512, 1024, 0, 583, 10, "441 samples a period: windows overlap by 583"},
      {0, 22050, 20, 1, 2, 1100, 0, 3, "one band; the tables never have fewer than 8 points"},
      {15, 44100, 1, 32768, 65536, 0, 21436, 16, "the largest transform there is"},
      {9, 1024, 1, 512, 1024, 0, 0, 10, "exactly one window a period"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    CSpectrumAnalyzer analyzer;
    ASSERT_TRUE(analyzer.Init(row.bits, row.rate, 1, row.updates, false));
    EXPECT_EQ(analyzer.GetBands(), row.bands);
    EXPECT_EQ(analyzer.GetWindowPoints(), row.points);
    EXPECT_EQ(analyzer.GetFFTBits(), row.bits + 1);
    EXPECT_EQ(analyzer.GetTableBits(), row.tableBits);
    EXPECT_EQ(analyzer.GetGap(), row.gap);
    EXPECT_EQ(analyzer.GetOverlap(), row.overlap);
    EXPECT_DOUBLE_EQ(analyzer.GetBandWidth(), row.rate / 2.0 / row.bands);
    EXPECT_DOUBLE_EQ(analyzer.GetUpdatePeriod(), 1000.0 / row.updates);
  }
  EXPECT_NE(GetClassManager().FindClass("CSpectrumAnalyzer"), nullptr);
}

TEST_F(SpectrumAnalyzerTest, BadParametersAreRefusedWithInvalidParameter) {
  const struct {
    int bits;
    DWORD rate;
    DWORD type;
    DWORD updates;
    const char* why;
  } rows[] = {
      {16, 22050, 1, 20, "16 bits need 2^17 points, more than the 16-bit reversal table holds"},
      {-1, 22050, 1, 20, "negative bits"},
      {9, 0, 1, 20, "no sample rate"},
      {9, 22050, 0, 20, "type 0"},
      {9, 22050, 3, 20, "type 3"},
      {9, 22050, 1, 0, "no updates"},
      {9, 22050, 1, 1001, "more than 1000 updates a second"},
  };
  const HostApiTable& host = *GetHostApiTable();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    SetThreadError(0, 0, nullptr);
    CSpectrumAnalyzer analyzer;
    EXPECT_FALSE(analyzer.Init(row.bits, row.rate, row.type, row.updates, false));
    EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_MISC));
    EXPECT_EQ(GetThreadErrorState()->code, 1u);

    auto made = reinterpret_cast<HOST_SPECTRUMANALYZER>(&analyzer);
    EXPECT_FALSE(host.HOST_CreateSpectrumAnalyzer(row.bits, row.rate, row.type, row.updates, 0, &made));
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(host.HOST_GetMiscErrorCode(), 1u);
    EXPECT_STREQ(host.HOST_GetErrorText(), "invalid parameter");
  }
}

TEST_F(SpectrumAnalyzerTest, AFrameAheadIsWithheldUntilItsTime) {
  CSpectrumAnalyzer analyzer;
  InitTwentyUpdates(analyzer);
  FeedMono(analyzer, Sine(1000, kRate, 1024), start + 101);  // stamped +100
  EXPECT_EQ(analyzer.GetFrame(), nullptr);
  Advance(99);
  EXPECT_EQ(analyzer.GetFrame(), nullptr);
  Advance(1);
  HostSpectrumFrame* frame = analyzer.GetFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->time, start + 100);
  EXPECT_EQ(frame->rightValues, nullptr);
}

TEST_F(SpectrumAnalyzerTest, OfTwoDueFramesTheNewerComesAndTheOlderIsRecycled) {
  CSpectrumAnalyzer analyzer;
  InitTwentyUpdates(analyzer);
  FeedMono(analyzer, Sine(1000, kRate, 2126), start);  // windows at samples 0 and 1102: -1 and +49
  ASSERT_EQ(analyzer.GetFrameCount(), 2u);
  Advance(49);
  HostSpectrumFrame* newer = analyzer.GetFrame();
  ASSERT_NE(newer, nullptr);
  EXPECT_EQ(newer->time, start + 49);  // 1102 samples at 22.05 kHz: 49.98 ms
  analyzer.ReleaseFrame(newer);

  // The older one went to the free list: the next window (after the gap
  // of 78 samples) reuses it.
  FeedMono(analyzer, Sine(1000, kRate, 78 + 1024), start + 100);
  EXPECT_EQ(analyzer.GetFrameCount(), 2u) << "no frame made";
  Advance(100);
  EXPECT_EQ(analyzer.GetFrame()->time, start + 103);
}

TEST_F(SpectrumAnalyzerTest, AReleasedFrameComesAgainUntilANewerIsDue) {
  CSpectrumAnalyzer analyzer;
  InitTwentyUpdates(analyzer);
  FeedMono(analyzer, Sine(1000, kRate, 2126), start);
  HostSpectrumFrame* first = analyzer.GetFrame();
  ASSERT_NE(first, nullptr);
  const std::vector<int16_t> drawn = Values(first->values, 512);
  analyzer.ReleaseFrame(first);
  Advance(10);
  EXPECT_EQ(analyzer.GetFrame(), first) << "given back before a newer one was due";
  EXPECT_EQ(Values(first->values, 512), drawn);
  analyzer.ReleaseFrame(first);
  Advance(40);
  HostSpectrumFrame* second = analyzer.GetFrame();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(second->time, start + 49);

  // Frames that are not lent out, or not this analyzer's, are ignored.
  analyzer.ReleaseFrame(second);
  analyzer.ReleaseFrame(second);
  HostSpectrumFrame stranger{};
  analyzer.ReleaseFrame(&stranger);
  analyzer.ReleaseFrame(nullptr);
  EXPECT_EQ(analyzer.GetFrame(), second);
  EXPECT_EQ(analyzer.GetFrameCount(), 2u);
}

TEST_F(SpectrumAnalyzerTest, APauseDelaysEveryQueuedFrameByItsLength) {
  CSpectrumAnalyzer analyzer;
  InitTwentyUpdates(analyzer);
  FeedMono(analyzer, Sine(1000, kRate, 2126), start + 11);  // due at +10 and +60
  analyzer.Resume();                                        // not paused: nothing moves
  analyzer.Pause();
  Advance(1000);
  analyzer.Pause();  // a second pause keeps the first one's start
  Advance(1000);
  EXPECT_EQ(analyzer.GetFrame(), nullptr) << "nothing is due while paused";
  analyzer.Resume();
  Advance(9);
  EXPECT_EQ(analyzer.GetFrame(), nullptr);
  Advance(1);
  HostSpectrumFrame* first = analyzer.GetFrame();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->time, start + 2010);
  analyzer.ReleaseFrame(first);
  Advance(49);
  EXPECT_EQ(analyzer.GetFrame(), first) << "the second frame is not due before +2060";
  analyzer.ReleaseFrame(first);
  Advance(1);
  EXPECT_EQ(analyzer.GetFrame()->time, start + 2060);
}

TEST_F(SpectrumAnalyzerTest, ResetDropsTheQueueAndTheSoundCollected) {
  CSpectrumAnalyzer analyzer;
  InitTwentyUpdates(analyzer);
  FeedMono(analyzer, Sine(1000, kRate, 1024 + 1102 + 500), start);  // two frames and half a window
  analyzer.Pause();
  analyzer.Reset();
  Advance(200);
  EXPECT_EQ(analyzer.GetFrame(), nullptr) << "the queue is empty and the pause is over";
  // The half window is gone: 600 more samples make no frame, 1024 do.
  FeedMono(analyzer, Sine(1000, kRate, 600), start + 100);
  EXPECT_EQ(analyzer.GetFrame(), nullptr);
  FeedMono(analyzer, Sine(1000, kRate, 424), start + 150);
  EXPECT_NE(analyzer.GetFrame(), nullptr);
  EXPECT_EQ(analyzer.GetFrameCount(), 2u);
}

// A seek back: the new window's time is earlier than the queued ones',
// which are dropped so that the queue stays in time order.
TEST_F(SpectrumAnalyzerTest, SoundFedForAnEarlierTimeDropsTheLaterFrames) {
  CSpectrumAnalyzer analyzer;
  InitTwentyUpdates(analyzer);
  FeedMono(analyzer, Sine(1000, kRate, 2126), start + 500);  // +499 and +549
  FeedMono(analyzer, Sine(1000, kRate, 78 + 1024), start + 100);
  Advance(600);
  HostSpectrumFrame* frame = analyzer.GetFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->time, start + 103) << "after the gap of 78 samples: 3.5 ms";
  analyzer.ReleaseFrame(frame);
  EXPECT_EQ(analyzer.GetFrame(), frame) << "no later frame is left";
}

TEST_F(SpectrumAnalyzerTest, TheUpdateClockMovesByWholePeriods) {
  CSpectrumAnalyzer analyzer;
  ASSERT_TRUE(analyzer.Init(9, kRate, 1, 30, false));  // 33.3 ms
  EXPECT_EQ(analyzer.GetNextUpdateTime(), start + 33);
  EXPECT_FALSE(analyzer.IsUpdateDue(0));
  Advance(33);
  EXPECT_FALSE(analyzer.IsUpdateDue(0)) << "33 of 33.3 ms";
  EXPECT_TRUE(analyzer.IsUpdateDue(-1));
  Advance(67);
  EXPECT_TRUE(analyzer.IsUpdateDue(66));
  EXPECT_FALSE(analyzer.IsUpdateDue(67));
  EXPECT_EQ(analyzer.GetFrame(), nullptr);  // moves the period's start to +100 (3 periods)
  EXPECT_EQ(analyzer.GetNextUpdateTime(), start + 133);
  EXPECT_FALSE(analyzer.IsUpdateDue(0));

  TwlTestSleepAdvancesClock(TRUE);
  Advance(10);
  analyzer.WaitForUpdate(0);  // 23.3 ms left: sleeps 24
  EXPECT_EQ(Now(), 134u);
  analyzer.WaitForUpdate(5);  // 38.3 - 34 left: sleeps 5
  EXPECT_EQ(Now(), 139u);
  analyzer.WaitForUpdate(-10);  // due: returns at once
  EXPECT_EQ(Now(), 139u);
  // Paused, frames are held back but the clock still moves.
  analyzer.Pause();
  Advance(100);
  EXPECT_EQ(analyzer.GetFrame(), nullptr);
  EXPECT_EQ(analyzer.GetNextUpdateTime(), start + 266);
}

// 8-bit stereo mixed for one spectrum is the average of both channels: the
// same as 16-bit mono sound of those averages.
TEST_F(SpectrumAnalyzerTest, MixedEightBitStereoIsTheAverageOfItsChannels) {
  std::mt19937 random(3);
  std::vector<uint8_t> stereo(2 * 1024);
  std::vector<int16_t> averages(1024);
  for (size_t n = 0; n < averages.size(); ++n) {
    stereo[2 * n] = static_cast<uint8_t>(random());
    stereo[2 * n + 1] = static_cast<uint8_t>(random());
    averages[n] = static_cast<int16_t>(((stereo[2 * n] - 128) * 256 + (stereo[2 * n + 1] - 128) * 256) >> 1);
  }
  CSpectrumAnalyzer mixed;
  ASSERT_TRUE(mixed.Init(9, kRate, 1, 20, true));
  mixed.Feed(stereo.data(), static_cast<DWORD>(stereo.size()), start, kRate, 8, 2);
  CSpectrumAnalyzer mono;
  InitTwentyUpdates(mono);
  FeedMono(mono, averages, start);
  HostSpectrumFrame* a = mixed.GetFrame();
  HostSpectrumFrame* b = mono.GetFrame();
  ASSERT_TRUE(a && b);
  EXPECT_EQ(Values(a->values, 512), Values(b->values, 512));
}

TEST_F(SpectrumAnalyzerTest, ChannelsGoToOneOrTwoSpectra) {
  // Left 1000 Hz, right 3000 Hz: bands 45 and 138 (21.5 Hz each).
  const std::vector<int16_t> left = Sine(1000, kRate, 1024);
  const std::vector<int16_t> right = Sine(3000, kRate, 1024);
  std::vector<int16_t> stereo;
  for (size_t n = 0; n < left.size(); ++n) stereo.insert(stereo.end(), {left[n], right[n]});
  const auto peak = [](const int16_t* values) { return int(std::max_element(values, values + 512) - values); };
  const struct {
    DWORD type;
    bool mix;
    DWORD channels;
    int leftPeak;
    int rightPeak;  // -1: no second spectrum
    const char* why;
  } rows[] = {
      {1, false, 2, 45, -1, "type 1 takes the left channel"},
      {2, false, 2, 45, 138, "type 2 keeps them apart"},
      {2, true, 2, 45, 138, "type 2 never mixes"},
      {2, false, 1, 45, 45, "mono goes to both"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    CSpectrumAnalyzer analyzer;
    ASSERT_TRUE(analyzer.Init(9, kRate, row.type, 20, row.mix));
    if (row.channels == 2) {
      analyzer.Feed(stereo.data(), static_cast<DWORD>(stereo.size() * 2), start, kRate, 16, 2);
    } else {
      FeedMono(analyzer, left, start);
    }
    HostSpectrumFrame* frame = analyzer.GetFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(peak(frame->values), row.leftPeak);
    if (row.rightPeak < 0) {
      EXPECT_EQ(frame->rightValues, nullptr);
      continue;
    }
    ASSERT_NE(frame->rightValues, nullptr);
    EXPECT_EQ(peak(frame->rightValues), row.rightPeak);
    if (row.channels == 1) {
      EXPECT_EQ(Values(frame->values, 512), Values(frame->rightValues, 512));
    }
  }
}

TEST_F(SpectrumAnalyzerTest, OtherFormatsAndPartFramesAreIgnored) {
  CSpectrumAnalyzer analyzer;
  InitTwentyUpdates(analyzer);
  const std::vector<int16_t> samples = Sine(1000, kRate, 4096);
  const struct {
    DWORD rate;
    DWORD bits;
    DWORD channels;
  } ignored[] = {{kRate, 24, 1}, {kRate, 16, 3}, {kRate, 16, 0}, {0, 16, 1}};
  for (const auto& format : ignored) {
    analyzer.Feed(samples.data(), 8192, start, format.rate, format.bits, format.channels);
  }
  analyzer.Feed(nullptr, 8192, start, kRate, 16, 1);
  EXPECT_EQ(analyzer.GetFrameCount(), 0u);
  // 2047 bytes are 1023 samples and a half: not a window yet.
  analyzer.Feed(samples.data(), 2047, start, kRate, 16, 1);
  EXPECT_EQ(analyzer.GetFrameCount(), 0u);
  analyzer.Feed(samples.data(), 2, start, kRate, 16, 1);
  EXPECT_EQ(analyzer.GetFrameCount(), 1u);
}

// A visualizer's steady work: 10 ms of 44.1 kHz stereo fed 100 ms ahead,
// a frame taken and given back every update. Once the frames it needs
// exist, nothing is allocated.
TEST_F(SpectrumAnalyzerTest, SteadyFeedingAllocatesNothing) {
  CSpectrumAnalyzer analyzer;
  ASSERT_TRUE(analyzer.Init(9, kRate, 2, 25, false));
  std::vector<int16_t> block(2 * 441);
  const auto run = [&](int steps, long& allocations, int& frames) {
    for (int step = 0; step < steps; ++step) {
      for (size_t n = 0; n < block.size(); ++n) block[n] = static_cast<int16_t>((step * 441 + n) * 37);
      const DWORD playTime = timeGetTime() + 100;
      NewCounter counter;
      analyzer.Feed(block.data(), static_cast<DWORD>(block.size() * 2), playTime, 44100, 16, 2);
      if (step % 4 == 0) {
        if (HostSpectrumFrame* frame = analyzer.GetFrame()) {
          ++frames;
          analyzer.ReleaseFrame(frame);
        }
      }
      allocations += counter.Allocations();
      Advance(10);
    }
  };
  long warmUp = 0;
  int frames = 0;
  run(200, warmUp, frames);
  EXPECT_GT(warmUp, 0) << "the first frames are made";
  const size_t made = analyzer.GetFrameCount();
  long steady = 0;
  frames = 0;
  run(500, steady, frames);
  EXPECT_EQ(steady, 0);
  EXPECT_EQ(analyzer.GetFrameCount(), made);
  EXPECT_GE(frames, 100) << "a frame for (nearly) every update of 5 s";
}

// A visualizer's use through the host: its analyser and frames; an
// analyser the slots did not make, or one destroyed, is refused.
TEST_F(SpectrumAnalyzerTest, TheHostSlotsServeOnlyTheAnalyzersTheyMade) {
  const HostApiTable& host = *GetHostApiTable();
  HOST_SPECTRUMANALYZER analyzer = nullptr;
  ASSERT_TRUE(host.HOST_CreateSpectrumAnalyzer(9, kRate, HOST_SPECTRUM_TWO, 20, 0, &analyzer));
  ASSERT_NE(analyzer, nullptr);
  std::vector<int16_t> sound;  // the same in both channels
  for (int16_t sample : Sine(1000, kRate, 1024)) sound.insert(sound.end(), {sample, sample});
  host.HOST_SpectrumFeed(analyzer, sound.data(), 4096, start + 11, kRate, 16, 2);
  EXPECT_EQ(host.HOST_SpectrumGetNextUpdateTime(analyzer), start + 50);
  EXPECT_FALSE(host.HOST_SpectrumIsDue(analyzer));
  EXPECT_TRUE(host.HOST_SpectrumIsDueEx(analyzer, -50));
  EXPECT_EQ(host.HOST_SpectrumGetFrame(analyzer), nullptr);
  TwlTestSleepAdvancesClock(TRUE);
  host.HOST_SpectrumWaitForUpdateEx(analyzer, -40);
  EXPECT_EQ(Now(), 10u);
  host.HOST_SpectrumWaitForUpdate(analyzer);
  EXPECT_EQ(Now(), 50u);
  EXPECT_TRUE(host.HOST_SpectrumIsDue(analyzer));
  host.HOST_SpectrumPause(analyzer);
  EXPECT_EQ(host.HOST_SpectrumGetFrame(analyzer), nullptr);
  host.HOST_SpectrumResume(analyzer);  // paused for no time
  HostSpectrumFrame* frame = host.HOST_SpectrumGetFrame(analyzer);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->time, start + 10);
  ASSERT_NE(frame->rightValues, nullptr);
  EXPECT_EQ(Values(frame->values, 512), Values(frame->rightValues, 512));
  host.HOST_SpectrumReleaseFrame(analyzer, frame);
  host.HOST_SpectrumReset(analyzer);
  EXPECT_EQ(host.HOST_SpectrumGetFrame(analyzer), nullptr);

  CSpectrumAnalyzer stranger;
  InitTwentyUpdates(stranger);
  const HOST_SPECTRUMANALYZER notMade = reinterpret_cast<HOST_SPECTRUMANALYZER>(&stranger);
  host.HOST_SetError(0, 0, nullptr);
  host.HOST_DestroySpectrumAnalyzer(nullptr);
  EXPECT_EQ(host.HOST_GetErrorType(), 0u) << "null is ignored";
  host.HOST_DestroySpectrumAnalyzer(analyzer);
  for (HOST_SPECTRUMANALYZER refused : {analyzer, notMade}) {
    host.HOST_SetError(0, 0, nullptr);
    EXPECT_EQ(host.HOST_SpectrumGetFrame(refused), nullptr);
    EXPECT_EQ(host.HOST_GetMiscErrorCode(), 1u);
    host.HOST_SetError(0, 0, nullptr);
    host.HOST_SpectrumFeed(refused, sound.data(), 4096, start, kRate, 16, 2);
    EXPECT_EQ(host.HOST_GetMiscErrorCode(), 1u);
    host.HOST_SetError(0, 0, nullptr);
    host.HOST_DestroySpectrumAnalyzer(refused);
    EXPECT_EQ(host.HOST_GetMiscErrorCode(), 1u);
    EXPECT_FALSE(host.HOST_SpectrumIsDueEx(refused, 0));
    EXPECT_EQ(host.HOST_SpectrumGetNextUpdateTime(refused), 0u);
  }
  EXPECT_EQ(stranger.GetFrameCount(), 0u) << "the stranger was not fed";
}

// A visualizer's thread waits for the next update while another destroys
// the analyser: the wait runs to its end, and the analyser goes after it.
TEST_F(SpectrumAnalyzerTest, AnAnalyzerDestroyedWhileAnotherThreadWaitsForAnUpdateGoesAfterTheWait) {
  const HostApiTable& host = *GetHostApiTable();
  HOST_SPECTRUMANALYZER analyzer = nullptr;
  ASSERT_TRUE(host.HOST_CreateSpectrumAnalyzer(9, kRate, HOST_SPECTRUM_TWO, 20, 0, &analyzer));
  std::atomic<bool> waited{false};
  std::thread visualizer([&] {
    host.HOST_SpectrumWaitForUpdate(analyzer);
    waited = true;
  });
  while (CountSlotsInSpectrumAnalyzer(analyzer) == 0) std::this_thread::yield();
  host.HOST_SetError(0, 0, nullptr);
  host.HOST_DestroySpectrumAnalyzer(analyzer);
  EXPECT_EQ(host.HOST_GetErrorType(), 0u) << "destroyed while in use is no error";
  // It cannot wake before the clock moves: the analyser is kept for it.
  EXPECT_EQ(CountSlotsInSpectrumAnalyzer(analyzer), 1u);
  // The wait sleeps on the manual clock, a period (50 ms) at most.
  while (!waited) {
    Advance(10);
    std::this_thread::yield();
  }
  visualizer.join();

  EXPECT_EQ(CountSlotsInSpectrumAnalyzer(analyzer), 0u);
  host.HOST_SetError(0, 0, nullptr);
  EXPECT_FALSE(host.HOST_SpectrumIsDueEx(analyzer, 0));
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), 1u) << "a stale handle";
}

// The player's sound thread feeds while the visualizer's thread takes and
// gives back frames and waits for updates.
TEST_F(SpectrumAnalyzerTest, FeedingAndDrawingOnTwoThreads) {
  CSpectrumAnalyzer analyzer;
  ASSERT_TRUE(analyzer.Init(8, kRate, 2, 50, false));
  std::atomic<bool> fed{false};
  std::thread feeder([&] {
    const std::vector<int16_t> block = Sine(440, 44100, 2 * 441);
    for (int step = 0; step < 300; ++step) {
      analyzer.Feed(block.data(), static_cast<DWORD>(block.size() * 2), timeGetTime() + 50, 44100, 16, 2);
      TwlTestAdvanceClock(10);
    }
    fed = true;
  });
  int frames = 0;
  while (!fed) {
    if (HostSpectrumFrame* frame = analyzer.GetFrame()) {
      ++frames;
      analyzer.ReleaseFrame(frame);
    }
    (void)analyzer.IsUpdateDue(0);
    (void)analyzer.GetNextUpdateTime();
    std::this_thread::yield();
  }
  feeder.join();
  Advance(100);
  EXPECT_NE(analyzer.GetFrame(), nullptr);
  EXPECT_LT(analyzer.GetFrameCount(), 300u) << "frames were recycled";
}

}  // namespace
