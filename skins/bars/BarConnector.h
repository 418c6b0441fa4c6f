// The connectors of a bar script and the fill edges they give. A connector
// joins way points k and k + 1 of its script; it knows its length along
// the path, turns a distance from its start into its own parameter, and
// gives for a parameter the fill edge there: a segment across the path
// whose ends lie where a walk from the path point, outwards in both
// directions, leaves the bar's mask (or its area without a mask).
//
// Degenerate connectors (a line of length 0, a circle through three
// points on a line or through equal way points) have length 0 and give a
// one-pixel edge at their start; no computation yields NaN, and every edge
// end lies inside the area. Coordinates are pixels relative to the bar's
// area, y downwards. Plain data, one thread at a time.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CBarScript;

// A fill edge: its two ends.
struct BarSegment {
  INT x1, y1, x2, y2;
};

class CBarConnector : public CTypedObject {
  TWL_DECLARE_CLASS(CBarConnector)
 public:
  virtual void Init(const CBarScript& script, INT index) = 0;
  virtual double GetLength() const = 0;
  // The parameter at `distance` from the start; the bounds are the search
  // interval of connectors that must search.
  virtual double GetParameter(double distance, double lower, double upper) const = 0;
  virtual BarSegment GetSegment(const BYTE* mask, INT width, INT height, double parameter) const = 0;

 protected:
  CBarConnector() noexcept = default;
};

// The tilt is in radians: the script's degrees times -pi / 180, so that a
// positive script angle turns the edge counter-clockwise on screen.
class CBarLineConnector : public CBarConnector {
  TWL_DECLARE_CLASS(CBarLineConnector)
 public:
  CBarLineConnector() noexcept = default;
  explicit CBarLineConnector(INT degrees) noexcept;
  void Init(const CBarScript& script, INT index) override;
  double GetLength() const override;
  double GetParameter(double distance, double lower, double upper) const override;
  BarSegment GetSegment(const BYTE* mask, INT width, INT height, double parameter) const override;
  // The script's angle, to the nearest whole degree.
  INT GetDegrees() const;

 private:
  double m_Tilt = 0;
  POINT m_Start{}, m_End{};
};

// A uniform Catmull-Rom segment between way points k and k + 1 (with k - 1
// and k + 2 as its outer control points, the ends repeated at the path's
// ends); its arc length by Romberg integration.
class CBarSplineConnector : public CBarConnector {
  TWL_DECLARE_CLASS(CBarSplineConnector)
 public:
  CBarSplineConnector() noexcept = default;
  void Init(const CBarScript& script, INT index) override;
  double GetLength() const override;
  // Bisection, bounded: when the distance cannot be reached (beyond the
  // arc's length) it ends with the upper bound.
  double GetParameter(double distance, double lower, double upper) const override;
  BarSegment GetSegment(const BYTE* mask, INT width, INT height, double parameter) const override;
  double ArcLength(double from, double to) const;

 private:
  void Weigh(const double (&weights)[4], double& x, double& y) const;
  void PointAt(double t, double& x, double& y) const;
  void TangentAt(double t, double& x, double& y) const;
  double SpeedAt(double t) const;

  POINT m_P[4] = {};
  double m_StartSpeed = 0;
};

// The arc of the circle through both way points and a third point; with
// the direction "+" it runs counter-clockwise on screen, with "-"
// clockwise.
class CBarCircleConnector : public CBarConnector {
  TWL_DECLARE_CLASS(CBarCircleConnector)
 public:
  CBarCircleConnector() noexcept = default;
  CBarCircleConnector(POINT third, bool clockwise) noexcept;
  void Init(const CBarScript& script, INT index) override;
  double GetLength() const override;
  double GetParameter(double distance, double lower, double upper) const override;
  BarSegment GetSegment(const BYTE* mask, INT width, INT height, double parameter) const override;
  POINT GetThirdPoint() const { return m_Third; }
  bool IsClockwise() const { return m_Clockwise; }

 private:
  POINT m_Start{}, m_End{}, m_Third{};
  double m_CenterX = 0, m_CenterY = 0, m_StartAngle = 0, m_EndAngle = 0, m_Sweep = 0, m_Radius = 0, m_Circumference = 0;
  bool m_Clockwise = false;
  bool m_Degenerate = true;
};
