#include "playback/frequency/FrequencyAnalyzer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "foundation/errors/ThreadErrorState.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSpectrumAnalyzer, CTypedObject)

// The record a plug-in sees comes first, so that its address is the
// frame's; the record's link chains the frame into the ready or free list.
struct CSpectrumAnalyzer::Frame {
  HostSpectrumFrame record;
  bool lent;  // handed out and not given back
};
static_assert(std::is_standard_layout_v<HostSpectrumFrame>);

namespace {

using Frame = CSpectrumAnalyzer::Frame;

constexpr uint64_t kPositionOne = 4096;  // the collecting position counts 1/4096 input samples
constexpr int kPositionShift = 12;

// The record is the frame's first member, so the two addresses convert.
Frame* Next(const Frame* frame) { return reinterpret_cast<Frame*>(frame->record.link); }
void SetNext(Frame* frame, Frame* next) { frame->record.link = next ? &next->record : nullptr; }

bool IsDue(const Frame* frame, DWORD now) { return static_cast<int32_t>(now - frame->record.time) >= 0; }

void DeleteFrame(Frame* frame) {
  delete[] frame->record.values;
  delete frame;
}

int ReadSample(const uint8_t* at, DWORD bitsPerSample) {
  if (bitsPerSample == 8) return (int{at[0]} - 128) * 256;
  int16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

}  // namespace

static_assert(std::is_standard_layout_v<CSpectrumAnalyzer::Frame>);

double CSpectrumAnalyzer::PeriodStart::Elapsed(DWORD now) const {
  return static_cast<double>(static_cast<int32_t>(now - milliseconds)) - fraction;
}

void CSpectrumAnalyzer::PeriodStart::Advance(double by) {
  const double total = fraction + by;
  const double whole = std::floor(total);
  milliseconds += static_cast<DWORD>(static_cast<int64_t>(whole));
  fraction = total - whole;
}

bool CSpectrumAnalyzer::Init(int bits, DWORD sampleRate, DWORD type, DWORD updatesPerSecond, bool mix) {
  if (bits < 0 || bits > kMaxBits || sampleRate == 0 || (type != kOneSpectrum && type != kTwoSpectra) ||
      updatesPerSecond < 1 || updatesPerSecond > kMaxUpdatesPerSecond) {
    SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_INVALID_PARAM, GetMiscErrorText(MISC_ERROR_INVALID_PARAM));
    return false;
  }
  CriticalSectionLock lock(m_Lock);
  Free();
  m_Bands = 1 << bits;
  m_Points = 2 * m_Bands;
  m_FFTBits = bits + 1;
  m_Type = type;
  m_Mix = type == kOneSpectrum && mix;
  m_Collected = 0;
  m_PositionCarry = 0;
  m_LastHandedOut = nullptr;
  m_AnalysisRate = sampleRate;
  m_BandWidth = sampleRate / 2.0 / m_Bands;
  m_UpdatesPerSecond = updatesPerSecond;
  m_UpdatePeriod = 1000.0 / updatesPerSecond;
  m_PeriodStart = {timeGetTime(), 0};
  m_Paused = false;

  // About one window per update period: the analysis samples of a period
  // either fill more than a window (the rest is skipped) or less (the
  // windows overlap by the difference).
  const double hop = static_cast<double>(sampleRate) / updatesPerSecond;
  if (hop < m_Points) {
    m_Overlap = static_cast<int>(m_Points - hop);
    m_Gap = 0;
  } else {
    m_Overlap = 0;
    m_Gap = static_cast<DWORD>(hop - m_Points);
  }
  m_GapProgress = m_Gap;  // the first window starts at once

  m_Window1.assign(m_Points, 0);
  if (type == kTwoSpectra) m_Window2.assign(m_Points, 0);
  m_FFT.Init(bits + 1);
  return true;
}

void CSpectrumAnalyzer::Free() {
  CriticalSectionLock lock(m_Lock);
  for (Frame* frame : m_Frames) DeleteFrame(frame);
  m_Frames.clear();
  m_Ready = nullptr;
  m_Free = nullptr;
  m_LastHandedOut = nullptr;
  std::vector<int16_t>().swap(m_Window1);
  std::vector<int16_t>().swap(m_Window2);
  m_FFT.Free();
  m_Bands = 0;
  m_Points = 0;
}

// --- Feeding

void CSpectrumAnalyzer::Feed(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample,
                             DWORD channels) {
  if ((bitsPerSample != 8 && bitsPerSample != 16) || (channels != 1 && channels != 2) || frequency == 0 || !samples) {
    return;
  }
  CriticalSectionLock lock(m_Lock);
  if (m_Points == 0) return;
  const DWORD frameBytes = channels * bitsPerSample / 8;
  DWORD available = bytes / frameBytes;
  const auto* input = static_cast<const uint8_t*>(samples);
  const double windowMilliseconds = m_Points * 1000.0 / frequency;
  double elapsed = 0;  // ms after playTime
  while (available > 0) {
    const DWORD used = m_GapProgress < m_Gap ? SkipGap(input, available, frequency)
                                             : Collect(input, available, frequency, bitsPerSample, channels);
    input += static_cast<size_t>(used) * frameBytes;
    available -= used;
    elapsed += used * 1000.0 / frequency;
    if (m_Collected == static_cast<DWORD>(m_Points)) {
      m_TimeStamp = playTime + static_cast<DWORD>(static_cast<int64_t>(std::floor(elapsed - windowMilliseconds)));
      ComputeFrame();
      m_GapProgress = 0;
    }
  }
}

