// A DirectSound device on the manual clock, playing into the sink a test
// chooses, with helpers to make buffers, write them and read back what a
// WAV sink captured.
#pragma once

#include <dsound.h>
#include <gtest/gtest.h>
#include <twlwin/testing_sound.h>
#include <twlwin/testing_user.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/TestPaths.h"

namespace soundtest {

inline WAVEFORMATEX Pcm(DWORD rate, WORD bits, WORD channels) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = channels;
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = bits;
  format.nBlockAlign = static_cast<WORD>(bits / 8 * channels);
  format.nAvgBytesPerSec = rate * format.nBlockAlign;
  return format;
}

inline HWND OwnerWindow() {
  static HWND window = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "sound test owner";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  }();
  return window;
}

// 16-bit samples, interleaved.
inline std::vector<int16_t> Samples16(const std::string& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  }
  return samples;
}

inline std::string Bytes16(const std::vector<int16_t>& samples) {
  std::string bytes;
  for (int16_t sample : samples) {
    bytes.push_back(static_cast<char>(sample & 0xFF));
    bytes.push_back(static_cast<char>((sample >> 8) & 0xFF));
  }
  return bytes;
}

inline uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

inline uint32_t Le16(const std::string& bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8;
}

// What a WAV sink's file holds; the header is checked against the file.
struct Capture {
  WAVEFORMATEX format{};
  std::string data;
};

inline Capture ReadCapture(const std::string& path) {
  Capture capture;
  const std::string file = twltest::ReadFile(path);
  EXPECT_GE(file.size(), 44u);
  if (file.size() < 44) return capture;
  EXPECT_EQ(file.substr(0, 4), "RIFF");
  EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Le32(file, 16), 16u);
  EXPECT_EQ(file.substr(36, 4), "data");
  const uint32_t data = Le32(file, 40);
  EXPECT_EQ(Le32(file, 4), 36 + data + (data & 1)) << "RIFF size";
  EXPECT_EQ(file.size(), 44 + data + (data & 1)) << "data size";
  capture.format.wFormatTag = static_cast<WORD>(Le16(file, 20));
  capture.format.nChannels = static_cast<WORD>(Le16(file, 22));
  capture.format.nSamplesPerSec = Le32(file, 24);
  capture.format.nAvgBytesPerSec = Le32(file, 28);
  capture.format.nBlockAlign = static_cast<WORD>(Le16(file, 32));
  capture.format.wBitsPerSample = static_cast<WORD>(Le16(file, 34));
  capture.data = file.substr(44, data);
  return capture;
}

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override { TwlTestUseManualClock(TRUE); }

  void TearDown() override {
    for (IDirectSoundBuffer* buffer : buffers_) buffer->Release();
    buffers_.clear();
    if (device_) device_->Release();
    device_ = nullptr;
    TwlTestSetSoundSink(nullptr);
  }

  // Opens the default device at the priority level with the primary
  // buffer in `primary`, playing into `sink`.
  void Open(const std::string& sink, const WAVEFORMATEX& primary = Pcm(44100, 16, 2)) {
    ASSERT_TRUE(TwlTestSetSoundSink(sink.c_str())) << sink;
    ASSERT_EQ(DirectSoundCreate(nullptr, &device_, nullptr), DS_OK);
    ASSERT_EQ(device_->SetCooperativeLevel(OwnerWindow(), DSSCL_PRIORITY), DS_OK);
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    IDirectSoundBuffer* primaryBuffer = nullptr;
    ASSERT_EQ(device_->CreateSoundBuffer(&description, &primaryBuffer, nullptr), DS_OK);
    EXPECT_EQ(primaryBuffer->SetFormat(&primary), DS_OK);
    primaryBuffer->Release();
  }

  // A path in the sandbox for a WAV sink.
  std::string CapturePath(const std::string& name = "capture.wav") { return twltest::MakeTempDir("sound") + "/" + name; }

  IDirectSoundBuffer* MakeBuffer(const WAVEFORMATEX& format, DWORD bytes, DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN) {
    WAVEFORMATEX copy = format;
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), flags | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS, bytes, 0,
                             &copy};
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(device_->CreateSoundBuffer(&description, &buffer, nullptr), DS_OK);
    if (buffer) buffers_.push_back(buffer);
    return buffer;
  }

  // Writes bytes at an offset through Lock and Unlock.
  static void Write(IDirectSoundBuffer* buffer, DWORD offset, const std::string& bytes) {
    LPVOID first = nullptr, second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    ASSERT_EQ(buffer->Lock(offset, static_cast<DWORD>(bytes.size()), &first, &firstBytes, &second, &secondBytes, 0),
              DS_OK);
    std::memcpy(first, bytes.data(), firstBytes);
    if (secondBytes) std::memcpy(second, bytes.data() + firstBytes, secondBytes);
    ASSERT_EQ(buffer->Unlock(first, firstBytes, second, secondBytes), DS_OK);
  }

  static DWORD PlayCursor(IDirectSoundBuffer* buffer) {
    DWORD play = 0xFFFFFFFF, write = 0;
    EXPECT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    return play;
  }

  static void Advance(DWORD milliseconds) { TwlTestAdvanceClock(milliseconds); }

  IDirectSound* device_ = nullptr;
  std::vector<IDirectSoundBuffer*> buffers_;
};

}  // namespace soundtest
