// Host API slots of sound: the primary format, the volume table, and the
// sound buffers players write PCM into. All buffers of the process play
// through one DirectSound object, made on the preferred device with the
// first buffer and released with the last, under the module's sound lock.
// The slots accept only buffers they handed out and that still exist, so
// a stale or made-up handle is refused instead of followed; a buffer
// destroyed while another thread's slot still runs in it (a wait for space)
// wakes that slot and goes when it returns.
#include <memory>
#include <mutex>

#include "foundation/errors/ThreadErrorState.h"
#include "playback/sound/DirectSoundCalls.h"
#include "playback/sound/SoundBuffer.h"
#include "playback/sound/SoundOptions.h"
#include "pluginhost/handles/HandedOutObjects.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/HostSoundTesting.h"
#include "pluginhost/hostapi/SlotErrors.h"
#include "pluginhost/players/PlayerServices.h"

namespace hostapi {
namespace {

// The shared DirectSound object, one user per buffer.
class SharedSound {
 public:
  // A reference for one more buffer: the object, made when there is none.
  IDirectSound* AddUser(const SoundOptions& options, DWORD& cooperativeLevel) {
    if (!m_DirectSound) {
      IDirectSound* directSound = nullptr;
      if (!CreateDirectSoundObject(options.GetDevice(), &directSound)) return nullptr;
      const HRESULT result =
          directSound->SetCooperativeLevel(GetHostEnvironment().GetOwnerWindow(), options.cooperativeLevel);
      if (FAILED(result)) {
        directSound->Release();
        FailWithDirectSoundError(result);
        return nullptr;
      }
      m_DirectSound = directSound;
      m_CooperativeLevel = options.cooperativeLevel;
      ++m_Creations;
    }
    ++m_Users;
    cooperativeLevel = m_CooperativeLevel;
    return m_DirectSound;
  }

  void DropUser() {
    if (m_Users == 0 || --m_Users > 0) return;
    m_DirectSound->Release();
    m_DirectSound = nullptr;
    ++m_Releases;
  }

  std::mutex lock;  // guards everything below
  SharedSoundState State() const { return {m_DirectSound != nullptr, m_Users, m_Creations, m_Releases}; }

 private:
  IDirectSound* m_DirectSound = nullptr;
  DWORD m_Users = 0;
  DWORD m_CooperativeLevel = 0;
  DWORD m_Creations = 0;
  DWORD m_Releases = 0;
};

SharedSound& Sound() {
  static SharedSound* sound = new SharedSound;  // buffers may outlive static destruction
  return *sound;
}

// A buffer goes with its user of the shared object, on whichever thread
// lets go of it last.
void DisposeBuffer(CSoundBuffer* buffer) noexcept {
  SharedSound& sound = Sound();
  std::lock_guard guard(sound.lock);
  delete buffer;  // releases its DirectSound buffer
  sound.DropUser();
}

using SoundBuffers = HandedOutObjects<CSoundBuffer, HOST_SOUNDBUFFER>;

SoundBuffers& Buffers() {
  static auto* buffers = new SoundBuffers(  // buffers may outlive static destruction
      DisposeBuffer, [](CSoundBuffer& buffer) noexcept { buffer.Interrupt(); });
  return *buffers;
}

// The buffer behind a handle handed out, pinned, or empty with invalid
// parameter.
SoundBuffers::Pin Find(HOST_SOUNDBUFFER handle) {
  SoundBuffers::Pin buffer = Buffers().Find(handle);
  if (!buffer) FailInvalidParameter();
  return buffer;
}

// A getter: the buffer and the out pointer must be valid.
template <class Value, class Get>
BOOL GetValue(HOST_SOUNDBUFFER handle, Value* out, Get get) {
  SoundBuffers::Pin buffer = Find(handle);
  if (!buffer) return FALSE;
  if (!out) return FailInvalidParameter();
  return RunSlot(FALSE, [&] { return get(*buffer, *out) ? TRUE : FALSE; });
}

template <class Call>
BOOL CallBuffer(HOST_SOUNDBUFFER handle, Call call) {
  SoundBuffers::Pin buffer = Find(handle);
  if (!buffer) return FALSE;
  return RunSlot(FALSE, [&] { return call(*buffer) ? TRUE : FALSE; });
}

DWORD Preferred(DWORD value, DWORD preferred) { return value == HOST_SOUND_PREFERRED ? preferred : value; }

}  // namespace

BOOL HOST_SetPrimarySoundFormat(IDirectSound* directSound, DWORD frequency, DWORD bitsPerSample, DWORD channels) {
  if (!directSound) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    return CSoundBuffer::SetPrimaryFormat(directSound, frequency, bitsPerSample, channels) ? TRUE : FALSE;
  });
}

