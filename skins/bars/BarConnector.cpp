#include "skins/bars/BarConnector.h"

#include <algorithm>
#include <cmath>

#include "skins/bars/BarScript.h"

TWL_IMPLEMENT_CLASS(CBarConnector, CTypedObject)
TWL_IMPLEMENT_CREATABLE_CLASS(CBarLineConnector, CBarConnector)
TWL_IMPLEMENT_CREATABLE_CLASS(CBarSplineConnector, CBarConnector)
TWL_IMPLEMENT_CREATABLE_CLASS(CBarCircleConnector, CBarConnector)

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegreesToTilt = -0.017453292519943295;

// A pixel coordinate from a double: truncated towards zero; values that no
// picture holds (NaN, infinities, beyond a billion) become -1, outside
// every area.
INT PixelOf(double value) {
  if (!(value > -1e9 && value < 1e9)) return -1;
  return static_cast<INT>(value);
}

INT Clamp(INT value, INT size) { return std::clamp(value, 0, std::max(size - 1, 0)); }

bool Inside(INT x, INT y, INT width, INT height) { return x >= 0 && y >= 0 && x < width && y < height; }

bool Outside(const BYTE* mask, INT x, INT y, INT width) { return mask[static_cast<size_t>(y) * width + x] != 1; }

// From P along the step until the area or the mask ends; never through a
// gap where the mask touches itself only at a corner.
POINT Walk(const BYTE* mask, INT width, INT height, double px, double py, double vx, double vy) {
  INT x = PixelOf(px), y = PixelOf(py);
  POINT result{x, y};
  bool moved = false;
  while (Inside(x, y, width, height)) {
    if (mask) {
      if (Outside(mask, x, y, width)) break;
      if (moved && vx != 0 && vy != 0) {
        // The two pixels beside the corner just crossed.
        const INT sideY = vy > 0 ? y - 1 : y + 1;
        const INT sideX = vx > 0 ? x - 1 : x + 1;
        if (Inside(x, sideY, width, height) && Inside(sideX, y, width, height) && Outside(mask, x, sideY, width) &&
            Outside(mask, sideX, y, width))
          break;
      }
    }
    result = POINT{x, y};
    px += vx;
    py += vy;
    x = PixelOf(px);
    y = PixelOf(py);
    moved = true;
  }
  return result;
}

// A direction scaled so that its larger component is +1 or -1; false for
// a direction of no length (or not a number).
bool StepVector(double& vx, double& vy) {
  if (!std::isfinite(vx) || !std::isfinite(vy)) return false;
  const double ax = std::fabs(vx), ay = std::fabs(vy);
  if (ax == 0 && ay == 0) return false;
  if (ax > ay) {
    vx = vx > 0 ? 1 : -1;
    vy /= ax;
  } else {
    vx /= ay;
    vy = vy > 0 ? 1 : -1;
  }
  return true;
}

BarSegment ClampedSegment(POINT a, POINT b, INT width, INT height) {
  return BarSegment{Clamp(a.x, width), Clamp(a.y, height), Clamp(b.x, width), Clamp(b.y, height)};
}

// The edge across the path at P: walks along the direction and against it.
BarSegment EdgeAt(const BYTE* mask, INT width, INT height, double px, double py, double vx, double vy) {
  if (!std::isfinite(px) || !std::isfinite(py)) return ClampedSegment({0, 0}, {0, 0}, width, height);
  const POINT p{PixelOf(px), PixelOf(py)};
  if (!StepVector(vx, vy)) return ClampedSegment(p, p, width, height);
  return ClampedSegment(Walk(mask, width, height, px, py, vx, vy), Walk(mask, width, height, px, py, -vx, -vy), width,
                        height);
}

}  // namespace

// ---------------------------------------------------------------------------
// Line

CBarLineConnector::CBarLineConnector(INT degrees) noexcept : m_Tilt(degrees * kDegreesToTilt) {}

INT CBarLineConnector::GetDegrees() const { return static_cast<INT>(std::lround(m_Tilt / kDegreesToTilt)); }

void CBarLineConnector::Init(const CBarScript& script, INT index) {
  m_Start = script.GetPoints()[index];
  m_End = script.GetPoints()[index + 1];
}

