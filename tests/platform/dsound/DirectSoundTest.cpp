// The DirectSound calls: devices and their enumeration, cooperative
// levels, capabilities, buffer creation, volume and pan, lost buffers,
// released devices, and "dsound.dll".
#include <twlwin/testing.h>

#include <cstdlib>

#include "SoundFixture.h"

using namespace soundtest;

namespace {

const GUID kFirstGuid = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
const GUID kSecondGuid = {0x44444444, 0x5555, 0x6666, {8, 7, 6, 5, 4, 3, 2, 1}};

struct Listed {
  bool hasGuid;
  GUID guid;
  std::string description;
};

BOOL Collect(LPGUID guid, LPCSTR description, LPCSTR, LPVOID context) {
  static_cast<std::vector<Listed>*>(context)->push_back({guid != nullptr, guid ? *guid : GUID{}, description});
  return TRUE;
}

BOOL StopAtFirst(LPGUID, LPCSTR, LPCSTR, LPVOID context) {
  ++*static_cast<int*>(context);
  return FALSE;
}

class DirectSound : public SoundTest {
 protected:
  void TearDown() override {
    SoundTest::TearDown();
    TwlTestSetSoundDevices(nullptr, 0);
  }
};

TEST_F(DirectSound, ListsThePrimaryDriverFirstThenEveryDevice) {
  const TwlTestSoundDevice devices[] = {{kFirstGuid, "First card", DSCAPS_PRIMARY16BIT | DSCAPS_PRIMARYSTEREO},
                                        {kSecondGuid, "Second card", DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARYMONO}};
  TwlTestSetSoundDevices(devices, 2);
  std::vector<Listed> listed;
  ASSERT_EQ(DirectSoundEnumerateA(&Collect, &listed), DS_OK);
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_FALSE(listed[0].hasGuid);
  EXPECT_EQ(listed[0].description, "Primary Sound Driver");
  EXPECT_TRUE(listed[1].hasGuid && IsEqualGUID(listed[1].guid, kFirstGuid));
  EXPECT_EQ(listed[1].description, "First card");
  EXPECT_TRUE(listed[2].hasGuid && IsEqualGUID(listed[2].guid, kSecondGuid));
  int calls = 0;
  ASSERT_EQ(DirectSoundEnumerateA(&StopAtFirst, &calls), DS_OK);
  EXPECT_EQ(calls, 1) << "a callback answering FALSE ends the list";
  EXPECT_EQ(DirectSoundEnumerateA(nullptr, nullptr), DSERR_INVALIDPARAM);

  // Each device reports its own primary-buffer capabilities; null opens the
  // first.
  const struct {
    LPCGUID guid;
    DWORD primaryCaps;
  } opens[] = {{nullptr, DSCAPS_PRIMARY16BIT | DSCAPS_PRIMARYSTEREO},
               {&kFirstGuid, DSCAPS_PRIMARY16BIT | DSCAPS_PRIMARYSTEREO},
               {&kSecondGuid, DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARYMONO}};
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  for (const auto& open : opens) {
    IDirectSound* device = nullptr;
    ASSERT_EQ(DirectSoundCreate(open.guid, &device, nullptr), DS_OK);
    DSCAPS caps{};
    caps.dwSize = 96;
    ASSERT_EQ(device->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwFlags & 0xF, open.primaryCaps);
    caps.dwSize = 95;
    EXPECT_EQ(device->GetCaps(&caps), DSERR_INVALIDPARAM);
    device->Release();
  }
}

TEST_F(DirectSound, AnUnknownDeviceOrNoDeviceGivesNoDriver) {
  IDirectSound* device = reinterpret_cast<IDirectSound*>(1);
  EXPECT_EQ(DirectSoundCreate(&kSecondGuid, &device, nullptr), DSERR_NODRIVER);
  EXPECT_EQ(device, nullptr);
  TwlTestSoundDevice none{};
  TwlTestSetSoundDevices(&none, 0);
  EXPECT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DSERR_NODRIVER);
  std::vector<Listed> listed;
  ASSERT_EQ(DirectSoundEnumerateA(&Collect, &listed), DS_OK);
  EXPECT_TRUE(listed.empty());
  EXPECT_EQ(DirectSoundCreate(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
}

TEST_F(DirectSound, ASinkThatNamesNothingGivesNoDriver) {
  setenv("TWL_SOUND_SINK", "speakers", 1);
  ASSERT_FALSE(TwlTestSetSoundSink(nullptr));
  IDirectSound* device = nullptr;
  EXPECT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DSERR_NODRIVER);
  setenv("TWL_SOUND_SINK", "null", 1);
  ASSERT_TRUE(TwlTestSetSoundSink(nullptr));
  ASSERT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
  device->Release();
}

TEST_F(DirectSound, ThePrimaryFormatNeedsMoreThanTheNormalLevel) {
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  ASSERT_EQ(DirectSoundCreate(nullptr, &device_, nullptr), DS_OK);
  EXPECT_EQ(device_->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DSERR_INVALIDPARAM) << "no window";
  EXPECT_EQ(device_->SetCooperativeLevel(OwnerWindow(), 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(device_->SetCooperativeLevel(OwnerWindow(), 5), DSERR_INVALIDPARAM);
  EXPECT_EQ(device_->SetCooperativeLevel(OwnerWindow(), DSSCL_WRITEPRIMARY), DSERR_UNSUPPORTED);
  DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(device_->CreateSoundBuffer(&description, &primary, nullptr), DS_OK);
  buffers_.push_back(primary);
  const WAVEFORMATEX cd = Pcm(44100, 16, 2);
  const struct {
    DWORD level;
    HRESULT result;
  } rows[] = {{DSSCL_NORMAL, DSERR_PRIOLEVELNEEDED}, {DSSCL_PRIORITY, DS_OK}, {DSSCL_EXCLUSIVE, DS_OK}};
  for (const auto& row : rows) {
    ASSERT_EQ(device_->SetCooperativeLevel(OwnerWindow(), row.level), DS_OK);
    EXPECT_EQ(primary->SetFormat(&cd), row.result) << row.level;
  }
  WAVEFORMATEX format{};
  DWORD written = 0;
  ASSERT_EQ(primary->GetFormat(&format, sizeof format, &written), DS_OK);
  EXPECT_EQ(format.nSamplesPerSec, 44100u);
  EXPECT_EQ(format.wBitsPerSample, 16);

  IDirectSoundBuffer* again = nullptr;
  ASSERT_EQ(device_->CreateSoundBuffer(&description, &again, nullptr), DS_OK);
  EXPECT_EQ(again, primary) << "one primary buffer per device";
  again->Release();
  LPVOID audio = nullptr;
  DWORD bytes = 0;
  EXPECT_EQ(primary->Lock(0, 4, &audio, &bytes, nullptr, nullptr, 0), DSERR_PRIOLEVELNEEDED);
}

TEST_F(DirectSound, RefusesBuffersItCannotMake) {
  Open("null");
  const WAVEFORMATEX cd = Pcm(44100, 16, 2);
  WAVEFORMATEX adpcm = cd;
  adpcm.wFormatTag = 2;
  WAVEFORMATEX bits24 = Pcm(44100, 24, 2);
  WAVEFORMATEX channels3 = Pcm(44100, 16, 3);
  WAVEFORMATEX rate0 = Pcm(0, 16, 2);
  WAVEFORMATEX badAlign = cd;
  badAlign.nBlockAlign = 2;
  struct Row {
    const char* why;
    DWORD size;
    DWORD flags;
    DWORD bytes;
    WAVEFORMATEX* format;
    HRESULT result;
  };
  WAVEFORMATEX good = cd;
  Row rows[] = {
      {"not PCM", sizeof(DSBUFFERDESC), 0, 4000, &adpcm, DSERR_BADFORMAT},
      {"24 bits", sizeof(DSBUFFERDESC), 0, 6000, &bits24, DSERR_BADFORMAT},
      {"3 channels", sizeof(DSBUFFERDESC), 0, 6000, &channels3, DSERR_BADFORMAT},
      {"rate 0", sizeof(DSBUFFERDESC), 0, 4000, &rate0, DSERR_INVALIDPARAM},
      {"block size contradicts the format", sizeof(DSBUFFERDESC), 0, 4000, &badAlign, DSERR_INVALIDPARAM},
      {"not whole frames", sizeof(DSBUFFERDESC), 0, 1001, &good, DSERR_INVALIDPARAM},
      {"no bytes", sizeof(DSBUFFERDESC), 0, 0, &good, DSERR_INVALIDPARAM},
      {"too large", sizeof(DSBUFFERDESC), 0, 0x10000000, &good, DSERR_INVALIDPARAM},
      {"no format", sizeof(DSBUFFERDESC), 0, 4000, nullptr, DSERR_INVALIDPARAM},
      {"record size", 16, 0, 4000, &good, DSERR_INVALIDPARAM},
      {"unknown flag", sizeof(DSBUFFERDESC), 0x80000000, 4000, &good, DSERR_INVALIDPARAM},
      {"3D", sizeof(DSBUFFERDESC), DSBCAPS_CTRL3D, 4000, &good, DSERR_CONTROLUNAVAIL},
      {"frequency control", sizeof(DSBUFFERDESC), DSBCAPS_CTRLFREQUENCY, 4000, &good, DSERR_CONTROLUNAVAIL},
      {"primary with bytes", sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 4000, nullptr, DSERR_INVALIDPARAM},
      {"primary with volume", sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME, 0, nullptr,
       DSERR_CONTROLUNAVAIL},
      {"the 32-bit record size", DSBUFFERDESC_SIZE_32BIT, 0, 4000, &good, DS_OK},
  };
  for (const Row& row : rows) {
    DSBUFFERDESC description{row.size, row.flags, row.bytes, 0, row.format};
    IDirectSoundBuffer* buffer = reinterpret_cast<IDirectSoundBuffer*>(1);
    EXPECT_EQ(device_->CreateSoundBuffer(&description, &buffer, nullptr), row.result) << row.why;
    if (row.result == DS_OK) {
      ASSERT_NE(buffer, nullptr);
      buffer->Release();
    } else {
      EXPECT_EQ(buffer, nullptr) << row.why;
    }
  }
}

TEST_F(DirectSound, VolumeAndPanTakeTheirRangesOnlyWithTheirControls) {
  Open("null");
  IDirectSoundBuffer* controlled = MakeBuffer(Pcm(44100, 16, 2), 4000);
  IDirectSoundBuffer* plain = MakeBuffer(Pcm(44100, 16, 2), 4000, 0);
  const struct {
    LONG value;
    HRESULT volume;
    HRESULT pan;
  } rows[] = {{0, DS_OK, DS_OK},
              {-10000, DS_OK, DS_OK},
              {-10001, DSERR_INVALIDPARAM, DSERR_INVALIDPARAM},
              {1, DSERR_INVALIDPARAM, DS_OK},
              {10000, DSERR_INVALIDPARAM, DS_OK},
              {10001, DSERR_INVALIDPARAM, DSERR_INVALIDPARAM}};
  for (const auto& row : rows) {
    EXPECT_EQ(controlled->SetVolume(row.value), row.volume) << row.value;
    EXPECT_EQ(controlled->SetPan(row.value), row.pan) << row.value;
  }
  LONG volume = 1, pan = 1;
  ASSERT_EQ(controlled->GetVolume(&volume), DS_OK);
  ASSERT_EQ(controlled->GetPan(&pan), DS_OK);
  EXPECT_EQ(volume, -10000) << "the last accepted";
  EXPECT_EQ(pan, 10000);
  EXPECT_EQ(plain->SetVolume(0), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetPan(0), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->GetVolume(&volume), DSERR_CONTROLUNAVAIL);
}

TEST_F(DirectSound, ALostBufferFailsUntilRestored) {
  Open("null");
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 17640);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(10);
  TwlTestLoseSoundBuffers();
  Advance(10);
  DWORD play = 0, status = 0;
  LPVOID audio = nullptr;
  DWORD bytes = 0;
  EXPECT_EQ(buffer->GetCurrentPosition(&play, nullptr), DSERR_BUFFERLOST);
  EXPECT_EQ(buffer->Lock(0, 4, &audio, &bytes, nullptr, nullptr, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DSERR_BUFFERLOST);
  EXPECT_EQ(buffer->Stop(), DSERR_BUFFERLOST);
  EXPECT_EQ(buffer->SetCurrentPosition(0), DSERR_BUFFERLOST);
  EXPECT_EQ(buffer->SetVolume(0), DSERR_BUFFERLOST);
  EXPECT_EQ(buffer->SetPan(0), DSERR_BUFFERLOST);
  ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, static_cast<DWORD>(DSBSTATUS_BUFFERLOST));
  ASSERT_EQ(buffer->Restore(), DS_OK);
  EXPECT_EQ(PlayCursor(buffer), 1764u) << "stopped when it was lost";
  ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, 0u);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(10);
  EXPECT_EQ(PlayCursor(buffer), 3528u);
}

TEST_F(DirectSound, BuffersOfAReleasedDeviceStopAndRefuseCalls) {
  Open("null");
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 17640);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  device_->Release();
  device_ = nullptr;
  DWORD play = 0, status = 1;
  EXPECT_EQ(buffer->GetCurrentPosition(&play, nullptr), DSERR_INVALIDCALL);
  EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_INVALIDCALL);
  EXPECT_EQ(buffer->Restore(), DSERR_INVALIDCALL);
  ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, 0u);
}

