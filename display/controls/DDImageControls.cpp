#include "display/controls/DDImageControls.h"

#include <algorithm>
#include <cstring>

#include "display/controls/DDControlServices.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/bars/BarData.h"

// ---------------------------------------------------------------------------
// CDDImageControl

int CDDImageControl::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, int maximum, int value) {
  if (!CDDControl::Create(id, callback, owner, rect)) return 0;
  m_Maximum = maximum;
  m_Value = value;
  m_Tracking = false;
  return 1;
}

void CDDImageControl::OnMouseDown(int button, int x, int y) {
  if (button != 0 || !HitTestInput(x, y)) return;
  m_Point = POINT{x, y};
  m_Tracking = true;
  Notify(DDN_TRACK_BEGIN, &m_Point);
}

void CDDImageControl::OnMouseMove(int x, int y) {
  // The release may have gone to another window: then the move is not a
  // drag.
  if (!m_Tracking || GetAsyncKeyState(VK_LBUTTON) >= 0) return;
  m_Point = POINT{x, y};
  if (FindNearestInside(m_Point, kNearestLimit)) Notify(DDN_TRACK_MOVE, &m_Point);
}

void CDDImageControl::OnMouseUp(int button, int x, int y) {
  if (button != 0) return;
  if (HitTestInput(x, y)) {
    m_Point = POINT{x, y};
    Notify(DDN_TRACK_END, &m_Point);
  }
  m_Tracking = false;
}

