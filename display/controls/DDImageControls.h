// Image controls: a value between 0 and a maximum shown by a picture, and
// pointer tracking reported to the owner, which turns the point into a
// value (ValueAt) and sets it. 20 reports the press with the point, 22
// each move while the button is held and the pointer is on the control or
// within 50 pixels of it (the point moved onto the control), 21 a release
// over the control.
//
// The slider fills a shaped bar from its fill point up to the current
// position's edge, copying the full-bar picture's pixels; the tracking
// image shows the left part of its picture in proportion to the value.
//
// User-interface thread.
#pragma once

#include <windows.h>

#include <vector>

#include "display/controls/DDControl.h"

class CBarData;
class CDIBitmap;

class CDDImageControl : public CDDControl {
 public:
  static constexpr int kNearestLimit = 50;

  using CDDControl::Create;
  virtual int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, int maximum, int value);
  // Stores the value, no repaint.
  virtual void SetValue(int value) { m_Value = value; }
  virtual int ValueAt(int x, int y) const = 0;
  virtual void StopTracking() { m_Tracking = false; }

  void OnMouseDown(int button, int x, int y) override;
  void OnMouseMove(int x, int y) override;
  void OnMouseUp(int button, int x, int y) override;

  int GetMaximum() const { return m_Maximum; }
  int GetValue() const { return m_Value; }
  bool IsTracking() const { return m_Tracking; }
  // True when the point is on the control, or moved onto the nearest
  // point of it on a square ring at most `limit` pixels away.
  bool FindNearestInside(POINT& point, int limit) const;

 protected:
  // Tests the mask byte of a point inside the rectangle.
  static bool MaskAt(const BYTE* mask, int width, int x, int y) {
    return mask[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] != 0;
  }

 private:
  int m_Maximum = 0;
  int m_Value = 0;
  POINT m_Point{};
  bool m_Tracking = false;
};

class CDDSlider : public CDDImageControl {
 public:
  using CDDImageControl::Create;
  // `shapeMask`: one byte per pixel of the rectangle, 1 inside the bar
  // (null: all of it). The mask, the bar data and the picture (of the
  // display's depth) stay the caller's. The maximum is the bar's last
  // position.
  int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* shapeMask,
             const CBarData* barData, const CDIBitmap* picture, int value);
  void Destroy() override;
  int HitTestInput(int x, int y) const override;
  int ValueAt(int x, int y) const override;
  // Fills the bar up to the current position's edge; with a clip, only
  // pixels inside it are written, though the fill passes through the rest.
  int Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;

  // Row flags: 1 the fill continues into the row above, 2 into the one
  // below.
  const std::vector<int>& GetRowFlags() const { return m_RowFlags; }

 private:
  enum CellKind : BYTE { kWall = 0, kPaint = 1, kPassOnly = 2 };

  void ComputeRowFlags();
  void ResetWorkMask(const RECT* clip);
  void DrawBarrier();
  bool IsInside(int x, int y) const { return x >= 0 && y >= 0 && x < m_Width && y < m_Height; }
  BYTE& WorkCell(int x, int y) { return m_WorkMask[static_cast<size_t>(y) * m_Width + x]; }

  const CBarData* m_BarData = nullptr;
  std::vector<BYTE> m_WorkMask;
  const BYTE* m_ShapeMask = nullptr;
  const CDIBitmap* m_Picture = nullptr;
  std::vector<int> m_RowFlags;
  int m_Width = 0;
  int m_Height = 0;
};

class CDDTrackingImage : public CDDImageControl {
 public:
  ~CDDTrackingImage() override;
  using CDDImageControl::Create;
  // `hitMask`: one byte per pixel of the rectangle (null: all of it), not
  // owned; the picture is held with a reference.
  int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask,
             IDirectDrawSurface2* picture, int maximum, int value);
  void Destroy() override;
  int HitTestInput(int x, int y) const override;
  // The maximum at the last column, else proportional; 0 for a maximum of
  // 0 or less.
  int ValueAt(int x, int y) const override;
  int Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;

 private:
  const BYTE* m_HitMask = nullptr;
  IDirectDrawSurface2* m_Picture = nullptr;
  DWORD m_BlitFlags = 0;
};
