// Fill edges along bar paths: the edges' geometry over masks, the spline's
// arc length against python3's numeric integration, the nearest edge, and
// degenerate paths, which must end in edges inside the area (the test
// build's UndefinedBehaviorSanitizer catches any NaN turned into an int).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "../support/SkinTestSupport.h"
#include "skins/bars/BarConnector.h"
#include "skins/bars/BarData.h"
#include "skins/bars/BarScript.h"

using namespace skintest;

namespace {

std::unique_ptr<CBarScript> Script(const std::string& text) {
  auto script = std::make_unique<CBarScript>();
  BytesStream in(text);
  script->LoadFromStream(*in);
  script->InitConnectors();
  return script;
}

// A width x height mask, 1 where inside(x, y).
template <class Inside>
std::vector<BYTE> Mask(int width, int height, Inside inside) {
  std::vector<BYTE> mask(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) mask[y * width + x] = inside(x, y) ? 1 : 0;
  return mask;
}

void ExpectInside(const CBarData& data, int width, int height) {
  for (int j = 0; j < data.GetSegmentCount(); ++j) {
    const BarSegment& s = data.GetSegments()[j];
    for (int v : {s.x1, s.x2}) ASSERT_TRUE(v >= 0 && v < width) << "edge " << j;
    for (int v : {s.y1, s.y2}) ASSERT_TRUE(v >= 0 && v < height) << "edge " << j;
  }
}

}  // namespace

TEST(BarData, HorizontalLineOverABandGivesVerticalEdges) {
  const auto band = Mask(101, 21, [](int, int y) { return y >= 5 && y <= 15; });
  CBarData data;
  data.Init(*Script("0,10\n0,10\nLine\n100,10\n"), band.data(), 101, 21, 10);
  ASSERT_EQ(data.GetSegmentCount(), 10);
  for (int j = 0; j < 10; ++j) {
    const BarSegment& s = data.GetSegments()[j];
    EXPECT_EQ(s.x1, 10 * j) << j;
    EXPECT_EQ(s.x2, 10 * j) << j;
    EXPECT_EQ(s.y1, 5) << "first end up: " << j;
    EXPECT_EQ(s.y2, 15) << j;
  }
  EXPECT_EQ(data.GetFillPoint().x, 0);

  // Without a mask the edges reach the area's borders.
  data.Init(*Script("0,10\n0,10\nLine\n100,10\n"), nullptr, 101, 21, 2);
  EXPECT_EQ(data.GetSegments()[1].y1, 0);
  EXPECT_EQ(data.GetSegments()[1].y2, 20);
}

TEST(BarData, TiltedLinesTurnTheirEdges) {
  const auto band = Mask(101, 41, [](int, int y) { return y >= 10 && y <= 30; });
  const struct {
    const char* angle;
    int firstDx;  // sign of x1 - x at the path point
  } cases[] = {{"Line(45)", -1}, {"Line(-45)", 1}};
  for (const auto& c : cases) {
    CBarData data;
    data.Init(*Script(std::string("0,20\n0,20\n") + c.angle + "\n100,20\n"), band.data(), 101, 41, 2);
    const BarSegment& s = data.GetSegments()[1];  // at x = 50
    EXPECT_EQ(s.y1, 10) << c.angle << ": the first end is the upper one";
    EXPECT_EQ(s.y2, 30) << c.angle;
    EXPECT_EQ(s.x1 - 50, c.firstDx * 10) << c.angle;
    EXPECT_EQ(s.x2 - 50, -c.firstDx * 10) << c.angle;
  }
}

// The walk does not pass where the mask touches itself only at a corner.
TEST(BarData, DiagonalWalkStopsAtACornerOnlyTouch) {
  // Inside: the column x = 5 from y = 5 down, and the single pixel (6, 4)
  // that touches it only at its corner.
  const auto mask = Mask(12, 12, [](int x, int y) { return (x == 5 && y >= 5) || (x == 6 && y == 4); });
  // From (5, 5) the tilted edge runs up and to the right, towards (6, 4).
  const auto script = Script("5,5\n5,5\nLine(45)\n5,11\n");
  CBarData data;
  data.Init(*script, mask.data(), 12, 12, 1);
  const BarSegment& s = data.GetSegments()[0];
  EXPECT_FALSE(s.x1 == 6 && s.y1 == 4);
  EXPECT_FALSE(s.x2 == 6 && s.y2 == 4);
}

TEST(BarData, OnePositionLiesAtThePathsStartAndNearestPrefersTheLowerIndex) {
  CBarData data;
  data.Init(*Script("0,0\n10,5\nLine\n90,5\n"), nullptr, 100, 11, 1);
  ASSERT_EQ(data.GetSegmentCount(), 1);
  EXPECT_EQ(data.GetSegments()[0].x1, 10);

  data.Init(*Script("0,0\n0,5\nLine\n100,5\n"), nullptr, 101, 11, 10);
  // Edges at x = 30 and x = 40; x = 35 is as far from both.
  EXPECT_EQ(data.FindNearestSegment(35, 5), 3);
  EXPECT_EQ(data.FindNearestSegment(36, 5), 4);
  EXPECT_EQ(data.FindNearestSegment(-20, 5), 0);
  CBarData empty;
  EXPECT_EQ(empty.FindNearestSegment(1, 1), -1);
}

