#include "playback/visualizer/VisualizerDataSampler.h"

#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CVisualizerDataSampler, CTypedObject)

CVisualizerDataSampler::CVisualizerDataSampler() = default;

CVisualizerDataSampler::~CVisualizerDataSampler() { Exit(); }

bool CVisualizerDataSampler::Init() {
  CriticalSectionLock lock(m_Lock);
  CloseEvents();
  for (HANDLE& event : m_Events) {
    event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (event) continue;
    CloseEvents();
    SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText("CreateEventFailed.Text", "Error creating event object."));
    return false;
  }
  return true;
}

void CVisualizerDataSampler::Exit() {
  Stop();
  CriticalSectionLock lock(m_Lock);
  CloseEvents();
}

void CVisualizerDataSampler::CloseEvents() {
  for (HANDLE& event : m_Events) {
    if (event) CloseHandle(event);
    event = nullptr;
  }
}

void CVisualizerDataSampler::Stop() {
  CriticalSectionLock lock(m_Lock);
  if (m_CaptureThread) {
    if (m_Events[1]) SetEvent(m_Events[1]);
    WaitForSingleObject(m_CaptureThread, INFINITE);
    CloseHandle(m_CaptureThread);
    m_CaptureThread = nullptr;
  }
  if (m_Opened) {
    waveInReset(m_WaveIn);
    for (WAVEHDR& header : m_Headers)
      if (header.dwFlags & WHDR_PREPARED) waveInUnprepareHeader(m_WaveIn, &header, sizeof header);
    waveInClose(m_WaveIn);
    m_WaveIn = nullptr;
    m_Opened = false;
  }
  for (HANDLE event : m_Events)
    if (event) ResetEvent(event);
  m_Paused = false;
  for (auto& buffer : m_Buffers) std::vector<char>().swap(buffer);
  m_Headers = {};
  m_BuffersQueued = 0;
  m_BuffersDone = 0;
}

bool CVisualizerDataSampler::Pause() {
  CriticalSectionLock lock(m_Lock);
  if (m_Paused) return true;
  const MMRESULT result = waveInStop(m_WaveIn);
  m_Paused = result == MMSYSERR_NOERROR;
  return m_Paused || FailWithWaveInError(result);
}

bool CVisualizerDataSampler::Resume() {
  CriticalSectionLock lock(m_Lock);
  if (!m_Paused) return true;
  const MMRESULT result = waveInStart(m_WaveIn);
  m_Paused = result != MMSYSERR_NOERROR;
  return !m_Paused || FailWithWaveInError(result);
}

bool CVisualizerDataSampler::IsCapturing() {
  CriticalSectionLock lock(m_Lock);
  return m_CaptureThread != nullptr;
}

bool CVisualizerDataSampler::IsPaused() {
  CriticalSectionLock lock(m_Lock);
  return m_Paused;
}

bool CVisualizerDataSampler::FailWithWaveInError(MMRESULT result) {
  char text[MAXERRORLENGTH] = {};
  const bool known = waveInGetErrorTextA(result, text, sizeof text) == MMSYSERR_NOERROR && text[0] != '\0';
  SetThreadError(THREAD_ERROR_GENERAL, 0,
                 known ? CStr(text) : LocalText("CVisualizerDataSampler.UnknownWaveInError", "unknown WaveIn error"));
  return false;
}
