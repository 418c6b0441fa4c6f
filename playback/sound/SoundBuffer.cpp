#include "playback/sound/SoundBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/sound/DirectSoundCalls.h"
#include "pluginhost/players/PlayerServices.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSoundBuffer, CTypedObject)

namespace {

constexpr DWORD kLogWarning = 0x10000;
constexpr DWORD kPollMilliseconds = 10;
constexpr DWORD kDescriptionSize = 20;  // the record's size where pointers have 32 bits

LONG g_VolumeTable[kVolumeLevels];

bool FailWithMisc(DWORD code) {
  SetThreadError(THREAD_ERROR_MISC, code, GetMiscErrorText(code));
  return false;
}

bool IsSignalled(HANDLE event) { return event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

WAVEFORMATEX PcmFormat(DWORD frequency, DWORD bitsPerSample, DWORD channels) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(channels);
  format.nSamplesPerSec = frequency;
  format.nBlockAlign = static_cast<WORD>(bitsPerSample / 8 * channels);
  format.nAvgBytesPerSec = frequency * format.nBlockAlign;
  format.wBitsPerSample = static_cast<WORD>(bitsPerSample);
  format.cbSize = 0;
  return format;
}

// `value` modulo `size`, for a difference that may be negative.
DWORD Wrap(LONGLONG value, DWORD size) {
  const LONGLONG rest = value % size;
  return static_cast<DWORD>(rest < 0 ? rest + size : rest);
}

}  // namespace

CSoundBuffer::~CSoundBuffer() { Release(); }

bool CSoundBuffer::Create(IDirectSound* directSound, DWORD bytes, DWORD frequency, DWORD bitsPerSample,
                          DWORD channels, DWORD flags, PLUGIN_HANDLE player) {
  Release();
  const bool formatValid = frequency > 0 && (bitsPerSample == 8 || bitsPerSample == 16) && (channels == 1 || channels == 2);
  const DWORD blockSize = formatValid ? bitsPerSample / 8 * channels : 0;
  if (!directSound || !formatValid || bytes == 0 || bytes % blockSize != 0) return FailWithDirectSoundError(E_INVALIDARG);

  WAVEFORMATEX format = PcmFormat(frequency, bitsPerSample, channels);
  DSBUFFERDESC description{};
  description.dwSize = kDescriptionSize;
  description.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS;
  if (flags & SOUNDBUFFER_VOLUME) description.dwFlags |= DSBCAPS_CTRLVOLUME;
  if (flags & SOUNDBUFFER_PAN) description.dwFlags |= DSBCAPS_CTRLPAN;
  description.dwBufferBytes = bytes;
  description.lpwfxFormat = &format;
  IDirectSoundBuffer* buffer = nullptr;
  if (HRESULT result = directSound->CreateSoundBuffer(&description, &buffer, nullptr); FAILED(result)) {
    return FailWithDirectSoundError(result);
  }
  m_Buffer = buffer;
  m_BufferSize = bytes;
  m_WriteOffset = 0;
  m_StreamBytes = 0;
  m_LastWriteEnd = 0;
  m_Queued = 0;
  m_Gap = 0;
  m_Position = 0;
  m_Playing = false;
  m_Frequency = frequency;
  m_BitsPerSample = bitsPerSample;
  m_Channels = channels;
  m_BlockSize = blockSize;
  m_BytesPerSecond = frequency * blockSize;
  m_SilenceValue = bitsPerSample == 8 ? 0x80 : 0;
  m_VisualizationPaused = false;
  m_FeedsVisualizers = (flags & SOUNDBUFFER_FEED_VISUALIZERS) != 0;
  m_ReportsPositions = (flags & SOUNDBUFFER_REPORT_POSITIONS) != 0;
  m_Player = player;
  m_VolumeLevel = 256;
  m_PanLevel = 0;
  return true;
}

void CSoundBuffer::Release() {
  if (!m_Buffer) return;
  if (m_VisualizationPaused) {
    GetPlayerServices().StopVisualization(m_Player);
    m_VisualizationPaused = false;
  }
  m_Buffer->Release();
  m_Buffer = nullptr;
  m_Playing = false;
}

// A call that finds the buffer lost restores it (playing again if it
// played) and is made once more; any other failure is the DirectSound
// error. A restore in progress does not start another.
template <class Call>
bool CSoundBuffer::CallRestoring(Call call) {
  HRESULT result = call();
  if (result == DSERR_BUFFERLOST && !m_Restoring) {
    if (!Restore(m_Playing)) return false;
    result = call();
  }
  if (FAILED(result)) return FailWithDirectSoundError(result);
  return true;
}

