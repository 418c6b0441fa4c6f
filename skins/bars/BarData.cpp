#include "skins/bars/BarData.h"

#include <cmath>

#include "skins/bars/BarScript.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CBarData, CTypedObject)

void CBarData::Clear() {
  m_Segments.clear();
  m_Segments.shrink_to_fit();
}

void CBarData::Init(const CBarScript& script, const BYTE* mask, INT width, INT height, INT count) {
  Clear();
  m_FillPoint = script.GetFillPoint();
  const INT connectors = script.GetConnectorCount();
  if (count <= 0 || connectors <= 0) return;
  double total = 0;
  for (INT k = 0; k < connectors; ++k) total += script.GetConnector(k)->GetLength();
  const double step = total / count;

  m_Segments.reserve(static_cast<size_t>(count));
  INT k = 0;
  double length = script.GetConnector(0)->GetLength();
  double distance = 0;
  double parameter = 0;
  for (INT j = 0; j < count; ++j) {
    // Past the end of this connector: on to the next one, but never past
    // the last (whose length may be 0).
    while (distance >= length && k + 1 < connectors) {
      distance -= length;
      ++k;
      length = script.GetConnector(k)->GetLength();
      parameter = 0;
    }
    const CBarConnector& connector = *script.GetConnector(k);
    parameter = connector.GetParameter(distance, parameter, 1.0);
    m_Segments.push_back(connector.GetSegment(mask, width, height, parameter));
    distance += step;
  }
}

INT CBarData::FindNearestSegment(INT x, INT y) const {
  INT nearest = -1;
  double best = 0;
  for (size_t i = 0; i < m_Segments.size(); ++i) {
    const BarSegment& s = m_Segments[i];
    const double ax = static_cast<double>(x) - s.x1, ay = static_cast<double>(y) - s.y1;
    const double bx = static_cast<double>(s.x2) - s.x1, by = static_cast<double>(s.y2) - s.y1;
    const double cx = static_cast<double>(x) - s.x2, cy = static_cast<double>(y) - s.y2;
    const double g = ax * ax + ay * ay, h = bx * bx + by * by, l = cx * cx + cy * cy;
    const double m = std::sqrt(h);
    double distance = g;  // a one-point edge: the distance to that point
    if (m > 0) {
      const double p = (g + h - l) / (2 * m);
      distance = p < 0 ? g : p > m ? l : g - p * p;
    }
    if (nearest < 0 || distance < best) {
      nearest = static_cast<INT>(i);
      best = distance;
    }
  }
  return nearest;
}
