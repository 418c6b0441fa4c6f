// DirectSound objects and the "dsound.dll" the layer provides.
#include <atomic>
#include <new>

#include "SoundBuffers.h"
#include "SoundDevices.h"
#include "SoundEngine.h"
#include "platform/modules/SystemModules.h"
#include "twlwin/windowing.h"

namespace twl::sound {
namespace {

constexpr DWORD kSecondaryCaps =
    DSCAPS_CONTINUOUSRATE | DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;

class DirectSoundObject final : public IDirectSound {
 public:
  explicit DirectSoundObject(std::shared_ptr<DeviceState> state) : state_(std::move(state)) {}
  DirectSoundObject(const DirectSoundObject&) = delete;
  DirectSoundObject& operator=(const DirectSoundObject&) = delete;

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDirectSound)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    *object = static_cast<IDirectSound*>(this);
    return S_OK;
  }

  ULONG AddRef() override { return ++references_; }

  ULONG Release() override {
    const ULONG count = --references_;
    if (count != 0) return count;
    // The buffers stop with their device; each stays a valid object until
    // its owner releases it.
    SoundEngine::Get().Update([this] {
      state_->closed = true;
      for (SoundBufferBase* buffer : state_->buffers) buffer->Close();
      state_->buffers.clear();
      SoundEngine::Get().CloseDevice();
    });
    delete this;
    return 0;
  }

  HRESULT CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) override {
    if (outer) return DSERR_NOAGGREGATION;
    if (!description || !buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (description->dwSize != sizeof(DSBUFFERDESC) && description->dwSize != DSBUFFERDESC_SIZE_32BIT) {
      return DSERR_INVALIDPARAM;
    }
    if (description->dwFlags & DSBCAPS_PRIMARYBUFFER) return CreatePrimaryBuffer(state_, *description, buffer);
    return CreateSecondaryBuffer(state_, *description, buffer);
  }

  HRESULT GetCaps(LPDSCAPS caps) override {
    if (!caps || caps->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
    *caps = DSCAPS{};
    caps->dwSize = sizeof(DSCAPS);
    caps->dwFlags = state_->primaryCaps | kSecondaryCaps;
    caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
    caps->dwPrimaryBuffers = 1;
    return DS_OK;
  }

  HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER, LPDIRECTSOUNDBUFFER* duplicate) override {
    if (duplicate) *duplicate = nullptr;
    return DSERR_UNSUPPORTED;
  }

  HRESULT SetCooperativeLevel(HWND window, DWORD level) override {
    if (level == DSSCL_WRITEPRIMARY) return DSERR_UNSUPPORTED;
    if (level < DSSCL_NORMAL || level > DSSCL_EXCLUSIVE || !IsWindow(window)) return DSERR_INVALIDPARAM;
    SoundEngine::Get().Update([&] { state_->cooperativeLevel = level; });
    return DS_OK;
  }

  HRESULT Compact() override { return DS_OK; }
  HRESULT GetSpeakerConfig(LPDWORD) override { return DSERR_UNSUPPORTED; }
  HRESULT SetSpeakerConfig(DWORD) override { return DSERR_UNSUPPORTED; }
  HRESULT Initialize(LPCGUID) override { return DSERR_ALREADYINITIALIZED; }

 private:
  ~DirectSoundObject() = default;

  std::shared_ptr<DeviceState> state_;
  std::atomic<ULONG> references_{1};
};

HRESULT CreateDirectSound(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer) {
  if (!directSound) return DSERR_INVALIDPARAM;
  *directSound = nullptr;
  if (outer) return DSERR_NOAGGREGATION;
  SoundDevice found;
  if (!FindSoundDevice(device, found)) return DSERR_NODRIVER;
  std::shared_ptr<DeviceState> state(new (std::nothrow) DeviceState);
  if (!state) return DSERR_OUTOFMEMORY;
  state->primaryCaps = found.primaryCaps;
  SoundEngine& engine = SoundEngine::Get();
  if (HRESULT opened = engine.Update([&engine] { return engine.OpenDevice(); }); FAILED(opened)) return opened;
  *directSound = new (std::nothrow) DirectSoundObject(state);
  if (*directSound) return DS_OK;
  engine.Update([&engine] { engine.CloseDevice(); });
  return DSERR_OUTOFMEMORY;
}

}  // namespace
}  // namespace twl::sound

TWLAPI HRESULT DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer) {
  try {
    return twl::sound::CreateDirectSound(device, directSound, outer);
  } catch (const std::bad_alloc&) {
    return DSERR_OUTOFMEMORY;
  }
}

// Programs load DirectSound at run time.
static const twl::SystemLibraryRegistration kDirectSoundLibrary("dsound.dll", {
    {"DirectSoundCreate", twl::ExportAddress(&DirectSoundCreate)},
    {"DirectSoundEnumerateA", twl::ExportAddress(&DirectSoundEnumerateA)},
});
