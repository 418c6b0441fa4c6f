// The bar script grammar and its compiled block.
#include <gtest/gtest.h>

#include "../support/SkinTestSupport.h"
#include "foundation/kernel/Error.h"
#include "skins/bars/BarConnector.h"
#include "skins/bars/BarScript.h"

using namespace skintest;

namespace {

// Loads the text; "" when it loads, else the error's caption and text.
std::string Parse(const std::string& text, CBarScript* into = nullptr) {
  CBarScript script;
  BytesStream in(text);
  try {
    (into ? *into : script).LoadFromStream(*in);
  } catch (CError* error) {
    const std::string message = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return message;
  }
  return "";
}

std::string FaultyLine(int number, const std::string& line) {
  return "BarScript Error: Error at line " + std::to_string(number) + " ('" + line + "') in file 'memfile://'";
}

}  // namespace

TEST(BarScript, GrammarCases) {
  const std::string head = "5,5\n1,2\n";
  const struct {
    const char* name;
    std::string text;
    std::string result;
  } cases[] = {
      {"the smallest script: fill point, point, connector, point", "5,5\n1,2\nLine\n3,4\n", ""},
      {"LINE(-30) in capitals", head + "LINE(-30)\n3,4\n", ""},
      {"line ( - 30 ) with blanks everywhere", head + "line ( - 30 )\n3,4\n", ""},
      {"Line(89) at the limit", head + "Line(89)\n3,4\n", ""},
      {"Line(90) beyond the limit", head + "Line(90)\n3,4\n", FaultyLine(3, "Line(90)")},
      {"Line(+5) with a plus sign", head + "Line(+5)\n3,4\n", FaultyLine(3, "Line(+5)")},
      {"Lines is no keyword", head + "Lines\n3,4\n", FaultyLine(3, "Lines")},
      {"Spline with trailing blanks", head + "Spline \t\n3,4\n", ""},
      {"Circle(10,-4,+)", head + "Circle(10,-4,+)\n3,4\n", ""},
      {"circle ( -10 , - 4 , - ) in any case", head + "circle ( -10 , - 4 , - )\n3,4\n", ""},
      {"Circle(10,4) without a direction", head + "Circle(10,4)\n3,4\n", FaultyLine(3, "Circle(10,4)")},
      {"a point with a minus sign", "5,5\n-1,2\nLine\n3,4\n", FaultyLine(2, "-1,2")},
      {"a point beyond 32 bits", "5,5\n99999999999,2\nLine\n3,4\n", FaultyLine(2, "99999999999,2")},
      {"a point of the largest 32-bit number", "5,5\n2147483647,2\nLine\n3,4\n", ""},
      {"a point of one more", "5,5\n2147483648,2\nLine\n3,4\n", FaultyLine(2, "2147483648,2")},
      {"an angle beyond 32 bits", head + "Line(-99999999999)\n3,4\n", FaultyLine(3, "Line(-99999999999)")},
      {"a connector where a point belongs", "5,5\nLine\n3,4\n", FaultyLine(2, "Line")},
      {"a point where a connector belongs", head + "3,4\n", FaultyLine(3, "3,4")},
      {"Spline last", head + "Line\n3,4\nSpline\n", "BarScript error: The last line must specify a point."},
      {"a fill point and one way point", "5,5\n1,2\n", "BarScript error: At least two way points and a fill point must be specified."},
      {"blank lines count, CR LF once", "\r\n5,5\r\n\r\n  \t\r\n1,2\r\nLine\r\nCircle\r\n", FaultyLine(7, "Circle")},
      {"CR alone ends lines too", "5,5\r1,2\rLine\rbad\r", FaultyLine(4, "bad")},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.text), c.result) << c.name;
}

TEST(BarScript, TextOverOneMebibyteIsRefused) {
  EXPECT_EQ(Parse(std::string(1024 * 1024 + 1, ' ')), "BarScript error: The file is not a valid bar script.");
  EXPECT_EQ(Parse(std::string(1024 * 1024 - 17, ' ') + "\n5,5\n1,2\nLine\n3,4"), "") << "exactly 1 MiB";
}

TEST(BarScript, CompiledBlockRoundTripKeepsAnglesAndCircles) {
  CBarScript script;
  ASSERT_EQ(Parse("7,8\n0,0\nLine(-30)\n10,0\nSpline\n20,5\nCircle(25,-4,-)\n30,0\n", &script), "");
  CMemoryStream out;
  OpenWritable(out);
  script.SaveCompiled(out);
  const std::string block = StreamBytes(out);
  // fill point, count, four points, then the codes: line -30, spline,
  // circle "-" with its third point.
  EXPECT_EQ(block.size(), 12u + 32 + 4 + 4 + 12);
  EXPECT_EQ(block.substr(44, 4), Bytes().U32(0xFFE20000).str()) << "-30 in the high 16 bits";
  CBarScript read;
  BytesStream in(block + "extra");
  read.LoadCompiled(*in, static_cast<DWORD>(block.size() + 5));
  ASSERT_EQ(read.GetPointCount(), 4);
  EXPECT_EQ(read.GetFillPoint().y, 8);
  EXPECT_EQ(dynamic_cast<CBarLineConnector*>(read.GetConnector(0))->GetDegrees(), -30);
  EXPECT_NE(dynamic_cast<CBarSplineConnector*>(read.GetConnector(1)), nullptr);
  const auto* circle = dynamic_cast<CBarCircleConnector*>(read.GetConnector(2));
  ASSERT_NE(circle, nullptr);
  EXPECT_TRUE(circle->IsClockwise());
  EXPECT_EQ(circle->GetThirdPoint().y, -4);
  EXPECT_EQ(in->GetPosition(), static_cast<LONGLONG>(block.size() + 5));
}

TEST(BarScript, CompiledBlockFaults) {
  const Bytes points = Bytes().I32(1).I32(1).U32(2).I32(0).I32(0).I32(5).I32(0);
  const struct {
    const char* name;
    std::string block;
    const char* error;
  } cases[] = {
      {"one way point", Bytes().I32(1).I32(1).U32(1).I32(0).I32(0).str(), "At least two way points"},
      {"fewer points than announced", Bytes().I32(1).I32(1).U32(3).Zeros(16).U32(0).str(), "Unexpected end of block."},
      // 8 x 0x20000001 wraps to 8 in 32 bits.
      {"a point count whose size wraps", Bytes().I32(1).I32(1).U32(0x20000001).Zeros(8).str(), "Unexpected end of block."},
      {"no connector code", points.str(), "Unexpected end of block."},
      {"connector type 3", Bytes(points).U32(3).str(), "Unknown connector type."},
      {"a line of 90 degrees", Bytes(points).U32(90u << 16).str(), "Invalid connector."},
      {"a circle without its point", Bytes(points).U32(2).U32(0).str(), "Unexpected end of block."},
      {"a block of 11 bytes", std::string(11, '\0'), "Unexpected end of block."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CBarScript script;
    BytesStream in(c.block);
    EXPECT_EQ(ExpectError([&] { script.LoadCompiled(*in, static_cast<DWORD>(c.block.size())); }, c.error),
              "BarScript error");
    EXPECT_EQ(script.GetPointCount(), 0) << "cleared";
  }
}
