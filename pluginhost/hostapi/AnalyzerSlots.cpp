// Host API slots of the spectrum analysers that visualizer plug-ins make,
// feed and read. A plug-in owns the analysers it makes; the slots accept
// only analysers they made and that still exist, so that a stale or
// made-up one is refused instead of followed. An analyser destroyed while
// another thread's slot still runs in it (a wait for the next update) goes
// when that slot returns.
#include <memory>

#include "playback/frequency/FrequencyAnalyzer.h"
#include "pluginhost/handles/HandedOutObjects.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {
namespace {

using Analyzers = HandedOutObjects<CSpectrumAnalyzer, HOST_SPECTRUMANALYZER>;

// Nothing to wake: a wait for the next update sleeps a time known as it
// starts.
Analyzers& MadeAnalyzers() {
  static auto* analyzers =  // plug-ins may call during static destruction
      new Analyzers([](CSpectrumAnalyzer* analyzer) noexcept { delete analyzer; });
  return *analyzers;
}

// The analyser behind a handle handed out, pinned, or empty with invalid
// parameter.
Analyzers::Pin Find(HOST_SPECTRUMANALYZER handle) {
  Analyzers::Pin analyzer = MadeAnalyzers().Find(handle);
  if (!analyzer) FailInvalidParameter();
  return analyzer;
}

}  // namespace

BOOL HOST_CreateSpectrumAnalyzer(int32_t bits, DWORD sampleRate, DWORD type, DWORD updatesPerSecond, DWORD flags,
                                 HOST_SPECTRUMANALYZER* out) {
  if (!out) return FailInvalidParameter();
  *out = nullptr;
  return RunSlot(FALSE, [&] {
    auto analyzer = std::make_unique<CSpectrumAnalyzer>();
    if (!analyzer->Init(bits, sampleRate, type, updatesPerSecond, (flags & HOST_SPECTRUM_MIX) != 0)) return FALSE;
    *out = MadeAnalyzers().Add(analyzer.release());
    return TRUE;
  });
}

void HOST_DestroySpectrumAnalyzer(HOST_SPECTRUMANALYZER handle) {
  if (handle && !MadeAnalyzers().Retire(handle)) FailInvalidParameter();
}

HostSpectrumFrame* HOST_SpectrumGetFrame(HOST_SPECTRUMANALYZER handle) {
  Analyzers::Pin analyzer = Find(handle);
  return analyzer ? analyzer->GetFrame() : nullptr;
}

void HOST_SpectrumReleaseFrame(HOST_SPECTRUMANALYZER handle, HostSpectrumFrame* frame) {
  if (Analyzers::Pin analyzer = Find(handle)) analyzer->ReleaseFrame(frame);
}

BOOL HOST_SpectrumIsDue(HOST_SPECTRUMANALYZER handle) { return HOST_SpectrumIsDueEx(handle, 0); }

void HOST_SpectrumWaitForUpdate(HOST_SPECTRUMANALYZER handle) { HOST_SpectrumWaitForUpdateEx(handle, 0); }

void HOST_SpectrumPause(HOST_SPECTRUMANALYZER handle) {
  if (Analyzers::Pin analyzer = Find(handle)) analyzer->Pause();
}

void HOST_SpectrumResume(HOST_SPECTRUMANALYZER handle) {
  if (Analyzers::Pin analyzer = Find(handle)) analyzer->Resume();
}

void HOST_SpectrumReset(HOST_SPECTRUMANALYZER handle) {
  if (Analyzers::Pin analyzer = Find(handle)) analyzer->Reset();
}

void HOST_SpectrumFeed(HOST_SPECTRUMANALYZER handle, const void* samples, DWORD bytes, DWORD playTime, DWORD frequency,
                       DWORD bitsPerSample, DWORD channels) {
  Analyzers::Pin analyzer = Find(handle);
  if (!analyzer) return;
  // A frame is made when none is free to reuse; without memory for it the
  // window waits, whole, for the next feed.
  RunSlot(FALSE, [&] {
    analyzer->Feed(samples, bytes, playTime, frequency, bitsPerSample, channels);
    return TRUE;
  });
}

DWORD HOST_SpectrumGetNextUpdateTime(HOST_SPECTRUMANALYZER handle) {
  Analyzers::Pin analyzer = Find(handle);
  return analyzer ? analyzer->GetNextUpdateTime() : 0;
}

BOOL HOST_SpectrumIsDueEx(HOST_SPECTRUMANALYZER handle, int32_t offset) {
  Analyzers::Pin analyzer = Find(handle);
  return analyzer && analyzer->IsUpdateDue(offset) ? TRUE : FALSE;
}

void HOST_SpectrumWaitForUpdateEx(HOST_SPECTRUMANALYZER handle, int32_t offset) {
  if (Analyzers::Pin analyzer = Find(handle)) analyzer->WaitForUpdate(offset);
}

}  // namespace hostapi

size_t CountSlotsInSpectrumAnalyzer(HOST_SPECTRUMANALYZER handle) { return hostapi::MadeAnalyzers().CountPins(handle); }
