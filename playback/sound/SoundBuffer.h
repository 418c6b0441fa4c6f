// CSoundBuffer: the streaming sound output a player writes decoded PCM
// into. It wraps one DirectSound secondary buffer that plays as a looping
// ring and keeps its own account of it: where the next data goes (the
// write offset), how much written data the play cursor still has to reach
// (queued), the stale stretch it plays first after an underrun (the gap),
// and how far the stream has come (stream bytes, 64 bits, so hours of
// sound never wrap), from which it derives the playing position. It tells
// the player system when the sound pauses, resumes and stops, feeds the
// visualizers with each block and the moment it will be heard, and reports
// the position.
//
// Every operation that answers false leaves the reason in the calling
// thread's error record: a failed DirectSound call its DirectSound error;
// a lost buffer is restored (silenced, and playing again if it played) and
// the call made once more.
//
// The volume table (one per process) turns the level 0..256 that the whole
// system uses into DirectSound's hundredths of a decibel; it is filled
// once, when the host API starts.
//
// Threading: a buffer holds no lock; it is used by the one thread that
// drives it, except Interrupt, which any thread may call. Timing follows
// the layer clock (timeGetTime, SleepEx).
#pragma once

#include <atomic>

#include <dsound.h>
#include <windows.h>

#include "foundation/kernel/TypedObject.h"
#include "pluginhost/abi/PlugInAbi.h"

// Creation flags.
enum SoundBufferFlags : DWORD {
  SOUNDBUFFER_VOLUME = 0x1,
  SOUNDBUFFER_PAN = 0x2,
  SOUNDBUFFER_FEED_VISUALIZERS = 0x4,
  SOUNDBUFFER_REPORT_POSITIONS = 0x8,
};

constexpr int kVolumeLevels = 257;  // 0..256

class CSoundBuffer : public CTypedObject {
  TWL_DECLARE_CLASS(CSoundBuffer)
 public:
  CSoundBuffer() = default;
  ~CSoundBuffer() override;
  CSoundBuffer(const CSoundBuffer&) = delete;
  CSoundBuffer& operator=(const CSoundBuffer&) = delete;

  // `bytes` must be a nonzero multiple of the block size; bits 8 or 16,
  // channels 1 or 2 (else E_INVALIDARG as a DirectSound error).
  bool Create(IDirectSound* directSound, DWORD bytes, DWORD frequency, DWORD bitsPerSample, DWORD channels,
              DWORD flags, PLUGIN_HANDLE player);
  // Stops a paused visualization and lets the DirectSound buffer go.
  void Release();
  bool IsCreated() const { return m_Buffer != nullptr; }

  // Stops, rewinds, empties the account and sets the stream position.
  bool Reset(float startMilliseconds);

  // Each of these first brings the account up to date (with the underrun
  // check) and recomputes the position.
  bool GetFreeSpace(DWORD* bytes);
  // The sound still to be heard before new data: gap and queued bytes.
  bool GetPendingBytes(DWORD* bytes);
  bool GetQueuedBytes(DWORD* bytes);
  bool GetPosition(DWORD* milliseconds);

  // The stream position of the write offset in bytes; no update.
  ULONGLONG GetStreamBytes() const { return m_StreamBytes; }

  // Waits (polling every 10 ms) until `bytes` are free. The abort event
  // (may be null) ends the wait with MiscError 3; more bytes than the
  // buffer holds fail at once with MiscError 1 when there is no event.
  bool WaitForSpace(DWORD bytes, HANDLE abortEvent);
  // Copies the samples into the ring at the write offset, straight into
  // the locked DirectSound memory; with `commit` the account moves on and
  // the visualizers get them. Does not check the free space.
  bool Write(const void* samples, DWORD bytes, bool commit);
  bool WriteSilence(DWORD bytes, bool commit);

  // Direct access for a caller that writes itself: Lock, write, Unlock,
  // Advance.
  bool Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second, DWORD* secondBytes);
  bool Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes);
  // Commits bytes written through Lock; always succeeds.
  bool Advance(DWORD bytes);
  DWORD GetWriteOffset() const { return m_WriteOffset; }
  DWORD GetLastWriteEnd() const { return m_LastWriteEnd; }

  bool Play();
  // With `drain` the queued sound plays out first (silence keeps the ring
  // from playing old sound again); the abort event (may be null) cuts the
  // drain short.
  bool Stop(bool drain, HANDLE abortEvent);
  bool IsPlaying() const { return m_Playing; }
  // From any thread, for a buffer about to go while its thread may still
  // wait in it: a wait for space ends as aborted and a drain is cut short,
  // now and from then on, as with a signalled abort event.
  void Interrupt() { m_Interrupted.store(true); }

  // The DirectSound cursors as they are.
  bool GetCursors(DWORD* playCursor, DWORD* writeCursor);
  // (write cursor - play cursor) modulo the buffer size.
  bool GetCursorDistance(DWORD* bytes);
  // Moves the play cursor; the account does not change.
  bool SetPlayCursor(DWORD offset);

  bool SetVolume(int level);   // 0..256
  int GetVolume() const { return m_VolumeLevel; }
  bool SetPan(int level);      // -256..256, negative: the right side is quieter
  int GetPan() const { return m_PanLevel; }

  // Reads the DirectSound cursors and moves the account on; with the
  // check, a play cursor that passed all written data is an underrun.
  bool UpdateCursors(bool underrunCheck);
  void UpdatePosition();
  // Restores a lost buffer, silences the ring and plays it again when
  // `play` is set.
  bool Restore(bool play);

  DWORD GetBufferSize() const { return m_BufferSize; }
  DWORD GetBytesPerSecond() const { return m_BytesPerSecond; }

  // Sets the primary buffer of the device to this PCM format.
  static bool SetPrimaryFormat(IDirectSound* directSound, DWORD frequency, DWORD bitsPerSample, DWORD channels);

  static void InitVolumeTable();
  // Attenuation in hundredths of a decibel; no range check.
  static LONG GetVolumeTableEntry(int level);

 private:
  template <class Call>
  bool CallRestoring(Call call);
  bool Fill(const void* samples, DWORD bytes, bool commit);
  void Feed(const void* samples, DWORD bytes, DWORD pendingBefore);
  DWORD MillisecondsOf(ULONGLONG bytes) const;

  IDirectSoundBuffer* m_Buffer = nullptr;
  DWORD m_Queued = 0;
  DWORD m_Gap = 0;
  DWORD m_WriteOffset = 0;
  DWORD m_BufferSize = 0;
  int m_VolumeLevel = 256;
  int m_PanLevel = 0;
  bool m_Playing = false;
  std::atomic<bool> m_Interrupted{false};
  DWORD m_BytesPerSecond = 0;
  DWORD m_BlockSize = 0;
  DWORD m_SilenceValue = 0;
  DWORD m_Frequency = 0;
  DWORD m_BitsPerSample = 0;
  DWORD m_Channels = 0;
  ULONGLONG m_StreamBytes = 0;
  DWORD m_LastWriteEnd = 0;
  DWORD m_Position = 0;
  bool m_FeedsVisualizers = false;
  bool m_VisualizationPaused = false;
  PLUGIN_HANDLE m_Player = nullptr;
  bool m_ReportsPositions = false;
  bool m_Restoring = false;  // a restore in progress does not restore again
};
