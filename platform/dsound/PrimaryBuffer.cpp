// The primary buffer: the device's output. Above the normal cooperative
// level it sets the format every secondary buffer is mixed into; played,
// it keeps the output running between sounds. Its memory is not offered
// (that would take the write-primary level).
#include <algorithm>
#include <new>

#include "SoundBuffers.h"
#include "SoundEngine.h"

namespace twl::sound {
namespace {

constexpr DWORD kPrimaryFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE |
                                DSBCAPS_STICKYFOCUS | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
constexpr DWORD kPrimaryControls =
    DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY;

class PrimaryBuffer final : public SoundBufferBase {
 public:
  PrimaryBuffer(std::shared_ptr<DeviceState> device, DWORD flags)
      : SoundBufferBase(std::move(device)), flags_(flags) {}

  HRESULT GetCaps(LPDSBCAPS caps) override {
    if (!caps || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
    caps->dwFlags = flags_ | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = SoundEngine::Get().Update([] { return SoundEngine::Get().PrimaryFormat().BytesPerSecond(); });
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
  }

  HRESULT GetCurrentPosition(LPDWORD, LPDWORD) override { return DSERR_UNSUPPORTED; }

  HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override {
    const PcmFormat primary = SoundEngine::Get().Update([] { return SoundEngine::Get().PrimaryFormat(); });
    return CopyFormat(primary, format, sizeAllocated, sizeWritten);
  }

  HRESULT GetVolume(LPLONG volume) override { return volume ? DSERR_CONTROLUNAVAIL : DSERR_INVALIDPARAM; }
  HRESULT GetPan(LPLONG pan) override { return pan ? DSERR_CONTROLUNAVAIL : DSERR_INVALIDPARAM; }

  HRESULT GetStatus(LPDWORD status) override {
    if (!status) return DSERR_INVALIDPARAM;
    *status = SoundEngine::Get().Update([&] { return playing_ ? DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING} : DWORD{0}; });
    return DS_OK;
  }

  HRESULT Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD) override { return DSERR_PRIOLEVELNEEDED; }
  HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return DSERR_PRIOLEVELNEEDED; }
  HRESULT SetCurrentPosition(DWORD) override { return DSERR_UNSUPPORTED; }
  HRESULT SetVolume(LONG) override { return DSERR_CONTROLUNAVAIL; }
  HRESULT SetPan(LONG) override { return DSERR_CONTROLUNAVAIL; }

  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
    if (reserved != 0 || !(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
    return SoundEngine::Get().Update([&] {
      if (closed_) return DSERR_INVALIDCALL;
      if (!playing_) SoundEngine::Get().PlayPrimary(true);
      playing_ = true;
      return DS_OK;
    });
  }

  HRESULT Stop() override {
    return SoundEngine::Get().Update([&] {
      if (closed_) return DSERR_INVALIDCALL;
      StopPlaying();
      return DS_OK;
    });
  }

  HRESULT SetFormat(LPCWAVEFORMATEX format) override {
    if (!format) return DSERR_INVALIDPARAM;
    return SoundEngine::Get().Update([&] {
      if (closed_) return DSERR_INVALIDCALL;
      if (device_->cooperativeLevel < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
      PcmFormat pcm;
      if (HRESULT result = FormatFromWave(*format, pcm); FAILED(result)) return result;
      SoundEngine::Get().SetPrimaryFormat(pcm);
      return DS_OK;
    });
  }

  HRESULT Restore() override {
    return SoundEngine::Get().Update([&] { return closed_ ? DSERR_INVALIDCALL : DS_OK; });
  }

  void Close() override {
    StopPlaying();
    if (device_->primary == this) device_->primary = nullptr;
    closed_ = true;
  }

 protected:
  void Detach() override {
    if (closed_) return;
    Close();
    auto& buffers = device_->buffers;
    buffers.erase(std::remove(buffers.begin(), buffers.end(), this), buffers.end());
  }

 private:
  void StopPlaying() {
    if (playing_) SoundEngine::Get().PlayPrimary(false);
    playing_ = false;
  }

  const DWORD flags_;
  bool playing_ = false;
  bool closed_ = false;
};

}  // namespace

HRESULT CreatePrimaryBuffer(const std::shared_ptr<DeviceState>& device, const DSBUFFERDESC& description,
                            LPDIRECTSOUNDBUFFER* buffer) {
  const DWORD flags = description.dwFlags;
  if (description.dwBufferBytes != 0 || description.lpwfxFormat) return DSERR_INVALIDPARAM;
  if (flags & kPrimaryControls) return DSERR_CONTROLUNAVAIL;
  if (flags & ~kPrimaryFlags) return DSERR_INVALIDPARAM;
  // One primary buffer per device: asking again gives the same one.
  *buffer = SoundEngine::Get().Update([&]() -> LPDIRECTSOUNDBUFFER {
    if (device->primary && device->primary->AddRefIfAlive()) return device->primary;
    auto* created = new (std::nothrow) PrimaryBuffer(device, flags);
    if (!created) return nullptr;
    try {
      device->buffers.push_back(created);
    } catch (const std::bad_alloc&) {
      delete created;
      return nullptr;
    }
    device->primary = created;
    return created;
  });
  return *buffer ? DS_OK : DSERR_OUTOFMEMORY;
}

}  // namespace twl::sound