bool CSoundBuffer::UpdateCursors(bool underrunCheck) {
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  DWORD play = 0;
  DWORD write = 0;
  if (!CallRestoring([&] { return m_Buffer->GetCurrentPosition(&play, &write); })) return false;
  const DWORD pending = m_Queued + m_Gap;
  const DWORD start = Wrap(static_cast<LONGLONG>(m_WriteOffset) - pending, m_BufferSize);
  const DWORD advanced = Wrap(static_cast<LONGLONG>(play) - start, m_BufferSize);
  if (underrunCheck && static_cast<LONGLONG>(advanced) > static_cast<LONGLONG>(pending)) {
    // The play cursor passed everything written: new data goes as far
    // ahead of it as the pending stretch was long, and the stale bytes in
    // between play first.
    m_WriteOffset = static_cast<DWORD>((static_cast<ULONGLONG>(play) + pending) % m_BufferSize);
    m_Gap = pending;
    m_Queued = 0;
    LogFormat(kLogWarning, "%s\n",
              LocalText("CSoundBuffer.PlayCursorOvertookWriteCursorWarning", "WARNING: PlayCursor overtook WriteCursor")
                  .c_str());
    return true;
  }
  if (m_Gap > advanced) {
    m_Gap -= advanced;
    return true;
  }
  const DWORD rest = advanced - m_Gap;
  m_Queued = rest >= m_Queued ? 0 : m_Queued - rest;
  m_Gap = 0;
  return true;
}

DWORD CSoundBuffer::MillisecondsOf(ULONGLONG bytes) const {
  return m_BytesPerSecond ? static_cast<DWORD>(bytes * 1000 / m_BytesPerSecond) : 0;
}

void CSoundBuffer::UpdatePosition() {
  m_Position = MillisecondsOf(m_StreamBytes - std::min<ULONGLONG>(m_Queued, m_StreamBytes));
  if (m_ReportsPositions) GetPlayerServices().SetPosition(m_Position, m_Player);
}

bool CSoundBuffer::GetFreeSpace(DWORD* bytes) {
  if (!UpdateCursors(true)) return false;
  UpdatePosition();
  *bytes = m_BufferSize - m_Gap - m_Queued;
  return true;
}

bool CSoundBuffer::GetPendingBytes(DWORD* bytes) {
  if (!UpdateCursors(true)) return false;
  UpdatePosition();
  *bytes = m_Gap + m_Queued;
  return true;
}

bool CSoundBuffer::GetQueuedBytes(DWORD* bytes) {
  if (!UpdateCursors(true)) return false;
  UpdatePosition();
  *bytes = m_Queued;
  return true;
}

bool CSoundBuffer::GetPosition(DWORD* milliseconds) {
  if (!UpdateCursors(true)) return false;
  UpdatePosition();
  *milliseconds = m_Position;
  return true;
}

bool CSoundBuffer::WaitForSpace(DWORD bytes, HANDLE abortEvent) {
  // Without an event, a wait for more than the ring holds could never end.
  if (bytes > m_BufferSize && !abortEvent) return FailWithMisc(MISC_ERROR_INVALID_PARAM);
  for (;;) {
    if (!UpdateCursors(true)) return false;
    UpdatePosition();
    if (m_BufferSize - m_Gap - m_Queued >= bytes) return true;
    if (m_Interrupted.load() || IsSignalled(abortEvent)) return FailWithMisc(MISC_ERROR_ABORTED);
    SleepEx(kPollMilliseconds, FALSE);
  }
}

// Sends a committed block to the visualizers with the moment it will be
// heard: after everything pending before it.
void CSoundBuffer::Feed(const void* samples, DWORD bytes, DWORD pendingBefore) {
  const DWORD playTime = timeGetTime() + MillisecondsOf(pendingBefore);
  GetPlayerServices().FeedVisualization(samples, bytes, playTime, m_Frequency, m_BitsPerSample, m_Channels,
                                             m_Player);
}