TEST_F(DirectSound, InterfacesAnswerForThemselvesAndIUnknown) {
  Open("null");
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 4000);
  void* object = nullptr;
  ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundBuffer, &object), S_OK);
  EXPECT_EQ(object, buffer);
  EXPECT_EQ(buffer->Release(), 1u);
  ASSERT_EQ(device_->QueryInterface(IID_IUnknown, &object), S_OK);
  EXPECT_EQ(device_->Release(), 1u);
  EXPECT_EQ(device_->QueryInterface(IID_IDirectSoundBuffer, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(buffer->AddRef(), 2u);
  EXPECT_EQ(buffer->Release(), 1u);
}

TEST_F(DirectSound, ProgramsFindItInDsoundDll) {
  HMODULE module = LoadLibraryA("DSOUND.DLL");
  ASSERT_NE(module, nullptr);
  auto create = reinterpret_cast<LPDIRECTSOUNDCREATE>(reinterpret_cast<void*>(GetProcAddress(module, "DirectSoundCreate")));
  ASSERT_NE(create, nullptr);
  EXPECT_NE(GetProcAddress(module, "DirectSoundEnumerateA"), nullptr);
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  IDirectSound* device = nullptr;
  ASSERT_EQ(create(nullptr, &device, nullptr), DS_OK);
  device->Release();

  TwlTestHideSystemExport("dsound.dll", "DirectSoundEnumerateA", TRUE);
  EXPECT_EQ(GetProcAddress(module, "DirectSoundEnumerateA"), nullptr);
  TwlTestHideSystemExport("dsound.dll", "DirectSoundEnumerateA", FALSE);
  TwlTestHideSystemLibrary("dsound.dll", TRUE);
  EXPECT_EQ(LoadLibraryA("dsound.dll"), nullptr);
  TwlTestHideSystemLibrary("dsound.dll", FALSE);
  FreeLibrary(module);
}

}  // namespace
