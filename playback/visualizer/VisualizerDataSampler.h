// CVisualizerDataSampler: the player system's sampler of recorded sound
// for visualizers, a state machine around a wave-in device and its capture
// thread. Nothing in the program opens the device or starts the thread, so
// the sampler never captures: Stop finds nothing to end, and the player
// system asks it to pause or resume only while it captures, that is never.
// Called directly, Pause and Resume report what the device says.
//
// Threading: Init and Exit on the user-interface thread; Stop, Pause and
// Resume also on a player's thread (when it changes how it feeds the
// visualizers). The sampler's lock guards all of its state.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/TypedObject.h"

class CVisualizerDataSampler : public CTypedObject {
  TWL_DECLARE_CLASS(CVisualizerDataSampler)
 public:
  static constexpr size_t kHeaderCount = 20;

  CVisualizerDataSampler();
  CVisualizerDataSampler(const CVisualizerDataSampler&) = delete;
  CVisualizerDataSampler& operator=(const CVisualizerDataSampler&) = delete;
  ~CVisualizerDataSampler() override;

  // Creates the two events. False with the general error "Error creating
  // event object." in the thread error.
  bool Init();
  // Stops and closes the events.
  void Exit();

  // Ends a capture (its thread and device), resets the events, clears the
  // pause and frees the buffers.
  void Stop();
  // Each answers false with the wave-in error (a general error) in the
  // thread error.
  bool Pause();
  bool Resume();

  bool IsCapturing();
  bool IsPaused();

 private:
  static bool FailWithWaveInError(MMRESULT result);
  void CloseEvents();

  HWAVEIN m_WaveIn = nullptr;
  bool m_Opened = false;
  std::array<HANDLE, 2> m_Events{};  // manual-reset; the second ends the capture thread
  HANDLE m_CaptureThread = nullptr;
  bool m_Paused = false;
  std::array<WAVEHDR, kHeaderCount> m_Headers{};
  std::array<std::vector<char>, kHeaderCount> m_Buffers;
  DWORD m_BuffersQueued = 0;
  DWORD m_BuffersDone = 0;
  CriticalSection m_Lock;
};