// Write (samples) and WriteSilence (no samples) alike.
bool CSoundBuffer::Fill(const void* samples, DWORD bytes, bool commit) {
  if (!UpdateCursors(true)) return false;
  UpdatePosition();
  if (bytes == 0) return true;
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstBytes = 0;
  DWORD secondBytes = 0;
  if (!Lock(m_WriteOffset, bytes, &first, &firstBytes, &second, &secondBytes)) return false;
  const DWORD pending = m_Gap + m_Queued;
  const bool feed = m_FeedsVisualizers && commit;
  if (samples) {
    std::memcpy(first, samples, firstBytes);
    if (secondBytes) std::memcpy(second, static_cast<const uint8_t*>(samples) + firstBytes, secondBytes);
  } else {
    const int silence = static_cast<int>(m_SilenceValue & 0xFF);
    std::memset(first, silence, firstBytes);
    if (secondBytes) std::memset(second, silence, secondBytes);
    if (feed && firstBytes) Feed(first, firstBytes, pending);
    if (feed && secondBytes) Feed(second, secondBytes, pending + firstBytes);
  }
  if (!Unlock(first, firstBytes, second, secondBytes)) return false;
  if (feed && samples) Feed(samples, bytes, pending);
  if (commit) Advance(bytes);
  return true;
}

bool CSoundBuffer::Write(const void* samples, DWORD bytes, bool commit) {
  if (!samples && bytes != 0) return FailWithMisc(MISC_ERROR_INVALID_PARAM);
  return Fill(samples ? samples : "", bytes, commit);
}

bool CSoundBuffer::WriteSilence(DWORD bytes, bool commit) { return Fill(nullptr, bytes, commit); }

bool CSoundBuffer::Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second,
                        DWORD* secondBytes) {
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  *first = *second = nullptr;
  *firstBytes = *secondBytes = 0;
  return CallRestoring([&] { return m_Buffer->Lock(offset, bytes, first, firstBytes, second, secondBytes, 0); });
}

bool CSoundBuffer::Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes) {
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  if (HRESULT result = m_Buffer->Unlock(first, firstBytes, second, secondBytes); FAILED(result)) {
    return FailWithDirectSoundError(result);
  }
  return true;
}

bool CSoundBuffer::Advance(DWORD bytes) {
  if (m_BufferSize == 0) return true;
  ULONGLONG queued = static_cast<ULONGLONG>(m_Queued) + bytes;
  if (queued > m_BufferSize) queued %= m_BufferSize;
  m_Queued = static_cast<DWORD>(queued);
  m_WriteOffset = static_cast<DWORD>((static_cast<ULONGLONG>(m_WriteOffset) + bytes) % m_BufferSize);
  m_StreamBytes += bytes;
  m_LastWriteEnd = m_WriteOffset;
  return true;
}

bool CSoundBuffer::Play() {
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  HRESULT result = m_Buffer->Play(0, 0, DSBPLAY_LOOPING);
  if (result == DSERR_BUFFERLOST) {
    if (!Restore(true)) return false;
  } else if (FAILED(result)) {
    return FailWithDirectSoundError(result);
  }
  if (m_FeedsVisualizers && m_VisualizationPaused) {
    GetPlayerServices().ResumeVisualization(m_Player);
    m_VisualizationPaused = false;
  }
  m_Playing = true;
  return true;
}

bool CSoundBuffer::Stop(bool drain, HANDLE abortEvent) {
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  if (drain && UpdateCursors(true)) {
    UpdatePosition();
    // Only the queued bytes count; a quarter of the ring at a time is
    // filled with silence, so the ring never plays old sound again.
    const DWORD deadline = timeGetTime() + MillisecondsOf(m_Queued);
    const DWORD quarter = m_BufferSize / 4;
    const DWORD chunk = quarter - quarter % m_BlockSize;
    while (static_cast<LONG>(deadline - timeGetTime()) > 0) {
      DWORD free = 0;
      if (GetFreeSpace(&free) && free >= chunk) WriteSilence(chunk, true);
      if (m_Interrupted.load() || IsSignalled(abortEvent)) break;
      SleepEx(kPollMilliseconds, FALSE);
    }
  }
  HRESULT result = m_Buffer->Stop();
  if (result == DSERR_BUFFERLOST) {
    // A lost buffer does not play: restored without playing, it is stopped.
    if (!Restore(false)) return false;
  } else if (FAILED(result)) {
    return FailWithDirectSoundError(result);
  }
  if (m_FeedsVisualizers) {
    GetPlayerServices().PauseVisualization(m_Player);
    m_VisualizationPaused = true;
  }
  const bool updated = UpdateCursors(false);
  if (updated) UpdatePosition();
  m_Playing = false;
  return updated;
}

