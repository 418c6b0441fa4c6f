// CSpectrumAnalyzer: spectra of the sound being played, for visualizers.
// The player's sound is fed with the moment it will be heard; the analyzer
// resamples it (nearest sample, no interpolation) to its analysis rate,
// cuts it into windows of 2^(bits + 1) samples that overlap, or have gaps
// between them, so that about one window falls into each update period,
// transforms each window and queues the spectrum ("frame") under a time
// of its window: that of the window's last input sample less 2^(bits + 1)
// input samples. A visualizer asks once per update period for the newest
// frame whose time has come and gives it back when it has drawn it.
//
// Frames circulate between the ready list (sorted by time, oldest first),
// the visualizer and the free list; they are deleted only with the
// analyzer, so once enough frames exist, feeding and taking frames
// allocate nothing.
//
// Threading: Feed runs on the player's sound thread, the frame and timing
// operations on the visualizer's drawing thread; one critical section
// guards the lists, the buffers and the clock. WaitForUpdate sleeps
// without it. Times follow the layer clock (timeGetTime, SleepEx).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/TypedObject.h"
#include "playback/frequency/FFT.h"
#include "pluginhost/abi/PlugInAbi.h"

class CSpectrumAnalyzer : public CTypedObject {
  TWL_DECLARE_CLASS(CSpectrumAnalyzer)
 public:
  // 2^15 bands come from a transform of 2^16 points, the largest there is.
  static constexpr int kMaxBits = CFFT::kMaxBits - 1;
  static constexpr DWORD kMaxUpdatesPerSecond = 1000;

  enum Type : DWORD { kOneSpectrum = 1, kTwoSpectra = 2 };
  // A frame as the analyzer keeps it: the record a plug-in sees, first.
  struct Frame;

  CSpectrumAnalyzer() = default;
  ~CSpectrumAnalyzer() override { Free(); }
  CSpectrumAnalyzer(const CSpectrumAnalyzer&) = delete;
  CSpectrumAnalyzer& operator=(const CSpectrumAnalyzer&) = delete;

  // 2^bits bands (bits 0..15) from 0 Hz up to half the analysis rate
  // `sampleRate`; type 1 or 2; `updatesPerSecond` 1..1000; `mix` averages
  // stereo channels for type 1. Other values: miscellaneous error 1 and
  // false. Starts the update clock now.
  bool Init(int bits, DWORD sampleRate, DWORD type, DWORD updatesPerSecond, bool mix);
  // Deletes the frames (those lent out too), the buffers and the tables.
  void Free();

  // PCM heard from `playTime` on; other formats than 8 or 16 bits and 1 or
  // 2 channels, and a rate of 0, are ignored. A trailing part frame is.
  void Feed(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample, DWORD channels);

  // The newest due frame (older due frames are recycled), or null while
  // none is due or while paused. Moves the update clock on.
  HostSpectrumFrame* GetFrame();
  // The frame last handed out goes back to the queue's front, so that the
  // next GetFrame hands it out again unless a newer one is due; any other
  // frame lent out is recycled. Null, and frames not lent out by this
  // analyzer, are ignored.
  void ReleaseFrame(HostSpectrumFrame* frame);

  // Whether the update period (plus `offset` ms) has passed since the
  // period began; WaitForUpdate sleeps until it has.
  bool IsUpdateDue(int32_t offset);
  void WaitForUpdate(int32_t offset);
  // The moment the next update is due, in timeGetTime milliseconds.
  DWORD GetNextUpdateTime();

  // While paused, no frame is due; Resume moves every queued frame on by
  // the time paused.
  void Pause();
  void Resume();
  // Empties the queue and forgets the sound collected so far.
  void Reset();

  // Derived from the parameters.
  int GetBands() const { return m_Bands; }
  int GetWindowPoints() const { return m_Points; }
  DWORD GetGap() const { return m_Gap; }
  int GetOverlap() const { return m_Overlap; }
  int GetFFTBits() const { return m_FFTBits; }
  // The transform tables are never smaller than 8 points.
  int GetTableBits() const { return m_FFT.GetMaxBits(); }
  double GetBandWidth() const { return m_BandWidth; }
  double GetUpdatePeriod() const { return m_UpdatePeriod; }
  // Frames made so far, for tests of their recycling.
  size_t GetFrameCount();

 private:
  // The update clock: the period's start as whole milliseconds on the
  // wrapping 32-bit clock and the fraction left over.
  struct PeriodStart {
    DWORD milliseconds = 0;
    double fraction = 0;
    double Elapsed(DWORD now) const;
    void Advance(double by);
  };

  Frame* ToFrame(HostSpectrumFrame* record) const;
  Frame* TakeFreeFrame();
  void Recycle(Frame* frame);
  void RecycleReadyFrames();
  DWORD SkipGap(const uint8_t* input, DWORD available, DWORD frequency);
  DWORD Collect(const uint8_t* input, DWORD available, DWORD frequency, DWORD bitsPerSample, DWORD channels);
  void Store(int left, int right);
  void ComputeFrame();
  void Enqueue(Frame* frame);
  void MoveClock(DWORD now);
  PeriodStart CopyClock();

  CriticalSection m_Lock;
  Frame* m_Ready = nullptr;  // oldest first
  Frame* m_Free = nullptr;
  Frame* m_LastHandedOut = nullptr;
  std::unordered_set<Frame*> m_Frames;  // every frame made, wherever it is now
  int m_Bands = 0;
  int m_Points = 0;
  int m_FFTBits = 0;
  DWORD m_UpdatesPerSecond = 0;
  double m_UpdatePeriod = 0;  // ms
  double m_BandWidth = 0;     // Hz
  DWORD m_AnalysisRate = 0;   // samples per second
  DWORD m_Type = kOneSpectrum;
  DWORD m_Gap = 0;
  int m_Overlap = 0;
  bool m_Mix = false;
  std::vector<int16_t> m_Window1;
  std::vector<int16_t> m_Window2;  // type 2 only
  DWORD m_TimeStamp = 0;
  bool m_Paused = false;
  DWORD m_PauseStart = 0;
  DWORD m_Collected = 0;
  double m_PositionCarry = 0;  // ms: the part of an input sample left over
  DWORD m_GapProgress = 0;
  PeriodStart m_PeriodStart;
  CFFT m_FFT;
};