// Where the mask holds only the path's own row, an edge is one point
// (x, 5)-(x, 5); from x = 50 on the band is 11 rows high. A one-point edge
// is as far as its point (the squared distance g), so it competes fairly
// with the full edges beside it.
TEST(BarData, AOnePointEdgeIsAsFarAsItsPoint) {
  const auto mask = Mask(101, 11, [](int x, int y) { return y == 5 || x >= 50; });
  CBarData data;
  data.Init(*Script("0,0\n0,5\nLine\n100,5\n"), mask.data(), 101, 11, 10);
  ASSERT_EQ(data.GetSegmentCount(), 10);
  const BarSegment& point = data.GetSegments()[4];
  ASSERT_TRUE(point.x1 == 40 && point.x2 == 40 && point.y1 == 5 && point.y2 == 5);
  const BarSegment& full = data.GetSegments()[5];
  ASSERT_TRUE(full.x1 == 50 && full.x2 == 50 && full.y1 == 0 && full.y2 == 10);
  const struct {
    INT x, y, nearest;
    const char* why;
  } cases[] = {
      {22, 9, 2, "among one-point edges the nearest point: (20,5) at 4 + 16"},
      {42, 0, 4, "(40,5) at 4 + 25 against the full edge at 64"},
      {46, 0, 5, "(40,5) at 36 + 25 against the full edge at 16"},
      {45, 5, 4, "as far from (40,5) as from the full edge: the lower index"},
  };
  for (const auto& c : cases) EXPECT_EQ(data.FindNearestSegment(c.x, c.y), c.nearest) << c.why;
}

TEST(BarData, SplineArcLengthMatchesNumericIntegration) {
  RequirePython();
  const auto script = Script("0,0\n0,0\nSpline\n40,30\nSpline\n100,10\nSpline\n140,60\n");
  const auto* spline = dynamic_cast<CBarSplineConnector*>(script->GetConnector(1));
  ASSERT_NE(spline, nullptr);
  std::string output;
  ASSERT_EQ(Shell("python3 -c '\n"
                  "import math\n"
                  "P = [(0, 0), (40, 30), (100, 10), (140, 60)]\n"
                  "def speed(t):\n"
                  "    w = [-3*t*t + 4*t - 1, 9*t*t - 10*t, -9*t*t + 8*t + 1, 3*t*t - 2*t]\n"
                  "    return math.hypot(sum(a * p[0] for a, p in zip(w, P)) / 2, sum(a * p[1] for a, p in zip(w, P)) / 2)\n"
                  "n = 20000\n"
                  "print(\"%.6f\" % (sum(speed((i + 0.5) / n) for i in range(n)) / n))\n"
                  "'",
                  &output),
            0)
      << output;
  EXPECT_NEAR(spline->GetLength(), std::stod(output), 0.01);
  // The parameter of half the length lies where the arc is half as long.
  const double half = spline->GetParameter(spline->GetLength() / 2, 0, 1);
  EXPECT_NEAR(spline->ArcLength(0, half), spline->GetLength() / 2, 0.01);
}

TEST(BarData, DegeneratePathsGiveEdgesInsideTheArea) {
  const struct {
    const char* name;
    const char* script;
  } cases[] = {
      {"a line of length 0", "3,3\n4,4\nLine(30)\n4,4\n"},
      {"a line of length 0 without tilt", "3,3\n4,4\nLine\n4,4\n"},
      {"a circle through three points on a line", "3,3\n0,0\nCircle(5,5,+)\n9,9\n"},
      {"a circle through equal way points", "3,3\n4,4\nCircle(8,2,-)\n4,4\n"},
      {"a spline of length 0 last", "3,3\n2,2\nLine\n8,8\nSpline\n8,8\n"},
      {"only zero-length connectors", "3,3\n5,5\nLine\n5,5\nSpline\n5,5\n"},
      {"a circle whose centre lies far outside", "3,3\n0,9\nCircle(5,8,+)\n9,9\n"},
      {"points far outside the area", "3,3\n2000000000,5\nLine\n0,5\nCircle(-2000000000,9,+)\n9,9\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto mask = Mask(10, 10, [](int x, int y) { return x + y < 15; });
    for (const BYTE* m : {static_cast<const BYTE*>(nullptr), mask.data()}) {
      CBarData data;
      data.Init(*Script(c.script), m, 10, 10, 50);
      ASSERT_EQ(data.GetSegmentCount(), 50);
      ExpectInside(data, 10, 10);
      EXPECT_GE(data.FindNearestSegment(4, 4), 0);
    }
  }
}
