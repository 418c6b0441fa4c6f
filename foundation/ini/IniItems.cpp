#include "foundation/ini/IniItems.h"

#include <charconv>
#include <string>

#include "foundation/errors/LocalText.h"
#include "foundation/ini/IniValueScanner.h"

namespace {

bool Fail(CStr& error, const char* key, const char* defaultText) {
  error = LocalText(key, defaultText);
  return false;
}

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

CStr TrimWhiteSpace(const CStr& text) {
  const char* start = text.c_str();
  const char* end = start + text.GetLength();
  while (start != end && IsWhiteSpace(*start)) ++start;
  while (end != start && IsWhiteSpace(end[-1])) --end;
  return CStr(start, static_cast<size_t>(end - start));
}

CStr TrimBlanks(const CStr& text) {
  const char* start = text.c_str();
  const char* end = start + text.GetLength();
  while (start != end && IsIniBlank(*start)) ++start;
  while (end != start && IsIniBlank(end[-1])) --end;
  return CStr(start, static_cast<size_t>(end - start));
}

// Two digits of hundredths: 5 means 50, 50 stays, 123 is cut to 12.
DWORD NormaliseMinor(DWORD minor) {
  if (minor < 10) return minor * 10;
  while (minor > 99) minor /= 10;
  return minor;
}

}  // namespace

bool CIniBooleanItem::Parse(const CStr& value, CStr& error) {
  CIniValueScanner scanner(value);
  scanner.SkipBlanks();
  bool parsed;
  if (scanner.TakeWordNoCase("true"))
    parsed = true;
  else if (scanner.TakeWordNoCase("false"))
    parsed = false;
  else
    return Fail(error, "CIniBooleanItem.ParseError", "value must be either 'true' or 'false'");
  if (!scanner.OnlyBlanksLeft()) return Fail(error, "CIniBooleanItem.ParseError", "value must be either 'true' or 'false'");
  *m_Target = parsed;
  MarkFound();
  return true;
}

bool CIniColorItem::Parse(const CStr& value, CStr& error) {
  CIniValueScanner scanner(value);
  scanner.SkipBlanks();
  DWORD rgb = 0;
  if (!scanner.ReadHex(6, rgb) || !scanner.OnlyBlanksLeft())
    return Fail(error, "CIniColorItem,ParseError",
                "value must be a color of the form rrggbb with each digit in the range 0-F");
  // Written as rrggbb, kept as a colour reference: red in the low byte.
  *m_Target = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
  MarkFound();
  return true;
}

bool CIniExpansionTypeItem::Parse(const CStr& value, CStr& error) {
  CIniValueScanner scanner(value);
  scanner.SkipBlanks();
  DWORD parsed;
  if (scanner.TakeWordNoCase("tile"))
    parsed = kTile;
  else if (scanner.TakeWordNoCase("stretch"))
    parsed = kStretch;
  else
    return Fail(error, "CIniExpansionTypeItem.ParseError", "value must be either 'stretch' or 'tile'");
  if (!scanner.OnlyBlanksLeft())
    return Fail(error, "CIniExpansionTypeItem.ParseError", "value must be either 'stretch' or 'tile'");
  *m_Target = parsed;
  MarkFound();
  return true;
}

bool CIniFrameTransitionItem::Parse(const CStr& value, CStr& error) {
  CIniValueScanner scanner(value);
  scanner.SkipBlanks();
  const CStr type = TrimBlanks(scanner.TakeUntil(','));
  CIniValueScanner typeScanner(type);
  INT frameCount = 0;
  INT delay = 0;
  bool hasDelay = false;
  bool valid = typeScanner.TakeWordNoCase("Fade") && typeScanner.AtEnd() && scanner.Take(',') &&
               scanner.ReadInteger(false, frameCount) && frameCount > 0;
  if (valid && scanner.Take(',')) {
    hasDelay = true;
    valid = scanner.ReadInteger(false, delay);
  }
  if (!valid || !scanner.AtEnd())
    return Fail(error, "CIniFrameTransitionItem.ParseError",
                "value must be of the form 'TYPE,FRAMECOUNT' with FRAMECOUNT>=0\n");
  m_Target->type = IniFrameTransition::kFade;
  m_Target->frameCount = static_cast<DWORD>(frameCount);
  if (hasDelay) m_Target->delay = static_cast<DWORD>(delay);
  MarkFound();
  return true;
}

