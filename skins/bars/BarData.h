// CBarData: a shaped bar's path sampled at n positions evenly spaced by
// path length, with the fill edge at each. The bar control draws position
// j by cutting its mask along edge j and filling from the fill point, and
// maps a mouse point to the position whose edge lies nearest. Built once
// when the bar's renderer is made. Plain data, one thread at a time.
#pragma once

#include <vector>

#include <windows.h>

#include "foundation/kernel/TypedObject.h"
#include "skins/bars/BarConnector.h"

class CBarScript;

class CBarData : public CTypedObject {
  TWL_DECLARE_CLASS(CBarData)
 public:
  CBarData() noexcept = default;
  ~CBarData() override { Clear(); }

  // Replaces the edges by n new ones along the script's path over the mask
  // (width x height bytes, 1 inside; null: the whole area). Position j lies
  // at path distance j x L / n; the path's end itself is not sampled.
  void Init(const CBarScript& script, const BYTE* mask, INT width, INT height, INT count);
  void Clear();
  // The position whose edge is nearest the point (the lower on a tie); -1
  // without edges.
  INT FindNearestSegment(INT x, INT y) const;

  INT GetSegmentCount() const { return static_cast<INT>(m_Segments.size()); }
  const BarSegment* GetSegments() const { return m_Segments.data(); }
  POINT GetFillPoint() const { return m_FillPoint; }

 private:
  std::vector<BarSegment> m_Segments;
  POINT m_FillPoint{};
};