LONG HOST_VolumeToAttenuation(LONG volume) {
  if (volume < 0) return -10000;
  if (volume > 256) return 0;
  return CSoundBuffer::GetVolumeTableEntry(static_cast<int>(volume));
}

BOOL HOST_CreateSoundBuffer(DWORD bytes, DWORD frequency, DWORD bitsPerSample, DWORD channels, DWORD flags,
                            PLUGIN_HANDLE player, HOST_SOUNDBUFFER* out) {
  if (!out) return FailInvalidParameter();
  *out = nullptr;
  return RunSlot(FALSE, [&] {
    SoundOptions options;
    GetPlayerServices().GetSoundOptions(options);
    frequency = Preferred(frequency, options.frequency);
    bitsPerSample = Preferred(bitsPerSample, options.bitsPerSample);
    channels = Preferred(channels, options.channels);
    if (frequency < 1 || (bitsPerSample != 8 && bitsPerSample != 16) || (channels != 1 && channels != 2)) {
      FailInvalidParameter();
      return FALSE;
    }
    SharedSound& sound = Sound();
    std::lock_guard guard(sound.lock);
    DWORD cooperativeLevel = 0;
    IDirectSound* directSound = sound.AddUser(options, cooperativeLevel);
    if (!directSound) return FALSE;
    auto buffer = std::make_unique<CSoundBuffer>();
    const bool made = buffer->Create(directSound, bytes, frequency, bitsPerSample, channels, flags, player) &&
                      (cooperativeLevel == DSSCL_NORMAL ||
                       CSoundBuffer::SetPrimaryFormat(directSound, frequency, bitsPerSample, channels));
    if (!made) {
      buffer.reset();
      sound.DropUser();
      return FALSE;
    }
    *out = Buffers().Add(buffer.release());
    return TRUE;
  });
}

void HOST_DestroySoundBuffer(HOST_SOUNDBUFFER handle) {
  if (!Buffers().Retire(handle)) FailInvalidParameter();
}

BOOL HOST_SoundBufferReset(HOST_SOUNDBUFFER buffer, float startMilliseconds) {
  return CallBuffer(buffer, [&](CSoundBuffer& b) { return b.Reset(startMilliseconds); });
}

BOOL HOST_SoundBufferGetFreeSpace(HOST_SOUNDBUFFER buffer, DWORD* bytes) {
  return GetValue(buffer, bytes, [](CSoundBuffer& b, DWORD& value) { return b.GetFreeSpace(&value); });
}

BOOL HOST_SoundBufferGetLatency(HOST_SOUNDBUFFER buffer, DWORD* bytes) {
  return GetValue(buffer, bytes, [](CSoundBuffer& b, DWORD& value) { return b.GetPendingBytes(&value); });
}

BOOL HOST_SoundBufferGetQueued(HOST_SOUNDBUFFER buffer, DWORD* bytes) {
  return GetValue(buffer, bytes, [](CSoundBuffer& b, DWORD& value) { return b.GetQueuedBytes(&value); });
}

// The account is 64 bits; the slot keeps its 32-bit word.
BOOL HOST_SoundBufferGetTotalWritten(HOST_SOUNDBUFFER buffer, DWORD* bytes) {
  return GetValue(buffer, bytes, [](CSoundBuffer& b, DWORD& value) {
    value = static_cast<DWORD>(b.GetStreamBytes());
    return true;
  });
}

BOOL HOST_SoundBufferWait(HOST_SOUNDBUFFER buffer, DWORD bytes, HANDLE abortEvent) {
  return CallBuffer(buffer, [&](CSoundBuffer& b) { return b.WaitForSpace(bytes, abortEvent); });
}

BOOL HOST_SoundBufferWrite(HOST_SOUNDBUFFER buffer, const void* samples, DWORD bytes, BOOL commit) {
  return CallBuffer(buffer, [&](CSoundBuffer& b) { return b.Write(samples, bytes, commit != FALSE); });
}

BOOL HOST_SoundBufferWriteSilence(HOST_SOUNDBUFFER buffer, DWORD bytes, BOOL commit) {
  return CallBuffer(buffer, [&](CSoundBuffer& b) { return b.WriteSilence(bytes, commit != FALSE); });
}

BOOL HOST_SoundBufferGetPlayTime(HOST_SOUNDBUFFER buffer, DWORD* milliseconds) {
  return GetValue(buffer, milliseconds, [](CSoundBuffer& b, DWORD& value) { return b.GetPosition(&value); });
}

