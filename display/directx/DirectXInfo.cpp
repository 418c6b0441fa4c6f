#include "display/directx/DirectXInfo.h"

#include "display/directx/DirectXProbes.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDirectXInfo, CTypedObject)

void CDirectXInfo::GetVersion(INT& detected, INT& exact, bool fast) {
  detected = -1;
  exact = -1;
  using Probe = DirectXProbeResult (*)(bool fast);
  const Probe probes[] = {
      [](bool) { return ProbeDirectXRegistry(); },
      [](bool) { return ProbeDirectXSystemVersion(); },
      [](bool fast) { return ProbeDirectDraw(fast); },
      [](bool) { return ProbeDirectDrawFileVersion(); },
  };
  for (const Probe probe : probes) {
    const DirectXProbeResult found = probe(fast);
    if (found.exact == -1) {
      if (found.lowerBound > detected) detected = found.lowerBound;
      continue;
    }
    // An exact answer below what another probe proved cannot be trusted;
    // the lower bound stands and the exact version stays unknown.
    if (found.exact < detected) {
      LogFormat(LOG_CATEGORY_INFO, "%s\n",
                LocalText("CDirectXInfo.InconsistentVersionInfo", "WARNING: inconsistent DirectX version info detected.")
                    .c_str());
      return;
    }
    detected = found.exact;
    exact = found.exact;
    return;
  }
}