bool CSoundBuffer::Reset(float startMilliseconds) {
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  if (m_Playing && !Stop(false, nullptr)) return false;
  if (m_FeedsVisualizers) {
    GetPlayerServices().StopVisualization(m_Player);
    m_VisualizationPaused = false;
  }
  if (!CallRestoring([&] { return m_Buffer->SetCurrentPosition(0); })) return false;
  // A start the caller gets wrong (negative, not a number, beyond any
  // stream) is taken as the nearest sensible one.
  const double start = std::isfinite(startMilliseconds) ? std::max(0.0, static_cast<double>(startMilliseconds)) : 0.0;
  const double bytes = static_cast<double>(m_BytesPerSecond) * start * static_cast<double>(0.001f);
  m_WriteOffset = 0;
  m_StreamBytes = bytes < 9.0e18 ? static_cast<ULONGLONG>(bytes) : 9000000000000000000ull;
  m_LastWriteEnd = 0;
  m_Queued = 0;
  m_Gap = 0;
  if (m_ReportsPositions) {
    const DWORD position = start < 4294967295.0 ? static_cast<DWORD>(start) : 0xFFFFFFFFu;
    GetPlayerServices().SetPosition(position, m_Player);
  }
  return true;
}

bool CSoundBuffer::GetCursors(DWORD* playCursor, DWORD* writeCursor) {
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  return CallRestoring([&] { return m_Buffer->GetCurrentPosition(playCursor, writeCursor); });
}

bool CSoundBuffer::GetCursorDistance(DWORD* bytes) {
  DWORD play = 0;
  DWORD write = 0;
  if (!GetCursors(&play, &write)) return false;
  *bytes = Wrap(static_cast<LONGLONG>(write) - play, m_BufferSize);
  return true;
}

bool CSoundBuffer::SetPlayCursor(DWORD offset) {
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  return CallRestoring([&] { return m_Buffer->SetCurrentPosition(offset); });
}

bool CSoundBuffer::SetVolume(int level) {
  if (level < 0 || level > 256) return FailWithDirectSoundError(E_INVALIDARG);
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  if (!CallRestoring([&] { return m_Buffer->SetVolume(g_VolumeTable[level]); })) return false;
  m_VolumeLevel = level;
  return true;
}

bool CSoundBuffer::SetPan(int level) {
  if (level < -256 || level > 256) return FailWithDirectSoundError(E_INVALIDARG);
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  const LONG pan = level < 0 ? g_VolumeTable[256 + level] : -g_VolumeTable[256 - level];
  if (!CallRestoring([&] { return m_Buffer->SetPan(pan); })) return false;
  m_PanLevel = level;
  return true;
}

bool CSoundBuffer::Restore(bool play) {
  if (!m_Buffer) return FailWithDirectSoundError(DSERR_INVALIDCALL);
  if (HRESULT result = m_Buffer->Restore(); FAILED(result)) return FailWithDirectSoundError(result);
  m_Restoring = true;
  const bool silenced = WriteSilence(m_BufferSize, false);
  m_Restoring = false;
  if (!silenced) return false;
  if (!play) return true;
  if (HRESULT result = m_Buffer->Play(0, 0, DSBPLAY_LOOPING); FAILED(result)) return FailWithDirectSoundError(result);
  return true;
}

bool CSoundBuffer::SetPrimaryFormat(IDirectSound* directSound, DWORD frequency, DWORD bitsPerSample, DWORD channels) {
  if (!directSound) return FailWithDirectSoundError(E_INVALIDARG);
  DSBUFFERDESC description{};
  description.dwSize = kDescriptionSize;
  description.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSoundBuffer* primary = nullptr;
  if (HRESULT result = directSound->CreateSoundBuffer(&description, &primary, nullptr); FAILED(result)) {
    return FailWithDirectSoundError(result);
  }
  const WAVEFORMATEX format = PcmFormat(frequency, bitsPerSample, channels);
  const HRESULT result = primary->SetFormat(&format);
  primary->Release();
  if (FAILED(result)) return FailWithDirectSoundError(result);
  return true;
}

void CSoundBuffer::InitVolumeTable() {
  g_VolumeTable[0] = -10000;
  for (int level = 1; level < kVolumeLevels; ++level) {
    const long double attenuation = 1000.0L * std::log2(static_cast<long double>(level) / 256.0L);
    g_VolumeTable[level] = std::max<LONG>(-10000, static_cast<LONG>(std::trunc(attenuation)));
  }
}

LONG CSoundBuffer::GetVolumeTableEntry(int level) { return g_VolumeTable[level]; }
