// Secondary buffers: rings of PCM that play, looping or once, into the
// sound output at their own volume and pan.
#include <algorithm>
#include <cstring>
#include <new>

#include "Mixing.h"
#include "SoundBuffers.h"
#include "SoundEngine.h"

namespace twl::sound {
namespace {

constexpr DWORD kKnownFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_STATIC | DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE |
                              DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                              DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_STICKYFOCUS | DSBCAPS_GLOBALFOCUS |
                              DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_MUTE3DATMAXDISTANCE | DSBCAPS_LOCDEFER;
constexpr DWORD kUnavailableFlags =
    DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_LOCHARDWARE;

class SecondaryBuffer final : public SoundBufferBase {
 public:
  SecondaryBuffer(std::shared_ptr<DeviceState> device, DWORD flags, Voice voice)
      : SoundBufferBase(std::move(device)), flags_(flags), voice_(std::move(voice)) {}

  HRESULT GetCaps(LPDSBCAPS caps) override {
    if (!caps || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
    caps->dwFlags = flags_ | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = voice_.Bytes();
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
  }

  HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override {
    return SoundEngine::Get().Touch([&] {
      if (HRESULT state = Usable(); FAILED(state)) return state;
      const uint32_t block = voice_.format.BlockAlign();
      const DWORD play = voice_.position * block;
      const DWORD lead = voice_.playing ? SoundEngine::Get().WriteLeadFrames(voice_) * block : 0;
      if (playCursor) *playCursor = play;
      if (writeCursor) *writeCursor = (play + lead) % voice_.Bytes();
      return DS_OK;
    });
  }

  HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override {
    return CopyFormat(voice_.format, format, sizeAllocated, sizeWritten);
  }

  HRESULT GetVolume(LPLONG volume) override {
    if (!volume) return DSERR_INVALIDPARAM;
    if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    *volume = SoundEngine::Get().Update([&] { return volume_; });
    return DS_OK;
  }

  HRESULT GetPan(LPLONG pan) override {
    if (!pan) return DSERR_INVALIDPARAM;
    if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    *pan = SoundEngine::Get().Update([&] { return pan_; });
    return DS_OK;
  }

  HRESULT GetStatus(LPDWORD status) override {
    if (!status) return DSERR_INVALIDPARAM;
    *status = SoundEngine::Get().Update([&] {
      if (voice_.lost) return static_cast<DWORD>(DSBSTATUS_BUFFERLOST);
      if (!voice_.playing) return DWORD{0};
      return static_cast<DWORD>(DSBSTATUS_PLAYING | (voice_.looping ? DSBSTATUS_LOOPING : 0));
    });
    return DS_OK;
  }

  HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
               DWORD flags) override {
    if (!audio1 || !bytes1) return DSERR_INVALIDPARAM;
    const DWORD size = voice_.Bytes();
    if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
    if (bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
    return SoundEngine::Get().Touch([&] {
      if (HRESULT state = Usable(); FAILED(state)) return state;
      if (flags & DSBLOCK_FROMWRITECURSOR) {
        offset = voice_.position * voice_.format.BlockAlign();
        if (voice_.playing) offset += SoundEngine::Get().WriteLeadFrames(voice_) * voice_.format.BlockAlign();
        offset %= size;
      }
      if (offset >= size) return DSERR_INVALIDPARAM;
      // A span across the end of the ring comes back as its tail and head;
      // a caller that takes one region gets the tail only.
      const DWORD first = std::min(bytes, size - offset);
      *audio1 = voice_.ring.get() + offset;
      *bytes1 = first;
      if (audio2) *audio2 = first < bytes ? voice_.ring.get() : nullptr;
      if (bytes2) *bytes2 = audio2 ? bytes - first : 0;
      return DS_OK;
    });
  }

  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
    if (reserved != 0) return DSERR_INVALIDPARAM;
    return SoundEngine::Get().Update([&] {
      if (HRESULT state = Usable(); FAILED(state)) return state;
      voice_.looping = (flags & DSBPLAY_LOOPING) != 0;
      voice_.playing = true;
      return DS_OK;
    });
  }

  HRESULT SetCurrentPosition(DWORD position) override {
    if (position >= voice_.Bytes()) return DSERR_INVALIDPARAM;
    return SoundEngine::Get().Update([&] {
      if (HRESULT state = Usable(); FAILED(state)) return state;
      voice_.position = position / voice_.format.BlockAlign();
      voice_.phase = 0;
      return DS_OK;
    });
  }

