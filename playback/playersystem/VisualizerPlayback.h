// The visualizer system and the data sampler as the player system drives
// them around playback: the program's player system reports to the
// program's visualizer system through this, and owns the sampler with it.
//
// Threading: as CPlayerVisualizers says; the visualizer system and the
// sampler take their own locks.
#pragma once

#include "playback/playersystem/PlayerSystemPeers.h"
#include "playback/visualizer/VisualizerDataSampler.h"

class CVisualizerSystem;

class CVisualizerPlayback final : public CPlayerVisualizers {
 public:
  explicit CVisualizerPlayback(CVisualizerSystem& visualizers) : m_Visualizers(visualizers) {}

  void StartPlayback() override;
  void EndPlayback() override;
  void StopVisualizer() override;
  void PauseVisualization() override;
  void ResumeVisualization() override;
  int FeedVisualizer(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample,
                     DWORD channels) override;

  bool InitSampler() override { return m_Sampler.Init(); }
  void ShutdownSampler() override { m_Sampler.Exit(); }
  void StopSampler() override { m_Sampler.Stop(); }
  bool IsSamplerCapturing() override { return m_Sampler.IsCapturing(); }
  bool PauseSampler() override { return m_Sampler.Pause(); }
  bool ResumeSampler() override { return m_Sampler.Resume(); }

  CVisualizerDataSampler& GetSampler() { return m_Sampler; }

 private:
  CVisualizerSystem& m_Visualizers;
  CVisualizerDataSampler m_Sampler;
};
