// The objects behind IDirectSound and IDirectSoundBuffer. A device keeps
// the list of the buffers it made, so that releasing it stops them; a
// buffer keeps the device's state alive, so that a buffer released after
// its device still finds it. All state is read and changed inside
// SoundEngine::Update; reference counts are atomic.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "PcmFormat.h"
#include "twlwin/dsound.h"

namespace twl::sound {

class SoundBufferBase;

struct DeviceState {
  DWORD primaryCaps = 0;
  DWORD cooperativeLevel = 0;  // 0 until SetCooperativeLevel: as normal
  bool closed = false;         // the device's last reference is gone
  std::vector<SoundBufferBase*> buffers;
  SoundBufferBase* primary = nullptr;
};

class SoundBufferBase : public IDirectSoundBuffer {
 public:
  explicit SoundBufferBase(std::shared_ptr<DeviceState> device) : device_(std::move(device)) {}
  SoundBufferBase(const SoundBufferBase&) = delete;
  SoundBufferBase& operator=(const SoundBufferBase&) = delete;

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT Initialize(IDirectSound* directSound, LPCDSBUFFERDESC description) override;
  HRESULT GetFrequency(LPDWORD frequency) override;
  HRESULT SetFrequency(DWORD frequency) override;

  // Adds a reference unless the last one is already gone (the object is
  // on its way out); false then.
  bool AddRefIfAlive();
  // The device's last reference went: the buffer stops for good.
  virtual void Close() = 0;

 protected:
  virtual ~SoundBufferBase() = default;
  // The last reference went: the buffer leaves its device and the mix.
  virtual void Detach() = 0;
  // GetFormat of a buffer in `pcm`: without a record to fill, the size
  // one takes.
  static HRESULT CopyFormat(const PcmFormat& pcm, LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten);

  std::shared_ptr<DeviceState> device_;

 private:
  std::atomic<ULONG> references_{1};
};

// Secondary buffers: `description` was checked by the caller to be a
// secondary buffer's. Each starts with one reference.
HRESULT CreateSecondaryBuffer(const std::shared_ptr<DeviceState>& device, const DSBUFFERDESC& description,
                              LPDIRECTSOUNDBUFFER* buffer);
HRESULT CreatePrimaryBuffer(const std::shared_ptr<DeviceState>& device, const DSBUFFERDESC& description,
                            LPDIRECTSOUNDBUFFER* buffer);

}  // namespace twl::sound
