// The process's sound output. Every playing secondary buffer of every
// DirectSound object is a voice mixed here into the sink's format (the
// primary format unless the sink holds one of its own) and scaled by the
// master volume. The sink drives the mix and so every play cursor: a device
// sink pulls it from its own thread; the null and WAV sinks take it as the
// layer clock moves, computed whenever a call comes in, so a test on the
// manual clock sees cursors move by exactly the time it advanced. The
// output runs while a secondary buffer or the primary buffer plays.
//
// Threading: every call goes through Update, which serialises callers on
// the control lock, brings the mix up to date with the clock and runs the
// change under the mix lock; Touch does the same under the mix lock alone. A device sink's thread takes only the mix
// lock. Devices open and close under the control lock alone, since closing
// one waits for its thread.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "PcmFormat.h"
#include "SoundSink.h"
#include "Voice.h"

namespace twl::sound {

class SoundEngine {
 public:
  static SoundEngine& Get();
  SoundEngine(const SoundEngine&) = delete;
  SoundEngine& operator=(const SoundEngine&) = delete;

  template <class Change>
  auto Update(Change change) -> decltype(change());
  // For calls that only read a buffer's cursors or hand out and take back
  // its memory: they never open a device, replace the sink, or start or
  // stop the output, so the mix lock alone serialises them (a player
  // makes three of them for every block it writes).
  template <class Look>
  auto Touch(Look look) -> decltype(look());

  // What follows runs inside Update.

  // A DirectSound object opens the output: the sink is made if there is
  // none yet (TWL_SOUND_SINK or the test's choice). DSERR_NODRIVER when it
  // cannot be made.
  HRESULT OpenDevice();
  void CloseDevice();

  // False when there is no memory for one more voice.
  bool AddVoice(Voice& voice);
  void RemoveVoice(Voice& voice);
  // Every voice is lost: it stops until its buffer is restored.
  void LoseAllVoices();
  // The primary buffer played with no secondary buffer keeps the output
  // running.
  void PlayPrimary(bool playing);

  const PcmFormat& PrimaryFormat() const { return primary_; }
  void SetPrimaryFormat(const PcmFormat& format) { primary_ = format; }
  uint32_t MasterVolume() const { return masterVolume_; }
  void SetMasterVolume(uint32_t volume) { masterVolume_ = volume; }

  // How far a playing voice's write cursor runs ahead of its play cursor.
  uint32_t WriteLeadFrames(const Voice& voice) const;

  // Replaces the sink ("sdl", "null", "wav:PATH"; empty: TWL_SOUND_SINK).
  // False when the text names no sink or the sink cannot be made.
  bool ChooseSink(const std::string& choice);
  // The sink a test chose, else TWL_SOUND_SINK's: what other sound outputs
  // of the layer (the filter graph) follow.
  std::string SinkChoice() const;

  // A device sink's thread: fills `bytes` of `format` with the mix, or
  // with silence while the output does not run or the sink is no longer
  // the engine's.
  void Pull(const SoundSink& sink, uint8_t* out, size_t bytes, const PcmFormat& format);

 private:
  SoundEngine();

  // Under the mix lock.
  void CatchUp();
  void NoteChanges();
  void Retarget(const PcmFormat& target);
  bool AnyPlaying() const;
  // Mixes up to `frames` frames into `out` (may be null for a sink that
  // wants no samples); returns the frames up to where the last voice
  // ended when the output stopped running.
  uint32_t Render(uint8_t* out, uint32_t frames, const PcmFormat& format);
  PcmFormat TargetFormat() const;
  void Rebase();
  void ReplaceSink(std::unique_ptr<SoundSink> sink);

  // Under the control lock, without the mix lock.
  void SyncSink();

  std::mutex controlLock_;
  std::mutex mixLock_;  // taken after controlLock_

  std::unique_ptr<SoundSink> sink_;
  std::vector<std::unique_ptr<SoundSink>> retiredSinks_;  // destroyed by SyncSink, outside the mix lock
  std::string choice_;                      // the test's choice; empty: the environment's
  int devicesOpen_ = 0;
  std::vector<Voice*> voices_;
  int primaryPlays_ = 0;
  PcmFormat primary_;
  uint32_t masterVolume_;
  bool running_ = false;
  PcmFormat target_;                // the format voices' phases refer to
  uint64_t baseMilliseconds_ = 0;  // layer-clock sinks: when the output (re)started
  uint64_t framesSinceBase_ = 0;
  std::vector<int32_t> mixScratch_;
  std::vector<uint8_t> outScratch_;
};

template <class Change>
auto SoundEngine::Update(Change change) -> decltype(change()) {
  struct SyncAfterwards {
    SoundEngine& engine;
    ~SyncAfterwards() { engine.SyncSink(); }
  };
  struct NoteAfterwards {
    SoundEngine& engine;
    ~NoteAfterwards() { engine.NoteChanges(); }
  };
  std::lock_guard control(controlLock_);
  SyncAfterwards sync{*this};  // runs last, after the mix lock is given back
  std::lock_guard mix(mixLock_);
  CatchUp();
  NoteAfterwards note{*this};
  return change();
}

template <class Look>
auto SoundEngine::Touch(Look look) -> decltype(look()) {
  struct NoteAfterwards {
    SoundEngine& engine;
    ~NoteAfterwards() { engine.NoteChanges(); }
  };
  std::lock_guard mix(mixLock_);
  CatchUp();
  NoteAfterwards note{*this};
  return look();
}

}  // namespace twl::sound
