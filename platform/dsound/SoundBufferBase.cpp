#include "SoundBuffers.h"

#include "SoundEngine.h"

namespace twl::sound {

HRESULT SoundBufferBase::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDirectSoundBuffer)) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  *object = static_cast<IDirectSoundBuffer*>(this);
  return S_OK;
}

ULONG SoundBufferBase::AddRef() { return ++references_; }

bool SoundBufferBase::AddRefIfAlive() {
  ULONG count = references_.load();
  while (count != 0) {
    if (references_.compare_exchange_weak(count, count + 1)) return true;
  }
  return false;
}

ULONG SoundBufferBase::Release() {
  const ULONG count = --references_;
  if (count != 0) return count;
  SoundEngine::Get().Update([this] { Detach(); });
  delete this;
  return 0;
}

HRESULT SoundBufferBase::CopyFormat(const PcmFormat& pcm, LPWAVEFORMATEX format, DWORD sizeAllocated,
                                    LPDWORD sizeWritten) {
  if (!format) {
    if (!sizeWritten) return DSERR_INVALIDPARAM;
    *sizeWritten = sizeof(WAVEFORMATEX);
    return DS_OK;
  }
  if (sizeAllocated < sizeof(WAVEFORMATEX)) return DSERR_INVALIDPARAM;
  *format = WaveFromFormat(pcm);
  if (sizeWritten) *sizeWritten = sizeof(WAVEFORMATEX);
  return DS_OK;
}

HRESULT SoundBufferBase::Initialize(IDirectSound*, LPCDSBUFFERDESC) { return DSERR_ALREADYINITIALIZED; }

// No buffer is made with a frequency control.
HRESULT SoundBufferBase::GetFrequency(LPDWORD frequency) {
  return frequency ? DSERR_CONTROLUNAVAIL : DSERR_INVALIDPARAM;
}

HRESULT SoundBufferBase::SetFrequency(DWORD) { return DSERR_CONTROLUNAVAIL; }

}  // namespace twl::sound
