// Host API slots of the spectrum analysers that visualizer plug-ins make,
// feed and read. A plug-in owns the analysers it makes; the slots accept
// only analysers they made and that still exist, so that a stale or
// made-up one is refused instead of followed.
#include <memory>
#include <mutex>
#include <unordered_set>

#include "playback/frequency/FrequencyAnalyzer.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {
namespace {

class LiveAnalyzers {
 public:
  void Add(CSpectrumAnalyzer* analyzer) {
    std::lock_guard guard(m_Lock);
    m_Analyzers.insert(analyzer);
  }
  // True when it was live; it is not from then on.
  bool Remove(CSpectrumAnalyzer* analyzer) {
    std::lock_guard guard(m_Lock);
    return m_Analyzers.erase(analyzer) != 0;
  }
  bool Contains(CSpectrumAnalyzer* analyzer) {
    std::lock_guard guard(m_Lock);
    return m_Analyzers.count(analyzer) != 0;
  }

 private:
  std::mutex m_Lock;
  std::unordered_set<CSpectrumAnalyzer*> m_Analyzers;
};

LiveAnalyzers& Analyzers() {
  static auto* analyzers = new LiveAnalyzers;  // plug-ins may call during static destruction
  return *analyzers;
}

// The analyser behind a handle handed out, or null with invalid parameter.
CSpectrumAnalyzer* Find(HOST_SPECTRUMANALYZER handle) {
  auto* analyzer = reinterpret_cast<CSpectrumAnalyzer*>(handle);
  if (analyzer && Analyzers().Contains(analyzer)) return analyzer;
  FailInvalidParameter();
  return nullptr;
}

}  // namespace

BOOL HOST_CreateSpectrumAnalyzer(int32_t bits, DWORD sampleRate, DWORD type, DWORD updatesPerSecond, DWORD flags,
                                 HOST_SPECTRUMANALYZER* out) {
  if (!out) return FailInvalidParameter();
  *out = nullptr;
  return RunSlot(FALSE, [&] {
    auto analyzer = std::make_unique<CSpectrumAnalyzer>();
    if (!analyzer->Init(bits, sampleRate, type, updatesPerSecond, (flags & HOST_SPECTRUM_MIX) != 0)) return FALSE;
    Analyzers().Add(analyzer.get());
    *out = reinterpret_cast<HOST_SPECTRUMANALYZER>(analyzer.release());
    return TRUE;
  });
}

void HOST_DestroySpectrumAnalyzer(HOST_SPECTRUMANALYZER handle) {
  if (!handle) return;
  auto* analyzer = reinterpret_cast<CSpectrumAnalyzer*>(handle);
  if (!Analyzers().Remove(analyzer)) {
    FailInvalidParameter();
    return;
  }
  delete analyzer;
}

HostSpectrumFrame* HOST_SpectrumGetFrame(HOST_SPECTRUMANALYZER handle) {
  CSpectrumAnalyzer* analyzer = Find(handle);
  return analyzer ? analyzer->GetFrame() : nullptr;
}

void HOST_SpectrumReleaseFrame(HOST_SPECTRUMANALYZER handle, HostSpectrumFrame* frame) {
  if (CSpectrumAnalyzer* analyzer = Find(handle)) analyzer->ReleaseFrame(frame);
}

BOOL HOST_SpectrumIsDue(HOST_SPECTRUMANALYZER handle) { return HOST_SpectrumIsDueEx(handle, 0); }

void HOST_SpectrumWaitForUpdate(HOST_SPECTRUMANALYZER handle) { HOST_SpectrumWaitForUpdateEx(handle, 0); }

void HOST_SpectrumPause(HOST_SPECTRUMANALYZER handle) {
  if (CSpectrumAnalyzer* analyzer = Find(handle)) analyzer->Pause();
}

void HOST_SpectrumResume(HOST_SPECTRUMANALYZER handle) {
  if (CSpectrumAnalyzer* analyzer = Find(handle)) analyzer->Resume();
}

void HOST_SpectrumReset(HOST_SPECTRUMANALYZER handle) {
  if (CSpectrumAnalyzer* analyzer = Find(handle)) analyzer->Reset();
}

void HOST_SpectrumFeed(HOST_SPECTRUMANALYZER handle, const void* samples, DWORD bytes, DWORD playTime, DWORD frequency,
                       DWORD bitsPerSample, DWORD channels) {
  CSpectrumAnalyzer* analyzer = Find(handle);
  if (!analyzer) return;
  // A frame is made when none is free to reuse; without memory for it the
  // window waits, whole, for the next feed.
  RunSlot(FALSE, [&] {
    analyzer->Feed(samples, bytes, playTime, frequency, bitsPerSample, channels);
    return TRUE;
  });
}

DWORD HOST_SpectrumGetNextUpdateTime(HOST_SPECTRUMANALYZER handle) {
  CSpectrumAnalyzer* analyzer = Find(handle);
  return analyzer ? analyzer->GetNextUpdateTime() : 0;
}

BOOL HOST_SpectrumIsDueEx(HOST_SPECTRUMANALYZER handle, int32_t offset) {
  CSpectrumAnalyzer* analyzer = Find(handle);
  return analyzer && analyzer->IsUpdateDue(offset) ? TRUE : FALSE;
}

void HOST_SpectrumWaitForUpdateEx(HOST_SPECTRUMANALYZER handle, int32_t offset) {
  if (CSpectrumAnalyzer* analyzer = Find(handle)) analyzer->WaitForUpdate(offset);
}

}  // namespace hostapi
