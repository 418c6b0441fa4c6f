#include "foundation/kernel/Placeholder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PlaceholderCase {
  const char* behaviour;
  const char* text;
  const char* placeholder;
  const char* value;
  const char* expected;
};

const PlaceholderCase kCases[] = {
    {"one occurrence is replaced, nothing else changes", "Can't load DLL (reported error: %ERROR%)", "%ERROR%",
     "Access is denied. 5", "Can't load DLL (reported error: Access is denied. 5)"},
    {"every occurrence is replaced", "%FILE% and %FILE%", "%FILE%", "a.mp3", "a.mp3 and a.mp3"},
    {"a replaced value is not scanned again", "%A%", "%A%", "%B%", "%B%"},
    {"a value holding the placeholder is inserted once per occurrence", "%A%-%A%", "%A%", "x%A%%A%",
     "x%A%%A%-x%A%%A%"},
    {"occurrences do not overlap", "%%A%A%%", "%A%", "#", "%#A%%"},
    {"other letter case is not the placeholder", "error: %error%", "%ERROR%", "5", "error: %error%"},
    {"an empty placeholder leaves the text", "a %B% b", "", "x", "a %B% b"},
    {"an empty value removes the placeholder", "[%B%]", "%B%", "", "[]"},
    {"a text without the placeholder is unchanged", "plain text", "%B%", "x", "plain text"},
    {"placeholder at both ends", "%P%middle%P%", "%P%", "<>", "<>middle<>"},
    {"an empty text stays empty", "", "%P%", "x", ""},
};

TEST(Placeholder, Replacement) {
  for (const PlaceholderCase& c : kCases) {
    PlaceholderPair pair{c.placeholder, c.value};
    EXPECT_EQ(ReplacePlaceholder(c.text, pair), c.expected) << c.behaviour;
  }
}

TEST(Placeholder, SeveralPlaceholdersFilledOnePairAtATime) {
  CStr text = "Player %PLAYER% cannot play %FILE%.";
  text = ReplacePlaceholder(text, PlaceholderPair{"%FILE%", "song %PLAYER%.mp3"});
  text = ReplacePlaceholder(text, PlaceholderPair{"%PLAYER%", "Wave"});
  EXPECT_EQ(text, "Player Wave cannot play song Wave.mp3.");
}

// Filled in one pass: values (text from files among them) are inserted as
// they stand and never searched for placeholders again.
TEST(Placeholder, AllPlaceholdersFilledInOnePass) {
  const std::string nul("a\0b", 3);
  struct {
    const char* behaviour;
    const char* text;
    std::string first, second;  // values of %A% and %B%
    std::string expected;
  } cases[] = {
      {"each placeholder gets its own value", "%A% then %B%", "1", "2", "1 then 2"},
      {"a value holding a later placeholder stays as it is", "%A% then %B%", "%B%", "2", "%B% then 2"},
      {"a value holding an earlier placeholder stays as it is", "%A% then %B%", "1", "%A%", "1 then %A%"},
      {"a NUL byte in a value does not end the text", "(%A%): %B%", nul, "why", "(" + nul + "): why"},
      {"every occurrence is filled", "%B%%A%%B%", "1", "2", "212"},
      {"percent signs that start no placeholder stay", "100% %A%%", "x", "y", "100% x%"},
      {"a text without placeholders is unchanged", "plain", "1", "2", "plain"},
  };
  for (const auto& c : cases) {
    const CStr filled =
        FillPlaceholders(c.text, {{"%A%", CStr(c.first.data(), c.first.size())}, {"%B%", CStr(c.second.data(), c.second.size())}});
    EXPECT_EQ(std::string(filled.c_str(), filled.GetLength()), c.expected) << c.behaviour;
  }
}

}  // namespace