// Passes over the input that falls into the gap between two windows; the
// input samples used.
DWORD CSpectrumAnalyzer::SkipGap(const uint8_t*, DWORD available, DWORD frequency) {
  const double step = static_cast<double>(frequency) / m_AnalysisRate;  // input samples per analysis sample
  double carried = frequency * m_PositionCarry * 0.001;                 // input samples
  DWORD used = available;
  if (carried >= available) {
    carried -= available;
  } else {
    const double gapEnd = carried + (m_Gap - m_GapProgress) * step;
    if (gapEnd <= available) {
      m_GapProgress = m_Gap;
      used = static_cast<DWORD>(gapEnd);
      carried = gapEnd - used;
    } else {
      const double fitting = (available - carried) / step;
      const double skipped = std::ceil(fitting);
      m_GapProgress += static_cast<DWORD>(skipped);
      carried = step * (skipped - fitting);
    }
  }
  m_PositionCarry = carried / frequency * 1000;
  return used;
}

// Takes the nearest input sample for each analysis sample until the
// window is full or the input is used up; the input samples used.
DWORD CSpectrumAnalyzer::Collect(const uint8_t* input, DWORD available, DWORD frequency, DWORD bitsPerSample,
                                 DWORD channels) {
  const uint64_t step = uint64_t{frequency} * kPositionOne / m_AnalysisRate;
  if (step == 0) return available;
  const DWORD frameBytes = channels * bitsPerSample / 8;
  const DWORD sampleBytes = bitsPerSample / 8;
  uint64_t position = static_cast<uint64_t>(std::llround(frequency * m_PositionCarry * 4.096));
  uint64_t at = 0;  // input samples passed over
  while (m_Collected < static_cast<DWORD>(m_Points)) {
    if (position >= kPositionOne) {
      const uint64_t advance = position >> kPositionShift;
      if (at + advance >= available) {
        position -= (available - at) * kPositionOne;
        at = available;
        break;
      }
      at += advance;
      position &= kPositionOne - 1;
    }
    const uint8_t* sample = input + at * frameBytes;
    const int left = ReadSample(sample, bitsPerSample);
    Store(left, channels == 2 ? ReadSample(sample + sampleBytes, bitsPerSample) : left);
    position += step;
  }
  m_PositionCarry = static_cast<double>(position) * 0.244140625 / frequency;
  return static_cast<DWORD>(at);
}

void CSpectrumAnalyzer::Store(int left, int right) {
  if (m_Mix) {
    m_Window1[m_Collected] = static_cast<int16_t>((left + right) >> 1);
  } else {
    m_Window1[m_Collected] = static_cast<int16_t>(left);
    if (m_Type == kTwoSpectra) m_Window2[m_Collected] = static_cast<int16_t>(right);
  }
  ++m_Collected;
}

void CSpectrumAnalyzer::ComputeFrame() {
  Frame* frame = TakeFreeFrame();
  frame->record.time = m_TimeStamp;
  m_FFT.ComputeMagnitudes(frame->record.values, m_Window1.data(), m_FFTBits);
  if (m_Type == kTwoSpectra) m_FFT.ComputeMagnitudes(frame->record.rightValues, m_Window2.data(), m_FFTBits);
  m_Collected = 0;
  if (m_Overlap > 0) {
    const auto keep = [&](std::vector<int16_t>& window) {
      if (!window.empty()) std::copy(window.end() - m_Overlap, window.end(), window.begin());
    };
    keep(m_Window1);
    keep(m_Window2);
    m_Collected = static_cast<DWORD>(m_Overlap);
  }
  Enqueue(frame);
}

CSpectrumAnalyzer::Frame* CSpectrumAnalyzer::TakeFreeFrame() {
  if (Frame* frame = m_Free) {
    m_Free = Next(frame);
    return frame;
  }
  const size_t spectra = m_Type == kTwoSpectra ? 2 : 1;
  auto values = std::make_unique<int16_t[]>(static_cast<size_t>(m_Bands) * spectra);
  auto frame = std::make_unique<Frame>();
  frame->record = {values.get(), m_Type == kTwoSpectra ? values.get() + m_Bands : nullptr, 0, nullptr};
  frame->lent = false;
  m_Frames.insert(frame.get());
  values.release();
  return frame.release();
}