  HRESULT SetFormat(LPCWAVEFORMATEX) override { return DSERR_INVALIDCALL; }

  HRESULT SetVolume(LONG volume) override {
    if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    return SoundEngine::Get().Update([&] {
      if (HRESULT state = Usable(); FAILED(state)) return state;
      volume_ = volume;
      GainsFromVolumeAndPan(volume_, pan_, voice_.gainLeft, voice_.gainRight);
      return DS_OK;
    });
  }

  HRESULT SetPan(LONG pan) override {
    if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    return SoundEngine::Get().Update([&] {
      if (HRESULT state = Usable(); FAILED(state)) return state;
      pan_ = pan;
      GainsFromVolumeAndPan(volume_, pan_, voice_.gainLeft, voice_.gainRight);
      return DS_OK;
    });
  }

  HRESULT Stop() override {
    return SoundEngine::Get().Update([&] {
      if (HRESULT state = Usable(); FAILED(state)) return state;
      voice_.playing = false;
      return DS_OK;
    });
  }

  HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override {
    if (!InRing(audio1, bytes1) || (audio2 && (audio2 != voice_.ring.get() || !InRing(audio2, bytes2)))) {
      return DSERR_INVALIDPARAM;
    }
    return SoundEngine::Get().Touch([&] { return Usable(); });
  }

  HRESULT Restore() override {
    return SoundEngine::Get().Update([&] {
      if (closed_) return DSERR_INVALIDCALL;
      voice_.lost = false;
      return DS_OK;
    });
  }

  // Joins the mix and the device; false when memory ran out.
  bool Attach() {
    if (!SoundEngine::Get().AddVoice(voice_)) return false;
    try {
      device_->buffers.push_back(this);
    } catch (const std::bad_alloc&) {
      SoundEngine::Get().RemoveVoice(voice_);
      return false;
    }
    return true;
  }

  void Close() override {
    voice_.playing = false;
    SoundEngine::Get().RemoveVoice(voice_);
    closed_ = true;
  }

 protected:
  void Detach() override {
    if (closed_) return;
    SoundEngine::Get().RemoveVoice(voice_);
    auto& buffers = device_->buffers;
    buffers.erase(std::remove(buffers.begin(), buffers.end(), this), buffers.end());
  }

 private:
  HRESULT Usable() const {
    if (closed_) return DSERR_INVALIDCALL;
    if (voice_.lost) return DSERR_BUFFERLOST;
    return DS_OK;
  }

  bool InRing(const void* pointer, DWORD bytes) const {
    const auto* at = static_cast<const uint8_t*>(pointer);
    const uint8_t* begin = voice_.ring.get();
    if (!at || at < begin || at >= begin + voice_.Bytes()) return false;
    return bytes <= static_cast<DWORD>(begin + voice_.Bytes() - at);
  }

  const DWORD flags_;
  Voice voice_;
  LONG volume_ = DSBVOLUME_MAX;
  LONG pan_ = DSBPAN_CENTER;
  bool closed_ = false;
};

}  // namespace

HRESULT CreateSecondaryBuffer(const std::shared_ptr<DeviceState>& device, const DSBUFFERDESC& description,
                              LPDIRECTSOUNDBUFFER* buffer) {
  const DWORD flags = description.dwFlags;
  if ((flags & ~kKnownFlags) || !description.lpwfxFormat) return DSERR_INVALIDPARAM;
  if (flags & kUnavailableFlags) return DSERR_CONTROLUNAVAIL;
  Voice voice;
  if (HRESULT result = FormatFromWave(*description.lpwfxFormat, voice.format); FAILED(result)) return result;
  const DWORD bytes = description.dwBufferBytes;
  const uint32_t block = voice.format.BlockAlign();
  if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX || bytes % block != 0) return DSERR_INVALIDPARAM;
  voice.frameCount = bytes / block;
  voice.ring.reset(new (std::nothrow) uint8_t[bytes]);
  if (!voice.ring) return DSERR_OUTOFMEMORY;
  std::memset(voice.ring.get(), voice.format.bits == 8 ? 0x80 : 0x00, bytes);
  auto* created = new (std::nothrow) SecondaryBuffer(device, flags, std::move(voice));
  if (!created) return DSERR_OUTOFMEMORY;
  if (!SoundEngine::Get().Update([created] { return created->Attach(); })) {
    created->Release();
    return DSERR_OUTOFMEMORY;
  }
  *buffer = created;
  return DS_OK;
}

}  // namespace twl::sound
