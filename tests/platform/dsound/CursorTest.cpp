// Play and write cursors on the manual clock, the regions Lock gives, and
// what plays when the writer stops.
#include "SoundFixture.h"

using namespace soundtest;

namespace {

class Cursors : public SoundTest {};

TEST_F(Cursors, MoveByExactlyTheTimeTheClockAdvancedAndWrap) {
  Open("null");
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 17640);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(50);
  DWORD play = 0, write = 0;
  ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 8820u);
  EXPECT_EQ(write, 8820u + 1764u) << "10 ms ahead";
  Advance(100);
  EXPECT_EQ(PlayCursor(buffer), 8820u) << "150 ms is 26460 bytes, round the ring of 17640";
  Advance(7);
  EXPECT_EQ(PlayCursor(buffer), 10052u) << "157 ms: 6923 whole frames, 27692 bytes";
}

TEST_F(Cursors, StandStillWhileStoppedWithTheWriteCursorOnThePlayCursor) {
  Open("null");
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 17640);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(20);
  ASSERT_EQ(buffer->Stop(), DS_OK);
  Advance(500);
  DWORD play = 0, write = 0;
  ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 3528u);
  EXPECT_EQ(write, play);
  ASSERT_EQ(buffer->SetCurrentPosition(4001), DS_OK);
  EXPECT_EQ(PlayCursor(buffer), 4000u) << "rounded down to a whole frame";
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(10);
  EXPECT_EQ(PlayCursor(buffer), 4000u + 1764u) << "playing on from where it was put";
}

TEST_F(Cursors, ABufferPlayedOnceStopsAtItsEnd) {
  Open("null");
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 17640);
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  DWORD status = 0;
  ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, static_cast<DWORD>(DSBSTATUS_PLAYING));
  Advance(99);
  EXPECT_EQ(PlayCursor(buffer), 17460u) << "4365 whole frames";
  Advance(1);
  ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(PlayCursor(buffer), 0u);
}

// A buffer in another format than the primary one moves in whole frames of
// its own, as far as the output's frames reach.
TEST_F(Cursors, FollowTheOutputRateWhenTheFormatsDiffer) {
  struct Row {
    const char* why;
    WAVEFORMATEX buffer;
    WAVEFORMATEX primary;
    DWORD milliseconds;
    DWORD cursor;
  };
  const Row rows[] = {
      {"half the output rate: 1102.5 frames in 50 ms", Pcm(22050, 16, 2), Pcm(44100, 16, 2), 50, 1102 * 4},
      {"twice the output rate, 8-bit mono", Pcm(44100, 8, 1), Pcm(22050, 16, 2), 50, 1102 * 2},
      {"the same rate, other sample size", Pcm(22050, 8, 2), Pcm(22050, 16, 1), 40, 882 * 2},
      {"an odd rate, two whole rounds", Pcm(8000, 16, 1), Pcm(44100, 16, 2), 1000, 0},
      {"an odd rate, part of a round", Pcm(8000, 16, 1), Pcm(44100, 16, 2), 30, 240 * 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Open("null", row.primary);
    IDirectSoundBuffer* buffer = MakeBuffer(row.buffer, row.buffer.nBlockAlign * 4000);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Advance(row.milliseconds);
    EXPECT_EQ(PlayCursor(buffer), row.cursor);
    TearDown();
  }
}

TEST_F(Cursors, LockGivesTheTailAndTheHeadAcrossTheEnd) {
  Open("null");
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 17640);
  LPVOID first = nullptr, second = nullptr;
  DWORD firstBytes = 0, secondBytes = 0;
  ASSERT_EQ(buffer->Lock(16000, 4000, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
  EXPECT_EQ(firstBytes, 1640u);
  EXPECT_EQ(secondBytes, 2360u);
  EXPECT_EQ(static_cast<char*>(second) + 16000, static_cast<char*>(first)) << "the head is the ring's start";
  EXPECT_EQ(buffer->Unlock(first, firstBytes, second, secondBytes), DS_OK);

  ASSERT_EQ(buffer->Lock(100, 400, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
  EXPECT_EQ(firstBytes, 400u);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(secondBytes, 0u);
  EXPECT_EQ(buffer->Unlock(first, firstBytes, second, secondBytes), DS_OK);

  ASSERT_EQ(buffer->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, DSBLOCK_ENTIREBUFFER), DS_OK);
  EXPECT_EQ(firstBytes, 17640u);
  char* const ring = static_cast<char*>(first);
  EXPECT_EQ(buffer->Unlock(first, firstBytes, nullptr, 0), DS_OK);

  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(50);
  ASSERT_EQ(buffer->Lock(0, 100, &first, &firstBytes, &second, &secondBytes, DSBLOCK_FROMWRITECURSOR), DS_OK);
  EXPECT_EQ(static_cast<char*>(first), ring + 8820 + 1764);
  EXPECT_EQ(buffer->Unlock(first, firstBytes, second, secondBytes), DS_OK);
}

TEST_F(Cursors, LockAndUnlockRefuseWhatLiesOutsideTheRing) {
  Open("null");
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 17640);
  LPVOID first = nullptr, second = nullptr;
  DWORD firstBytes = 0, secondBytes = 0;
  EXPECT_EQ(buffer->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, 0), DSERR_INVALIDPARAM) << "no bytes";
  EXPECT_EQ(buffer->Lock(0, 17644, &first, &firstBytes, &second, &secondBytes, 0), DSERR_INVALIDPARAM) << "too many";
  EXPECT_EQ(buffer->Lock(17640, 4, &first, &firstBytes, &second, &secondBytes, 0), DSERR_INVALIDPARAM) << "offset";
  EXPECT_EQ(buffer->Lock(0, 4, nullptr, &firstBytes, &second, &secondBytes, 0), DSERR_INVALIDPARAM);
  char outside[16];
  EXPECT_EQ(buffer->Unlock(outside, 4, nullptr, 0), DSERR_INVALIDPARAM);
  ASSERT_EQ(buffer->Lock(17000, 1000, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
  EXPECT_EQ(buffer->Unlock(first, firstBytes + 4, second, secondBytes), DSERR_INVALIDPARAM) << "past the end";
  EXPECT_EQ(buffer->Unlock(first, firstBytes, static_cast<char*>(second) + 4, secondBytes), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Unlock(first, firstBytes, second, secondBytes), DS_OK);
}

// With nobody writing, the looping ring plays what it holds again and
// again: the capture is the ring's content, round after round.
TEST_F(Cursors, TheRingReplaysWhenTheWriterStops) {
  const std::string path = CapturePath();
  Open("wav:" + path);
  std::vector<int16_t> pattern(4410 * 2);
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<int16_t>(i * 7 - 30000);
  const std::string ring = Bytes16(pattern);
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), static_cast<DWORD>(ring.size()));
  Write(buffer, 0, ring);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(250);  // two and a half rounds of 100 ms
  ASSERT_EQ(buffer->Stop(), DS_OK);
  const Capture capture = ReadCapture(path);
  ASSERT_EQ(capture.data.size(), ring.size() * 5 / 2);
  EXPECT_EQ(capture.data.substr(0, ring.size()), ring);
  EXPECT_EQ(capture.data.substr(ring.size(), ring.size()), ring);
  EXPECT_EQ(capture.data.substr(2 * ring.size()), ring.substr(0, ring.size() / 2));
}

}  // namespace
