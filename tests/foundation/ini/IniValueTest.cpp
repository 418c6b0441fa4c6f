// The value rules of the typed ini items, as one table: what each item
// accepts and stores, and what it refuses with which text.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/ini/IniItems.h"
#include "foundation/kernel/Localizer.h"

namespace {

enum class Kind { Boolean, Color, Expansion, Transition, Signed, Unsigned, Margins, Percentage, Point, String, Version };

// The readers' variables, each starting from a value no row stores.
struct Targets {
  bool boolean = false;
  COLORREF color = 0xDEADBEEF;
  DWORD expansion = 77;
  IniFrameTransition transition{9, 9, 77};
  INT integer = 777;
  RECT margins{-7, -7, -7, -7};
  double percentage = -7.5;
  POINT point{-7, -7};
  CStr text = "unchanged";
  DWORD version = 0xDEADBEEF;
};

std::unique_ptr<CIniItem> MakeItem(Kind kind, Targets& t, bool* found) {
  switch (kind) {
    case Kind::Boolean: return std::make_unique<CIniBooleanItem>("Item", &t.boolean, found);
    case Kind::Color: return std::make_unique<CIniColorItem>("Item", &t.color, found);
    case Kind::Expansion: return std::make_unique<CIniExpansionTypeItem>("Item", &t.expansion, found);
    case Kind::Transition: return std::make_unique<CIniFrameTransitionItem>("Item", &t.transition, found);
    case Kind::Signed: return std::make_unique<CIniIntegerItem>("Item", &t.integer, found, true);
    case Kind::Unsigned: return std::make_unique<CIniIntegerItem>("Item", &t.integer, found, false);
    case Kind::Margins: return std::make_unique<CIniMarginsItem>("Item", &t.margins, found);
    case Kind::Percentage: return std::make_unique<CIniPercentageItem>("Item", &t.percentage, found);
    case Kind::Point: return std::make_unique<CIniPointItem>("Item", &t.point, found);
    case Kind::String: return std::make_unique<CIniStringItem>("Item", &t.text, found);
    case Kind::Version: return std::make_unique<CIniVersionItem>("Item", &t.version, found);
  }
  return nullptr;
}

// The target of the kind, as text.
std::string Stored(Kind kind, const Targets& t) {
  char text[128];
  switch (kind) {
    case Kind::Boolean: return t.boolean ? "true" : "false";
    case Kind::Color: std::snprintf(text, sizeof text, "%08X", t.color); break;
    case Kind::Expansion: std::snprintf(text, sizeof text, "%u", t.expansion); break;
    case Kind::Transition:
      std::snprintf(text, sizeof text, "%u,%u,%u", t.transition.type, t.transition.frameCount, t.transition.delay);
      break;
    case Kind::Signed:
    case Kind::Unsigned: std::snprintf(text, sizeof text, "%d", t.integer); break;
    case Kind::Margins:
      std::snprintf(text, sizeof text, "%d,%d,%d,%d", t.margins.left, t.margins.top, t.margins.right, t.margins.bottom);
      break;
    case Kind::Percentage: std::snprintf(text, sizeof text, "%.17g", t.percentage); break;
    case Kind::Point: std::snprintf(text, sizeof text, "%d,%d", t.point.x, t.point.y); break;
    case Kind::String: return t.text.c_str();
    case Kind::Version: std::snprintf(text, sizeof text, "%u.%u", t.version >> 16, t.version & 0xFFFF); break;
  }
  return text;
}

const char* RefusalText(Kind kind) {
  switch (kind) {
    case Kind::Boolean: return "value must be either 'true' or 'false'";
    case Kind::Color: return "value must be a color of the form rrggbb with each digit in the range 0-F";
    case Kind::Expansion: return "value must be either 'stretch' or 'tile'";
    case Kind::Transition: return "value must be of the form 'TYPE,FRAMECOUNT' with FRAMECOUNT>=0\n";
    case Kind::Signed: return "value must be an integer";
    case Kind::Unsigned: return "value must be a non negative integer";
    case Kind::Margins: return "value describes margins and must be of the form l,t,r,b";
    case Kind::Percentage: return "value must be of the form 'x.y %', where x.y is a real number.";
    case Kind::Point: return "value must be coordinates of the form x,y";
    case Kind::String: return "";
    case Kind::Version: return "value must be of the form: X.Y (where X and Y are non-negative integers)";
  }
  return "";
}

// The localisation key each refusal text is fetched by; stored texts of
// translations depend on these exact keys, misspelt ones included.
const char* RefusalKey(Kind kind) {
  switch (kind) {
    case Kind::Boolean: return "CIniBooleanItem.ParseError";
    case Kind::Color: return "CIniColorItem,ParseError";
    case Kind::Expansion: return "CIniExpansionTypeItem.ParseError";
    case Kind::Transition: return "CIniFrameTransitionItem.ParseError";
    case Kind::Signed: return "CIniIntegerItem.ParseError.Signed";
    case Kind::Unsigned: return "CIniIntegerItem.ParseError.Unsigned";
    case Kind::Margins: return "CIniMarginsItem.ParseError";
    case Kind::Percentage: return "CIniPercentageItem.ParseError";
    case Kind::Point: return "CIniPointItem.ParseError";
    case Kind::String: return "";
    case Kind::Version: return "CIniVersionItem.ParseError";
  }
  return "";
}

constexpr const char* kRefused = nullptr;
constexpr const char* kVersionTooBig = "no part of a version number may be bigger than 65536";
constexpr const char* kVersionTooBigKey = "CIniVersionItem.NumberTooBig";

// Notes the key and default text of every text asked for; answers none,
// so the defaults are used.
class RecordingTexts : public CTextProvider {
 public:
  RecordingTexts() { GetLocalizer().SetProvider(this); }
  ~RecordingTexts() override { GetLocalizer().SetProvider(nullptr); }
  const char* Lookup(const char* key, const char* defaultText) override {
    asked.emplace_back(key, defaultText);
    return nullptr;
  }
  std::vector<std::pair<std::string, std::string>> asked;
};

struct ValueCase {
  Kind kind;
  const char* value;
  const char* stored;             // kRefused: the item refuses the value
  const char* error = nullptr;    // a refusal text other than the kind's
};

const ValueCase kCases[] = {
    // Booleans: the two words in any case, blanks around.
    {Kind::Boolean, "true", "true"},
    {Kind::Boolean, " \tFaLsE\t ", "false"},
    {Kind::Boolean, "TRUE", "true"},
    {Kind::Boolean, "yes", kRefused},
    {Kind::Boolean, "1", kRefused},
    {Kind::Boolean, "truex", kRefused},
    {Kind::Boolean, "true false", kRefused},
    // Colours: rrggbb read as a number, kept with red in the low byte.
    {Kind::Color, "FF8000", "000080FF"},
    {Kind::Color, " 0a0B0c ", "000C0B0A"},
    {Kind::Color, "#FF8000", kRefused},
    {Kind::Color, "FF800", kRefused},
    {Kind::Color, "FF80000", kRefused},
    {Kind::Color, "GG0000", kRefused},
    {Kind::Color, "FF 8000", kRefused},
    // Expansion types.
    {Kind::Expansion, "tile", "1"},
    {Kind::Expansion, " STRETCH ", "0"},
    {Kind::Expansion, "tiles", kRefused},
    {Kind::Expansion, "", kRefused},
    // Frame transitions: the delay is kept when the value gives none.
    {Kind::Transition, "fade, 8", "1,8,77"},
    {Kind::Transition, " FADE ,12 , 40 ", "1,12,40"},
    {Kind::Transition, "Fade,1,0", "1,1,0"},
    {Kind::Transition, "fade,0", kRefused},
    {Kind::Transition, "fade", kRefused},
    {Kind::Transition, "slide,8", kRefused},
    {Kind::Transition, "fa de,8", kRefused},
    {Kind::Transition, "fade,-1", kRefused},
    {Kind::Transition, "fade,8,", kRefused},
    {Kind::Transition, "fade,8,3,4", kRefused},
    {Kind::Transition, "fade,,8", kRefused},
    // Integers: a minus sign, blanks after it allowed, only when signed;
    // numbers beyond 32 bits are refused, not wrapped.
    {Kind::Signed, "  12  ", "12"},
    {Kind::Signed, "-12", "-12"},
    {Kind::Signed, "- 12", "-12"},
    {Kind::Signed, "-2147483648", "-2147483648"},
    {Kind::Signed, "2147483647", "2147483647"},
    {Kind::Signed, "2147483648", kRefused},
    {Kind::Signed, "4294967308", kRefused},
    {Kind::Signed, "+12", kRefused},
    {Kind::Signed, "1 2", kRefused},
    {Kind::Signed, "12a", kRefused},
    {Kind::Signed, "-", kRefused},
    {Kind::Unsigned, "0", "0"},
    {Kind::Unsigned, "-1", kRefused},
    {Kind::Unsigned, "0x10", kRefused},
    // Margins: four unsigned integers, blanks around each.
    {Kind::Margins, "1, 2,3 ,4", "1,2,3,4"},
    {Kind::Margins, "1,2,3", kRefused},
    {Kind::Margins, "1,2,3,4,5", kRefused},
    {Kind::Margins, "1,-2,3,4", kRefused},
    {Kind::Margins, "1;2;3;4", kRefused},
    // Percentages: x % or x.y %, stored as a fraction; the sign belongs to
    // the whole number.
    {Kind::Percentage, "12.5 %", "0.125"},
    {Kind::Percentage, "-0.5 %", "-0.005"},
    {Kind::Percentage, "1.05 %", "0.0105"},
    {Kind::Percentage, "50%", "0.5"},
    {Kind::Percentage, "- 3 %  ", "-0.03"},
    {Kind::Percentage, "100.000 %", "1"},
    {Kind::Percentage, "50", kRefused},
    {Kind::Percentage, "12.5", kRefused},
    {Kind::Percentage, "12. %", kRefused},
    {Kind::Percentage, ".5 %", kRefused},
    {Kind::Percentage, "12. 5 %", kRefused},
    {Kind::Percentage, "+5 %", kRefused},
    {Kind::Percentage, "5 % x", kRefused},
    // Points: two signed integers.
    {Kind::Point, "3,-4", "3,-4"},
    {Kind::Point, " -3 , 4 ", "-3,4"},
    {Kind::Point, "3", kRefused},
    {Kind::Point, "3,4,5", kRefused},
    // Strings: anything, white space trimmed.
    {Kind::String, "  hello world \t", "hello world"},
    {Kind::String, "", ""},
    // Versions: the minor part brought to two digits.
    {Kind::Version, "2.5", "2.50"},
    {Kind::Version, "2.50", "2.50"},
    {Kind::Version, "2.123", "2.12"},
    {Kind::Version, "1.05", "1.50"},
    {Kind::Version, "1.5", "1.50"},
    {Kind::Version, "1.99999", "1.99"},
    {Kind::Version, " 3 . 7 ", "3.70"},
    {Kind::Version, "0.0", "0.0"},
    {Kind::Version, "65535.1", "65535.10"},
    {Kind::Version, "65536.0", kRefused, kVersionTooBig},
    {Kind::Version, "99999999999.0", kRefused, kVersionTooBig},
    {Kind::Version, "2", kRefused},
    {Kind::Version, "2.", kRefused},
    {Kind::Version, "2.x", kRefused},
    {Kind::Version, "-1.0", kRefused},
    {Kind::Version, "2.5.1", kRefused},
    {Kind::Version, "1.99999999999", kRefused},
};

TEST(IniValues, EachItemStoresWhatItAcceptsAndRefusesTheRestWithItsText) {
  RecordingTexts texts;
  for (const ValueCase& c : kCases) {
    texts.asked.clear();
    const std::string name = std::string("'") + c.value + "' for " + RefusalText(c.kind);
    Targets targets;
    const std::string before = Stored(c.kind, targets);
    bool found = false;
    std::unique_ptr<CIniItem> item = MakeItem(c.kind, targets, &found);
    CStr error;
    const bool accepted = item->Parse(c.value, error);
    if (c.stored == kRefused) {
      EXPECT_FALSE(accepted) << name << " stored " << Stored(c.kind, targets);
      EXPECT_STREQ(error, c.error ? c.error : RefusalText(c.kind)) << name;
      const std::pair<std::string, std::string> asked{c.error == kVersionTooBig ? kVersionTooBigKey : RefusalKey(c.kind),
                                                      c.error ? c.error : RefusalText(c.kind)};
      EXPECT_EQ(texts.asked, (std::vector<std::pair<std::string, std::string>>{asked}))
          << name << ": the text is fetched by its key with its default";
      EXPECT_EQ(Stored(c.kind, targets), before) << name << ": a refused value changed the variable";
      EXPECT_FALSE(found) << name;
      continue;
    }
    EXPECT_TRUE(accepted) << name << ": " << error.c_str();
    EXPECT_TRUE(found) << name;
    if (c.kind == Kind::Percentage)
      EXPECT_DOUBLE_EQ(targets.percentage, std::strtod(c.stored, nullptr)) << name;
    else
      EXPECT_EQ(Stored(c.kind, targets), c.stored) << name;
  }
}

TEST(IniValues, ItemsWithoutAFoundFlagParseAlike) {
  INT value = 0;
  CIniIntegerItem item("Width", &value, nullptr, true);
  CStr error;
  EXPECT_TRUE(item.Parse("-5", error));
  EXPECT_EQ(value, -5);
}

}  // namespace