bool CDDImageControl::FindNearestInside(POINT& point, int limit) const {
  if (HitTestInput(point.x, point.y)) return true;
  const auto take = [&](int x, int y) {
    if (!HitTestInput(x, y)) return false;
    point = POINT{x, y};
    return true;
  };
  const int px = point.x;
  const int py = point.y;
  for (int d = 1; d <= limit; ++d) {
    for (int x = px - d; x <= px + d; ++x)
      if (take(x, py - d)) return true;
    for (int x = px - d; x <= px + d; ++x)
      if (take(x, py + d)) return true;
    for (int y = py - d + 1; y <= py + d - 1; ++y)
      if (take(px - d, y)) return true;
    for (int y = py - d + 1; y <= py + d - 1; ++y)
      if (take(px + d, y)) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// CDDSlider

namespace {

struct Seed {
  int x;
  int y;
};

}  // namespace

int CDDSlider::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* shapeMask,
                      const CBarData* barData, const CDIBitmap* picture, int value) {
  const int positions = barData ? barData->GetSegmentCount() : 0;
  if (!CDDImageControl::Create(id, callback, owner, rect, positions - 1, value)) return 0;
  m_BarData = barData;
  m_ShapeMask = shapeMask;
  m_Picture = picture;
  m_Width = std::max(0, GetWidth());
  m_Height = std::max(0, GetHeight());
  m_WorkMask.assign(static_cast<size_t>(m_Width) * static_cast<size_t>(m_Height), 0);
  m_RowFlags.assign(static_cast<size_t>(m_Height), 0);
  ComputeRowFlags();
  return 1;
}

void CDDSlider::Destroy() {
  m_BarData = nullptr;
  m_ShapeMask = nullptr;
  m_Picture = nullptr;
  m_WorkMask.clear();
  m_RowFlags.clear();
  m_Width = m_Height = 0;
  CDDImageControl::Destroy();
}

int CDDSlider::HitTestInput(int x, int y) const {
  if (!HitTest(x, y)) return 0;
  return !m_ShapeMask || MaskAt(m_ShapeMask, m_Width, x - GetRect().left, y - GetRect().top) ? 1 : 0;
}

int CDDSlider::ValueAt(int x, int y) const {
  if (!m_BarData) return 0;
  return std::max(0, m_BarData->FindNearestSegment(x - GetRect().left, y - GetRect().top));
}

// A scanline fill over the non-zero cells from the bar's fill point. Each
// run is taken whole; the fill goes on into the row above or below when
// `goes(row, direction)` allows it (-1 up, +1 down), and `continued` hears
// of each row it went on from. Every visited cell becomes 0. The fill
// never leaves the control, wherever the bar data puts its fill point.
template <typename Visit>
static void FloodCells(std::vector<BYTE>& cells, int width, int height, POINT start, Visit visit,
                       const std::vector<int>* flags, std::vector<int>* continued) {
  const auto at = [&](int x, int y) -> BYTE& { return cells[static_cast<size_t>(y) * width + x]; };
  if (start.x < 0 || start.y < 0 || start.x >= width || start.y >= height) return;
  std::vector<Seed> seeds{Seed{start.x, start.y}};
  while (!seeds.empty()) {
    const Seed seed = seeds.back();
    seeds.pop_back();
    if (at(seed.x, seed.y) == 0) continue;
    int left = seed.x;
    while (left > 0 && at(left - 1, seed.y) != 0) --left;
    int right = left;
    while (right < width && at(right, seed.y) != 0) {
      visit(right, seed.y, at(right, seed.y));
      at(right, seed.y) = 0;
      ++right;
    }
    for (const int direction : {-1, 1}) {
      const int row = seed.y + direction;
      if (row < 0 || row >= height) continue;
      if (flags && !((*flags)[seed.y] & (direction < 0 ? 1 : 2))) continue;
      bool inRun = false;
      for (int x = left; x < right; ++x) {
        const bool open = at(x, row) != 0;
        if (open && !inRun) {
          seeds.push_back(Seed{x, row});
          if (continued) (*continued)[seed.y] |= direction < 0 ? 1 : 2;
        }
        inRun = open;
      }
    }
  }
}

void CDDSlider::ComputeRowFlags() {
  std::fill(m_RowFlags.begin(), m_RowFlags.end(), 0);
  if (!m_BarData || m_Height == 0) return;
  const POINT fill = m_BarData->GetFillPoint();
  if (m_ShapeMask) {
    std::vector<BYTE> copy(m_ShapeMask, m_ShapeMask + m_WorkMask.size());
    for (BYTE& cell : copy) cell = cell != 0 ? 1 : 0;
    FloodCells(
        copy, m_Width, m_Height, fill, [](int, int, BYTE) {}, nullptr, &m_RowFlags);
    return;
  }
  const int fillRow = std::clamp<int>(fill.y, 0, m_Height - 1);
  for (int row = 1; row <= fillRow; ++row) m_RowFlags[row] |= 1;
  for (int row = fillRow; row <= m_Height - 2; ++row) m_RowFlags[row] |= 2;
}

void CDDSlider::ResetWorkMask(const RECT* clip) {
  if (m_ShapeMask)
    std::transform(m_ShapeMask, m_ShapeMask + m_WorkMask.size(), m_WorkMask.begin(),
                   [](BYTE cell) { return static_cast<BYTE>(cell != 0 ? kPaint : kWall); });
  else
    std::fill(m_WorkMask.begin(), m_WorkMask.end(), static_cast<BYTE>(kPaint));
  if (!clip) return;
  const RECT& rect = GetRect();
  for (int y = 0; y < m_Height; ++y)
    for (int x = 0; x < m_Width; ++x) {
      const int cx = rect.left + x;
      const int cy = rect.top + y;
      const bool inClip = cx >= clip->left && cx < clip->right && cy >= clip->top && cy < clip->bottom;
      if (!inClip && WorkCell(x, y) == kPaint) WorkCell(x, y) = kPassOnly;
    }
}

// The current position's edge as a wall of 0 cells: the longer axis is
// stepped one pixel at a time, the other follows the slope, truncated.
// Cells outside the control are left out.
void CDDSlider::DrawBarrier() {
  const int count = m_BarData ? m_BarData->GetSegmentCount() : 0;
  if (count <= 0) return;
  const BarSegment& edge = m_BarData->GetSegments()[std::clamp(GetValue(), 0, count - 1)];
  const int dx = edge.x2 - edge.x1;
  const int dy = edge.y2 - edge.y1;
  const bool alongX = std::abs(dx) > std::abs(dy);
  const int steps = alongX ? std::abs(dx) : std::abs(dy);
  const double slope = steps == 0 ? 0.0 : static_cast<double>(alongX ? dy : dx) / steps;
  const int stepMain = (alongX ? dx : dy) < 0 ? -1 : 1;
  double other = alongX ? edge.y1 : edge.x1;
  int main = alongX ? edge.x1 : edge.y1;
  for (int step = 0; step <= steps; ++step, main += stepMain, other += slope) {
    const int x = alongX ? main : static_cast<int>(other);
    const int y = alongX ? static_cast<int>(other) : main;
    if (IsInside(x, y)) WorkCell(x, y) = kWall;
  }
}

int CDDSlider::Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip) {
  if (!IsVisible() || !m_BarData || !m_Picture || m_Width == 0 || m_Height == 0) return 1;
  RECT target = GetRect();
  if (clip && !IntersectRect(&target, &target, clip)) return 1;
  const int bytes = (static_cast<int>(m_Picture->GetFormat().bitsPerPixel) - 1) / 8 + 1;
  ResetWorkMask(clip);
  DrawBarrier();

  RECT locked{target.left + x, target.top + y, target.right + x, target.bottom + y};
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  HRESULT result = surface->Lock(&locked, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
  if (FAILED(result)) {
    ddcontrols::SetDirectDrawError(result);
    return 0;
  }
  // A picture of another depth than the surface would be copied out of
  // step with it.
  const int surfaceBytes = (static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount) - 1) / 8 + 1;
  if (surfaceBytes != bytes) {
    surface->Unlock(desc.lpSurface);
    ddcontrols::SetDirectDrawError(DDERR_INVALIDPIXELFORMAT);
    return 0;
  }
  const RECT& rect = GetRect();
  const int pictureWidth = static_cast<int>(m_Picture->GetWidth());
  const int pictureHeight = static_cast<int>(m_Picture->GetHeight());
  const size_t stride = static_cast<size_t>(m_Picture->GetBytesPerRow()) + m_Picture->GetRowPadding();
  const BYTE* pixels = m_Picture->GetPixels();
  auto* base = static_cast<BYTE*>(desc.lpSurface);
  const auto paint = [&](int cx, int cy, BYTE cell) {
    if (cell != kPaint || cx >= pictureWidth || cy >= pictureHeight) return;
    const int row = m_Picture->IsTopDown() ? cy : pictureHeight - 1 - cy;
    const BYTE* from = pixels + static_cast<size_t>(row) * stride + static_cast<size_t>(cx) * bytes;
    BYTE* to = base + static_cast<ptrdiff_t>(rect.top + cy - target.top) * desc.lPitch +
               static_cast<ptrdiff_t>(rect.left + cx - target.left) * bytes;
    std::memcpy(to, from, static_cast<size_t>(bytes));
  };
  FloodCells(m_WorkMask, m_Width, m_Height, m_BarData->GetFillPoint(), paint, &m_RowFlags, nullptr);
  result = surface->Unlock(desc.lpSurface);
  if (FAILED(result)) {
    ddcontrols::SetDirectDrawError(result);
    return 0;
  }
  return 1;
}

