#include "foundation/kernel/Placeholder.h"

#include <gtest/gtest.h>

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

}  // namespace
