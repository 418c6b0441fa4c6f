// A DirectDraw clipper: a list of rectangles in the coordinates of the
// surface it is attached to, or a window whose visible pixels on the screen
// limit blits. Used by one thread at a time; the reference count is
// thread-safe.
#pragma once

#include <atomic>
#include <optional>

#include "platform/user/Region.h"
#include "twlwin/ddraw.h"

namespace twl::ddraw {

class Clipper final : public IDirectDrawClipper {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT GetClipList(LPRECT rect, LPRGNDATA data, LPDWORD size) override;
  HRESULT GetHWnd(HWND* window) override;
  HRESULT SetClipList(LPRGNDATA data, DWORD flags) override;
  HRESULT SetHWnd(DWORD flags, HWND window) override;

  // Where a blit into a surface with these bounds may write, in the
  // surface's coordinates (the screen's for a window). DDERR_NOCLIPLIST
  // when the clipper has neither a list nor a window.
  HRESULT ClipRegion(const RECT& bounds, Region* region) const;

 private:
  ~Clipper() = default;

  std::atomic<ULONG> references_{1};
  std::optional<Region> list_;
  HWND window_ = nullptr;
};

// Reads RDH_RECTANGLES data into a region; DDERR_INVALIDCLIPLIST for a
// header or rectangle that is not sound.
HRESULT ReadClipList(const RGNDATA& data, Region* region);

}  // namespace twl::ddraw