BOOL HOST_SoundBufferLock(HOST_SOUNDBUFFER buffer, DWORD offset, DWORD bytes, void** first, DWORD* firstBytes,
                          void** second, DWORD* secondBytes) {
  if (!first || !firstBytes || !second || !secondBytes) return FailInvalidParameter();
  return CallBuffer(buffer,
                    [&](CSoundBuffer& b) { return b.Lock(offset, bytes, first, firstBytes, second, secondBytes); });
}

BOOL HOST_SoundBufferUnlock(HOST_SOUNDBUFFER buffer, void* first, DWORD firstBytes, void* second, DWORD secondBytes) {
  return CallBuffer(buffer, [&](CSoundBuffer& b) { return b.Unlock(first, firstBytes, second, secondBytes); });
}

BOOL HOST_SoundBufferCommit(HOST_SOUNDBUFFER buffer, DWORD bytes) {
  return CallBuffer(buffer, [&](CSoundBuffer& b) { return b.Advance(bytes); });
}

BOOL HOST_SoundBufferGetWriteOffset(HOST_SOUNDBUFFER buffer, DWORD* offset) {
  return GetValue(buffer, offset, [](CSoundBuffer& b, DWORD& value) {
    value = b.GetWriteOffset();
    return true;
  });
}

BOOL HOST_SoundBufferGetCommittedOffset(HOST_SOUNDBUFFER buffer, DWORD* offset) {
  return GetValue(buffer, offset, [](CSoundBuffer& b, DWORD& value) {
    value = b.GetLastWriteEnd();
    return true;
  });
}

BOOL HOST_SoundBufferPlay(HOST_SOUNDBUFFER buffer) {
  return CallBuffer(buffer, [](CSoundBuffer& b) { return b.Play(); });
}

BOOL HOST_SoundBufferStop(HOST_SOUNDBUFFER buffer, BOOL drain, HANDLE abortEvent) {
  return CallBuffer(buffer, [&](CSoundBuffer& b) { return b.Stop(drain != FALSE, abortEvent); });
}

BOOL HOST_SoundBufferGetPosition(HOST_SOUNDBUFFER buffer, DWORD* playCursor, DWORD* writeCursor) {
  if (!writeCursor) return FailInvalidParameter();
  return GetValue(buffer, playCursor, [&](CSoundBuffer& b, DWORD& play) { return b.GetCursors(&play, writeCursor); });
}

// Slot 185 answers the play cursor, as its name and argument promise in the
// plug-in header, not the buffer's cursor distance: a plug-in reading a
// position from it must never be handed a length. The distance (write minus
// play, modulo the ring) follows from slot 184's two cursors for any caller
// that wants it.
BOOL HOST_SoundBufferGetPlayPosition(HOST_SOUNDBUFFER buffer, DWORD* playCursor) {
  return GetValue(buffer, playCursor, [](CSoundBuffer& b, DWORD& play) {
    DWORD write = 0;
    return b.GetCursors(&play, &write);
  });
}

BOOL HOST_SoundBufferSetPosition(HOST_SOUNDBUFFER buffer, DWORD offset) {
  return CallBuffer(buffer, [&](CSoundBuffer& b) { return b.SetPlayCursor(offset); });
}

BOOL HOST_SoundBufferSetVolume(HOST_SOUNDBUFFER buffer, int32_t volume) {
  return CallBuffer(buffer, [&](CSoundBuffer& b) { return b.SetVolume(volume); });
}

BOOL HOST_SoundBufferGetVolume(HOST_SOUNDBUFFER buffer, int32_t* volume) {
  return GetValue(buffer, volume, [](CSoundBuffer& b, int32_t& value) {
    value = b.GetVolume();
    return true;
  });
}

BOOL HOST_SoundBufferSetPan(HOST_SOUNDBUFFER buffer, int32_t pan) {
  return CallBuffer(buffer, [&](CSoundBuffer& b) { return b.SetPan(pan); });
}

BOOL HOST_SoundBufferGetPan(HOST_SOUNDBUFFER buffer, int32_t* pan) {
  return GetValue(buffer, pan, [](CSoundBuffer& b, int32_t& value) {
    value = b.GetPan();
    return true;
  });
}

}  // namespace hostapi

SharedSoundState GetSharedSoundState() {
  using namespace hostapi;
  std::lock_guard guard(Sound().lock);
  return Sound().State();
}

size_t CountSlotsInSoundBuffer(HOST_SOUNDBUFFER handle) { return hostapi::Buffers().CountPins(handle); }