// After the last frame not later than the new one; frames stamped later
// (the sound's time went backwards) are dropped.
void CSpectrumAnalyzer::Enqueue(Frame* frame) {
  Frame* before = nullptr;
  Frame* later = m_Ready;
  while (later && static_cast<int32_t>(later->record.time - frame->record.time) <= 0) {
    before = later;
    later = Next(later);
  }
  while (later) {
    Frame* next = Next(later);
    Recycle(later);
    later = next;
  }
  SetNext(frame, nullptr);
  if (before) {
    SetNext(before, frame);
  } else {
    m_Ready = frame;
  }
}

void CSpectrumAnalyzer::Recycle(Frame* frame) {
  frame->lent = false;
  SetNext(frame, m_Free);
  m_Free = frame;
}

void CSpectrumAnalyzer::RecycleReadyFrames() {
  while (Frame* frame = m_Ready) {
    m_Ready = Next(frame);
    Recycle(frame);
  }
}

// --- Frames

HostSpectrumFrame* CSpectrumAnalyzer::GetFrame() {
  const DWORD now = timeGetTime();
  CriticalSectionLock lock(m_Lock);
  Frame* taken = nullptr;
  while (!m_Paused && m_Ready && IsDue(m_Ready, now)) {
    if (taken) Recycle(taken);
    taken = m_Ready;
    m_Ready = Next(taken);
    SetNext(taken, nullptr);
  }
  if (taken) taken->lent = true;
  m_LastHandedOut = taken;
  MoveClock(now);
  return taken ? &taken->record : nullptr;
}

void CSpectrumAnalyzer::ReleaseFrame(HostSpectrumFrame* record) {
  CriticalSectionLock lock(m_Lock);
  Frame* frame = ToFrame(record);
  if (!frame || !frame->lent) return;
  frame->lent = false;
  if (frame != m_LastHandedOut) {
    Recycle(frame);
    return;
  }
  SetNext(frame, m_Ready);
  m_Ready = frame;
}

// The frame behind a record, when it is one of this analyzer's; found
// without reading through the pointer, which comes from a plug-in.
CSpectrumAnalyzer::Frame* CSpectrumAnalyzer::ToFrame(HostSpectrumFrame* record) const {
  auto* frame = reinterpret_cast<Frame*>(record);
  return record && m_Frames.count(frame) ? frame : nullptr;
}

size_t CSpectrumAnalyzer::GetFrameCount() {
  CriticalSectionLock lock(m_Lock);
  return m_Frames.size();
}

// --- The update clock

void CSpectrumAnalyzer::MoveClock(DWORD now) {
  const double elapsed = m_PeriodStart.Elapsed(now);
  if (elapsed > 0) {
    // elapsed / period, without the period's rounding (1000/30 ms is a
    // little more than a third, and 100 ms would count two periods).
    m_PeriodStart.Advance(m_UpdatePeriod * std::trunc(elapsed * m_UpdatesPerSecond / 1000));
  } else {
    m_PeriodStart = {now, 0};
  }
}

CSpectrumAnalyzer::PeriodStart CSpectrumAnalyzer::CopyClock() {
  CriticalSectionLock lock(m_Lock);
  return m_PeriodStart;
}

bool CSpectrumAnalyzer::IsUpdateDue(int32_t offset) {
  double period = 0;
  PeriodStart start;
  {
    CriticalSectionLock lock(m_Lock);
    period = m_UpdatePeriod;
    start = m_PeriodStart;
  }
  return offset + period <= start.Elapsed(timeGetTime());
}

void CSpectrumAnalyzer::WaitForUpdate(int32_t offset) {
  double period = 0;
  PeriodStart start;
  {
    CriticalSectionLock lock(m_Lock);
    period = m_UpdatePeriod;
    start = m_PeriodStart;
  }
  const double remaining = offset + period - start.Elapsed(timeGetTime());
  if (remaining > 0) SleepEx(static_cast<DWORD>(std::ceil(remaining)), FALSE);
}

DWORD CSpectrumAnalyzer::GetNextUpdateTime() {
  CriticalSectionLock lock(m_Lock);
  return m_PeriodStart.milliseconds + static_cast<DWORD>(static_cast<int64_t>(m_PeriodStart.fraction + m_UpdatePeriod));
}

// --- Pausing

void CSpectrumAnalyzer::Pause() {
  const DWORD now = timeGetTime();
  CriticalSectionLock lock(m_Lock);
  if (m_Paused) return;
  m_PauseStart = now;
  m_Paused = true;
}

void CSpectrumAnalyzer::Resume() {
  const DWORD now = timeGetTime();
  CriticalSectionLock lock(m_Lock);
  if (!m_Paused) return;
  const DWORD paused = now - m_PauseStart;
  for (Frame* frame = m_Ready; frame; frame = Next(frame)) frame->record.time += paused;
  m_Paused = false;
}

void CSpectrumAnalyzer::Reset() {
  CriticalSectionLock lock(m_Lock);
  RecycleReadyFrames();
  m_Collected = 0;
  m_PositionCarry = 0;
  m_Paused = false;
}