double CBarLineConnector::GetLength() const {
  const double dx = static_cast<double>(m_End.x) - m_Start.x, dy = static_cast<double>(m_End.y) - m_Start.y;
  return std::sqrt(dx * dx + dy * dy);
}

double CBarLineConnector::GetParameter(double distance, double, double) const {
  const double length = GetLength();
  return length == 0 ? 0 : distance / length;
}

BarSegment CBarLineConnector::GetSegment(const BYTE* mask, INT width, INT height, double t) const {
  const double dx = static_cast<double>(m_End.x) - m_Start.x, dy = static_cast<double>(m_End.y) - m_Start.y;
  double px = m_Start.x, py = m_Start.y;
  if (t == 1) {
    px = m_End.x;
    py = m_End.y;
  } else if (t != 0) {
    px += t * dx;
    py += t * dy;
  }
  double vx = dy, vy = -dx;
  if (m_Tilt != 0 && (vx != 0 || vy != 0)) {
    const double angle = std::atan2(vy, vx) + m_Tilt;
    if (vx != 0)
      vy = vx * std::tan(angle);
    else
      vx = vy / std::tan(angle);
  }
  return EdgeAt(mask, width, height, px, py, vx, vy);
}

// ---------------------------------------------------------------------------
// Spline

void CBarSplineConnector::Init(const CBarScript& script, INT index) {
  const POINT* points = script.GetPoints();
  const INT count = script.GetPointCount();
  m_P[0] = points[index > 0 ? index - 1 : index];
  m_P[1] = points[index];
  m_P[2] = points[index + 1];
  m_P[3] = points[index + 2 < count ? index + 2 : index + 1];
  m_StartSpeed = SpeedAt(0);
}

// Half the sum of the control points weighted.
void CBarSplineConnector::Weigh(const double (&weights)[4], double& x, double& y) const {
  x = y = 0;
  for (int i = 0; i < 4; ++i) {
    x += weights[i] * m_P[i].x;
    y += weights[i] * m_P[i].y;
  }
  x /= 2;
  y /= 2;
}

void CBarSplineConnector::PointAt(double t, double& x, double& y) const {
  const double t2 = t * t, t3 = t2 * t;
  Weigh({-t3 + 2 * t2 - t, 3 * t3 - 5 * t2 + 2, -3 * t3 + 4 * t2 + t, t3 - t2}, x, y);
}

void CBarSplineConnector::TangentAt(double t, double& x, double& y) const {
  const double t2 = t * t;
  Weigh({-3 * t2 + 4 * t - 1, 9 * t2 - 10 * t, -9 * t2 + 8 * t + 1, 3 * t2 - 2 * t}, x, y);
}

double CBarSplineConnector::SpeedAt(double t) const {
  double x, y;
  TangentAt(t, x, y);
  return std::sqrt(x * x + y * y);
}

// Romberg integration of the speed over 1, 2, 4, 8 and 16 intervals.
double CBarSplineConnector::ArcLength(double from, double to) const {
  const double h = to - from;
  double table[5][5];
  table[0][0] = 0.5 * ((from == 0 ? m_StartSpeed : SpeedAt(from)) + SpeedAt(to));
  for (int k = 1; k <= 4; ++k) {
    const int intervals = 1 << k;
    double sum = 0;
    for (int i = 1; i < intervals; i += 2) sum += SpeedAt(from + i * h / intervals);
    table[k][0] = 0.5 * (table[k - 1][0] + (2.0 / intervals) * sum);
    double factor = 1;
    for (int j = 1; j <= k; ++j) {
      factor *= 4;
      table[k][j] = table[k][j - 1] + (table[k][j - 1] - table[k - 1][j - 1]) / (factor - 1);
    }
  }
  return table[4][4] * h;
}

double CBarSplineConnector::GetLength() const { return ArcLength(0, 1); }

double CBarSplineConnector::GetParameter(double distance, double lower, double upper) const {
  // Halving 60 times exhausts a double's precision; a distance beyond the
  // arc ends at the upper bound.
  for (int step = 0; step < 60; ++step) {
    const double t = (lower + upper) / 2;
    if (t <= lower || t >= upper) break;
    const double length = ArcLength(0, t);
    if (std::fabs(length - distance) < 0.01) return t;
    if (length > distance)
      upper = t;
    else
      lower = t;
  }
  return upper;
}

