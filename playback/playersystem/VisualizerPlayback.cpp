#include "playback/playersystem/VisualizerPlayback.h"

#include "playback/visualizer/VisualizerSystem.h"

void CVisualizerPlayback::StartPlayback() { m_Visualizers.StartPlayback(); }

void CVisualizerPlayback::EndPlayback() { m_Visualizers.EndPlayback(); }

void CVisualizerPlayback::StopVisualizer() { m_Visualizers.StopVisualizer(); }

void CVisualizerPlayback::PauseVisualization() { m_Visualizers.PauseVisualizer(); }

void CVisualizerPlayback::ResumeVisualization() { m_Visualizers.ResumeVisualizer(); }

int CVisualizerPlayback::FeedVisualizer(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency,
                                        DWORD bitsPerSample, DWORD channels) {
  return m_Visualizers.FeedVisualizer(samples, bytes, playTime, frequency, bitsPerSample, channels);
}