bool CIniIntegerItem::Parse(const CStr& value, CStr& error) {
  CIniValueScanner scanner(value);
  INT parsed = 0;
  if (!scanner.ReadInteger(m_Signed, parsed) || !scanner.AtEnd()) {
    if (m_Signed) return Fail(error, "CIniIntegerItem.ParseError.Signed", "value must be an integer");
    return Fail(error, "CIniIntegerItem.ParseError.Unsigned", "value must be a non negative integer");
  }
  *m_Target = parsed;
  MarkFound();
  return true;
}

bool CIniMarginsItem::Parse(const CStr& value, CStr& error) {
  CIniValueScanner scanner(value);
  INT sides[4] = {};
  bool valid = true;
  for (int i = 0; i < 4 && valid; ++i) valid = (i == 0 || scanner.Take(',')) && scanner.ReadInteger(false, sides[i]);
  if (!valid || !scanner.AtEnd())
    return Fail(error, "CIniMarginsItem.ParseError", "value describes margins and must be of the form l,t,r,b");
  *m_Target = RECT{sides[0], sides[1], sides[2], sides[3]};
  MarkFound();
  return true;
}

bool CIniPercentageItem::Parse(const CStr& value, CStr& error) {
  CIniValueScanner scanner(value);
  INT whole = 0;
  bool negative = false;
  CStr places;
  bool valid = scanner.ReadInteger(true, whole, &negative);
  if (valid && scanner.Take('.')) {
    valid = scanner.ReadDigitText(places);
    scanner.SkipBlanks();
  }
  valid = valid && scanner.Take('%') && scanner.OnlyBlanksLeft();
  if (!valid)
    return Fail(error, "CIniPercentageItem.ParseError", "value must be of the form 'x.y %', where x.y is a real number.");
  // The decimal number read exactly, then made a fraction; the sign
  // belongs to the whole number, so -0.5 is negative too.
  const long long magnitude = whole < 0 ? -static_cast<long long>(whole) : whole;
  std::string number = std::to_string(magnitude);
  if (!places.IsEmpty()) number += std::string(".") + places.c_str();
  double parsed = 0;
  std::from_chars(number.data(), number.data() + number.size(), parsed);
  *m_Target = (negative ? -parsed : parsed) / 100.0;
  MarkFound();
  return true;
}

bool CIniPointItem::Parse(const CStr& value, CStr& error) {
  CIniValueScanner scanner(value);
  INT x = 0, y = 0;
  if (!scanner.ReadInteger(true, x) || !scanner.Take(',') || !scanner.ReadInteger(true, y) || !scanner.AtEnd())
    return Fail(error, "CIniPointItem.ParseError", "value must be coordinates of the form x,y");
  *m_Target = POINT{x, y};
  MarkFound();
  return true;
}

bool CIniStringItem::Parse(const CStr& value, CStr&) {
  *m_Target = TrimWhiteSpace(value);
  MarkFound();
  return true;
}

bool CIniVersionItem::Parse(const CStr& value, CStr& error) {
  constexpr DWORD kLargestPart = 0xFFFF;
  constexpr DWORD kLargestMinor = 0x7FFFFFFF;
  CIniValueScanner scanner(value);
  scanner.SkipBlanks();
  DWORD major = 0, minor = 0;
  bool tooBig = false;
  if (!scanner.ReadDigitsUpTo(major, kLargestPart, tooBig)) {
    if (tooBig) return Fail(error, "CIniVersionItem.NumberTooBig", "no part of a version number may be bigger than 65536");
    return Fail(error, "CIniVersionItem.ParseError",
                "value must be of the form: X.Y (where X and Y are non-negative integers)");
  }
  scanner.SkipBlanks();
  bool valid = scanner.Take('.');
  scanner.SkipBlanks();
  valid = valid && scanner.ReadDigits(minor, kLargestMinor) && scanner.OnlyBlanksLeft();
  if (!valid)
    return Fail(error, "CIniVersionItem.ParseError",
                "value must be of the form: X.Y (where X and Y are non-negative integers)");
  *m_Target = major << 16 | NormaliseMinor(minor);
  MarkFound();
  return true;
}