BarSegment CBarSplineConnector::GetSegment(const BYTE* mask, INT width, INT height, double t) const {
  double px, py, dx, dy;
  PointAt(t, px, py);
  TangentAt(t, dx, dy);
  return EdgeAt(mask, width, height, px, py, -dy, dx);
}

// ---------------------------------------------------------------------------
// Circle

CBarCircleConnector::CBarCircleConnector(POINT third, bool clockwise) noexcept : m_Third(third), m_Clockwise(clockwise) {}

namespace {

// The angle of a point on the circle, growing counter-clockwise on screen.
double AngleOf(double x, double y, double cx, double cy, double radius) {
  const double angle = std::acos(std::clamp((x - cx) / radius, -1.0, 1.0));
  return y > cy ? 2 * kPi - angle : angle;
}

}  // namespace

void CBarCircleConnector::Init(const CBarScript& script, INT index) {
  m_Start = script.GetPoints()[index];
  m_End = script.GetPoints()[index + 1];
  const double ax = m_Start.x, ay = m_Start.y, ex = m_End.x, ey = m_End.y, mx = m_Third.x, my = m_Third.y;
  const double a2 = ax * ax + ay * ay, e2 = ex * ex + ey * ey, m2 = mx * mx + my * my;
  m_CenterX = 0.5 * (a2 * (my - ey) + e2 * (ay - my) + m2 * (ey - ay)) / (ax * (my - ey) + ex * (ay - my) + mx * (ey - ay));
  m_CenterY = 0.5 * (a2 * (mx - ex) + e2 * (ax - mx) + m2 * (ex - ax)) / (ay * (mx - ex) + ey * (ax - mx) + my * (ex - ax));
  m_Radius = std::hypot(ax - m_CenterX, ay - m_CenterY);
  // Three points on a line, or equal ones, give no circle.
  m_Degenerate = !std::isfinite(m_CenterX) || !std::isfinite(m_CenterY) || !std::isfinite(m_Radius) || m_Radius == 0;
  if (m_Degenerate) {
    m_Radius = m_Circumference = m_Sweep = 0;
    return;
  }
  m_StartAngle = AngleOf(ax, ay, m_CenterX, m_CenterY, m_Radius);
  m_EndAngle = AngleOf(ex, ey, m_CenterX, m_CenterY, m_Radius);
  m_Sweep = m_Clockwise ? m_StartAngle - m_EndAngle : m_EndAngle - m_StartAngle;
  if (m_Sweep < 0) m_Sweep += 2 * kPi;
  m_Circumference = 2 * kPi * m_Radius;
}

double CBarCircleConnector::GetLength() const { return m_Degenerate ? 0 : m_Circumference * m_Sweep / (2 * kPi); }

double CBarCircleConnector::GetParameter(double distance, double, double) const {
  return m_Degenerate ? 0 : distance / m_Circumference * 2 * kPi;
}

BarSegment CBarCircleConnector::GetSegment(const BYTE* mask, INT width, INT height, double t) const {
  if (m_Degenerate) return ClampedSegment(m_Start, m_Start, width, height);
  const double angle = m_Clockwise ? m_StartAngle - t : m_StartAngle + t;
  const double rx = m_Radius * std::cos(angle), ry = -m_Radius * std::sin(angle);
  const double px = m_CenterX + rx, py = m_CenterY + ry;
  double vx = rx, vy = ry;
  if (!StepVector(vx, vy)) return ClampedSegment({PixelOf(px), PixelOf(py)}, {PixelOf(px), PixelOf(py)}, width, height);
  const POINT outer = Walk(mask, width, height, px, py, vx, vy);
  POINT inner = Walk(mask, width, height, px, py, -vx, -vy);
  // Past the centre the inner end would lie on the far side of the circle.
  if ((px > m_CenterX && inner.x < m_CenterX) || (px <= m_CenterX && inner.x > m_CenterX))
    inner = POINT{PixelOf(m_CenterX), PixelOf(m_CenterY)};
  return ClampedSegment(inner, outer, width, height);
}
