#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {

bool FailWithMiscError(DWORD code) {
  SetThreadError(THREAD_ERROR_MISC, code, GetMiscErrorText(code));
  return false;
}

void StoreCaughtError(CError* error) {
  StoreThreadError(error);
  DisposeError(error);
}

}  // namespace hostapi