// ---------------------------------------------------------------------------
// CDDTrackingImage

CDDTrackingImage::~CDDTrackingImage() {
  if (IsCreated()) CDDTrackingImage::Destroy();
}

int CDDTrackingImage::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask,
                             IDirectDrawSurface2* picture, int maximum, int value) {
  if (!CDDImageControl::Create(id, callback, owner, rect, maximum, value)) return 0;
  m_HitMask = hitMask;
  if (picture) picture->AddRef();
  if (m_Picture) m_Picture->Release();
  m_Picture = picture;
  m_BlitFlags = picture ? KeyFlagOf(picture) : 0;
  return 1;
}

void CDDTrackingImage::Destroy() {
  if (m_Picture) m_Picture->Release();
  m_Picture = nullptr;
  m_HitMask = nullptr;
  m_BlitFlags = 0;
  CDDImageControl::Destroy();
}

int CDDTrackingImage::HitTestInput(int x, int y) const {
  if (!HitTest(x, y)) return 0;
  return !m_HitMask || MaskAt(m_HitMask, GetWidth(), x - GetRect().left, y - GetRect().top) ? 1 : 0;
}

int CDDTrackingImage::ValueAt(int x, int y) const {
  const int maximum = GetMaximum();
  if (maximum <= 0 || GetWidth() <= 0) return 0;
  if (x == GetRect().right - 1) return maximum;
  const long long value = static_cast<long long>(x - GetRect().left) * maximum / GetWidth();
  return static_cast<int>(std::clamp<long long>(value, 0, maximum));
}

int CDDTrackingImage::Draw(IDirectDrawSurface2* surface, int x, int y, const RECT*) {
  const int maximum = GetMaximum();
  if (!IsVisible() || !m_Picture || maximum <= 0) return 1;
  const int value = std::clamp(GetValue(), 0, maximum);
  if (value == 0) return 1;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  HRESULT result = m_Picture->GetSurfaceDesc(&desc);
  if (FAILED(result)) {
    ddcontrols::SetDirectDrawError(result);
    return 0;
  }
  // Never more than the picture holds.
  const long long shown = static_cast<long long>(GetWidth()) * value / maximum;
  const int width = static_cast<int>(std::min<long long>(shown, desc.dwWidth));
  const int height = std::min<int>(GetHeight(), static_cast<int>(desc.dwHeight));
  if (width <= 0 || height <= 0) return 1;
  RECT source{0, 0, width, height};
  const RECT& rect = GetRect();
  RECT target{rect.left + x, rect.top + y, rect.left + x + width, rect.top + y + height};
  result = surface->Blt(&target, m_Picture, &source, m_BlitFlags | DDBLT_WAIT, nullptr);
  if (FAILED(result)) {
    ddcontrols::SetDirectDrawError(result);
    return 0;
  }
  return 1;
}
