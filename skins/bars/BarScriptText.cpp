// The text form of a bar script: a fill point, then way points and
// connectors alternating, one a line; blank lines are skipped but counted.
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "skins/bars/BarConnector.h"
#include "skins/bars/BarScript.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinErrors.h"

namespace {

constexpr INT kMaxAngle = 89;

// One line of the script, read left to right.
class LineCursor {
 public:
  LineCursor(const char* begin, const char* end) : m_Pos(begin), m_End(end) {}

  void SkipBlanks() {
    while (m_Pos != m_End && (*m_Pos == ' ' || *m_Pos == '\t')) ++m_Pos;
  }
  bool AtEnd() {
    SkipBlanks();
    return m_Pos == m_End;
  }
  bool Take(char c) {
    SkipBlanks();
    if (m_Pos == m_End || *m_Pos != c) return false;
    ++m_Pos;
    return true;
  }
  bool TakeKeyword(const char* word) {
    SkipBlanks();
    const char* p = m_Pos;
    for (; *word; ++word, ++p)
      if (p == m_End || (*p | 0x20) != (*word | 0x20)) return false;
    m_Pos = p;
    return true;
  }
  // Digits only; a value beyond 32 bits makes the line faulty.
  bool ReadDigits(int64_t& value) {
    SkipBlanks();
    if (m_Pos == m_End || *m_Pos < '0' || *m_Pos > '9') return false;
    value = 0;
    for (; m_Pos != m_End && *m_Pos >= '0' && *m_Pos <= '9'; ++m_Pos) {
      value = value * 10 + (*m_Pos - '0');
      if (value > INT32_MAX + int64_t{1}) return false;
    }
    return true;
  }
  // An optional "-" (blanks may follow it), then digits.
  bool ReadSigned(INT& value) {
    const bool negative = Take('-');
    int64_t magnitude = 0;
    if (!ReadDigits(magnitude)) return false;
    const int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue < INT32_MIN || signedValue > INT32_MAX) return false;
    value = static_cast<INT>(signedValue);
    return true;
  }
  bool ReadUnsigned(INT& value) {
    int64_t magnitude = 0;
    if (!ReadDigits(magnitude) || magnitude > INT32_MAX) return false;
    value = static_cast<INT>(magnitude);
    return true;
  }

 private:
  const char* m_Pos;
  const char* m_End;
};

bool ParsePoint(LineCursor cursor, POINT& point) {
  INT x = 0, y = 0;
  if (!cursor.ReadUnsigned(x) || !cursor.Take(',') || !cursor.ReadUnsigned(y) || !cursor.AtEnd()) return false;
  point = POINT{x, y};
  return true;
}

std::unique_ptr<CBarConnector> ParseLine(LineCursor cursor) {
  if (cursor.AtEnd()) return std::make_unique<CBarLineConnector>(0);
  INT angle = 0;
  if (!cursor.Take('(') || !cursor.ReadSigned(angle) || !cursor.Take(')') || !cursor.AtEnd()) return nullptr;
  if (angle < -kMaxAngle || angle > kMaxAngle) return nullptr;
  return std::make_unique<CBarLineConnector>(angle);
}

std::unique_ptr<CBarConnector> ParseCircle(LineCursor cursor) {
  POINT third{};
  INT x = 0, y = 0;
  if (!cursor.Take('(') || !cursor.ReadSigned(x) || !cursor.Take(',') || !cursor.ReadSigned(y) || !cursor.Take(','))
    return nullptr;
  third = POINT{x, y};
  bool clockwise;
  if (cursor.Take('+'))
    clockwise = false;
  else if (cursor.Take('-'))
    clockwise = true;
  else
    return nullptr;
  if (!cursor.Take(')') || !cursor.AtEnd()) return nullptr;
  return std::make_unique<CBarCircleConnector>(third, clockwise);
}

std::unique_ptr<CBarConnector> ParseConnector(LineCursor cursor) {
  LineCursor line = cursor;
  if (line.TakeKeyword("Line")) return ParseLine(line);
  LineCursor spline = cursor;
  if (spline.TakeKeyword("Spline")) return spline.AtEnd() ? std::make_unique<CBarSplineConnector>() : nullptr;
  LineCursor circle = cursor;
  if (circle.TakeKeyword("Circle")) return ParseCircle(circle);
  return nullptr;
}

std::string ReadWholeText(CStream& stream) {
  const LONGLONG length = stream.GetLength(false, nullptr);
  if (length > CBarScript::kMaxTextSize)
    ThrowError<CError>(LocalText("BarScriptError.Caption", "BarScript error"),
                       LocalText("BarScriptError.InvalidFile", "The file is not a valid bar script."));
  std::string text;
  if (length >= 0) {
    text.resize(static_cast<size_t>(length));
    ReadExact(stream, text.data(), static_cast<DWORD>(length));
  } else {
    char buffer[4096];
    for (DWORD got; (got = stream.Read(buffer, sizeof buffer)) != 0;) {
      text.append(buffer, got);
      if (static_cast<LONGLONG>(text.size()) > CBarScript::kMaxTextSize)
        ThrowError<CError>(LocalText("BarScriptError.Caption", "BarScript error"),
                           LocalText("BarScriptError.InvalidFile", "The file is not a valid bar script."));
    }
  }
  text += '\n';
  return text;
}

[[noreturn]] void ThrowFaultyLine(CStream& stream, unsigned long number, const std::string& line) {
  CStr url;
  stream.GetURL(url);
  ThrowError<CError>(LocalText("BarScriptError.Caption", "BarScript Error"),
                     SkinText("BarScriptError.ErrorInLine", "Error at line %LINENUM% ('%LINECONTENT%') in file '%FILE%'",
                              {{"%LINENUM%", CStr::Format("%lu", number)},
                               {"%LINECONTENT%", CStr(line.data(), line.size())},
                               {"%FILE%", url}}));
}

bool IsBlank(const char* begin, const char* end) {
  for (; begin != end; ++begin)
    if (*begin != ' ' && *begin != '\t') return false;
  return true;
}

}  // namespace

void CBarScript::LoadFromStream(CStream& stream) {
  Clear();
  const std::string text = ReadWholeText(stream);
  bool fillPointRead = false;
  bool lastWasConnector = false;
  unsigned long number = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find_first_of("\r\n", start);
    const size_t next = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? end + 2 : end + 1;
    ++number;
    const char* begin = text.data() + start;
    const char* finish = text.data() + end;
    start = next;
    if (IsBlank(begin, finish)) continue;
    const LineCursor cursor(begin, finish);
    const bool wantsPoint = !fillPointRead || lastWasConnector || m_Points.empty();
    if (wantsPoint) {
      POINT point;
      if (!ParsePoint(cursor, point)) ThrowFaultyLine(stream, number, std::string(begin, finish));
      if (!fillPointRead)
        m_FillPoint = point;
      else
        AddPoint(point);
      fillPointRead = true;
      lastWasConnector = false;
      continue;
    }
    std::unique_ptr<CBarConnector> connector = ParseConnector(cursor);
    if (!connector) ThrowFaultyLine(stream, number, std::string(begin, finish));
    AddConnector(std::move(connector));
    lastWasConnector = true;
  }
  if (m_Points.size() < 2)
    ThrowError<CError>(LocalText("BarScriptError.Caption", "BarScript error"),
                       LocalText("BarScriptError.NotEnoughPoints",
                                 "At least two way points and a fill point must be specified."));
  if (lastWasConnector)
    ThrowError<CError>(LocalText("BarScriptError.Caption", "BarScript error"),
                       LocalText("BarScriptError.LastLineNotPoint", "The last line must specify a point."));
}
