// Window regions from masks for plug-ins' windows.
#include "display/masks/RegionCreator.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"
#include "skins/masks/Mask.h"

namespace hostapi {

namespace {

// A mask over the caller's bytes that never frees them, whatever happens.
class LentMask {
 public:
  LentMask(const BYTE* bytes, int32_t width, int32_t height) { m_Mask.Attach(const_cast<BYTE*>(bytes), width, height); }
  ~LentMask() { m_Mask.Detach(); }
  LentMask(const LentMask&) = delete;
  LentMask& operator=(const LentMask&) = delete;
  const CMask* Get() const { return &m_Mask; }

 private:
  CMask m_Mask;
};

void SetRegionError() {
  SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText("CreateRegionFromMaskFailed", "Error creating region").c_str());
}

}  // namespace

BOOL HOST_CreateRegionFromMask(const BYTE* mask, int32_t width, int32_t height, HRGN* region) {
  if (region) *region = nullptr;
  if (!mask || !region || width < 1 || height < 1) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  return RunSlot<BOOL>(FALSE, [&] {
    const LentMask lent(mask, width, height);
    const bool made = CreateRegionFromMask(region, lent.Get());
    if (!made) SetRegionError();
    return made ? TRUE : FALSE;
  });
}

}  // namespace hostapi
