#include "Clipper.h"

#include <cstring>
#include <vector>

#include "platform/user/WindowLayout.h"

namespace twl::ddraw {
namespace {

// Far more rectangles than any window region has; a count beyond it is a
// damaged header, not a list.
constexpr DWORD kMaxClipRects = 1u << 20;

}  // namespace

HRESULT ReadClipList(const RGNDATA& data, Region* region) {
  const RGNDATAHEADER& header = data.rdh;
  if (header.dwSize != sizeof(RGNDATAHEADER) || header.iType != RDH_RECTANGLES || header.nCount > kMaxClipRects)
    return DDERR_INVALIDCLIPLIST;
  const uint64_t bytes = static_cast<uint64_t>(header.nCount) * sizeof(RECT);
  if (header.nRgnSize != 0 && header.nRgnSize < bytes) return DDERR_INVALIDCLIPLIST;
  std::vector<RECT> rects(header.nCount);
  if (!rects.empty()) std::memcpy(rects.data(), data.Buffer, static_cast<size_t>(bytes));
  for (const RECT& r : rects)
    if (r.right < r.left || r.bottom < r.top) return DDERR_INVALIDCLIPLIST;
  *region = Region::FromRects(rects);
  return DD_OK;
}

HRESULT Clipper::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDirectDrawClipper) return E_NOINTERFACE;
  *object = static_cast<IDirectDrawClipper*>(this);
  AddRef();
  return S_OK;
}

ULONG Clipper::AddRef() { return ++references_; }

ULONG Clipper::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT Clipper::GetClipList(LPRECT rect, LPRGNDATA data, LPDWORD size) {
  if (!size) return DDERR_INVALIDPARAMS;
  Region region;
  if (window_) {
    region = user::VisibleRegion(window_);
  } else if (list_) {
    region = *list_;
  } else {
    return DDERR_NOCLIPLIST;
  }
  if (rect) region &= Region(*rect);
  std::vector<RECT> rects = region.Rects();
  const uint64_t needed = sizeof(RGNDATAHEADER) + static_cast<uint64_t>(rects.size()) * sizeof(RECT);
  if (needed > 0xFFFFFFFFu) return DDERR_OUTOFMEMORY;
  if (!data) {
    *size = static_cast<DWORD>(needed);
    return DD_OK;
  }
  if (*size < needed) {
    *size = static_cast<DWORD>(needed);
    return DDERR_REGIONTOOSMALL;
  }
  RGNDATAHEADER& header = data->rdh;
  header.dwSize = sizeof(RGNDATAHEADER);
  header.iType = RDH_RECTANGLES;
  header.nCount = static_cast<DWORD>(rects.size());
  header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  header.rcBound = region.Bounds();
  if (!rects.empty()) std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
  return DD_OK;
}

HRESULT Clipper::GetHWnd(HWND* window) {
  if (!window) return DDERR_INVALIDPARAMS;
  *window = window_;
  return DD_OK;
}

HRESULT Clipper::SetClipList(LPRGNDATA data, DWORD flags) {
  if (flags != 0) return DDERR_INVALIDPARAMS;
  if (window_) return DDERR_CLIPPERISUSINGHWND;
  if (!data) {
    list_.reset();
    return DD_OK;
  }
  Region region;
  if (HRESULT result = ReadClipList(*data, &region); FAILED(result)) return result;
  list_ = std::move(region);
  return DD_OK;
}

HRESULT Clipper::SetHWnd(DWORD flags, HWND window) {
  if (flags != 0 || (window && !IsWindow(window))) return DDERR_INVALIDPARAMS;
  window_ = window;
  list_.reset();
  return DD_OK;
}

HRESULT Clipper::ClipRegion(const RECT& bounds, Region* region) const {
  if (window_) {
    *region = user::VisibleRegion(window_);
  } else if (list_) {
    *region = *list_;
  } else {
    return DDERR_NOCLIPLIST;
  }
  *region &= Region(bounds);
  return DD_OK;
}

}  // namespace twl::ddraw
