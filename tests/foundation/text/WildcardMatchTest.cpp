// The wildcard matcher: its rules by example, python's fnmatchcase as a
// second opinion on random patterns, and the number of steps a pattern
// with many stars takes against a long text.
#include "foundation/kernel/WildcardMatch.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestPaths.h"

namespace {

TEST(WildcardMatch, Rules) {
  const struct {
    const char* why;
    const char* text;
    const char* pattern;
    bool caseSensitive;
    bool matches;
  } rows[] = {
      {"a star at the end takes the empty rest", "a", "a*", false, true},
      {"a star before a letter needs that letter", "", "*b", false, false},
      {"? needs a character", "", "?", false, false},
      {"? takes any one character", "abc", "A?C", false, true},
      {"letters differ by case when asked", "abc", "A?C", true, false},
      {"the rest after a star is tried at the end of the text too", "a", "*a**", false, true},
      {"stars in a row match as one star", "xy", "x***y", false, true},
      {"a run of stars matches a run of anything", "xay", "x***a*y", false, true},
      {"without a star the whole text must match", "x.mp3", "mp3", false, false},
      {"an extension pattern matches a URL whatever its case", "file:///m/X.MP3", "*.mp3", false, true},
      {"a later occurrence is found after a false start", "abab-abac", "*abac", false, true},
      {"the pattern must reach the end of the text", "abcd", "a*c", false, false},
      {"? takes a whole UTF-8 character", "\xC3\xA9", "?", false, true},
      {"one UTF-8 character is one ?, not two", "\xC3\xA9", "??", false, false},
      {"bytes above ASCII are compared as they are", "\xC3\xA9t\xC3\xA9", "*\xC3\xA9", false, true},
      {"a null text is the empty text", nullptr, "*", false, true},
      {"a null text does not match a letter", nullptr, "a", false, false},
      {"a null pattern matches everything", "anything", nullptr, true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(MatchWildcard(row.text, row.pattern, row.caseSensitive), row.matches);
  }
}

std::string RandomText(std::mt19937& random, const std::string& alphabet, size_t maxLength) {
  std::string text(std::uniform_int_distribution<size_t>(0, maxLength)(random), ' ');
  for (char& c : text) c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Few letters make matches frequent; upper-case letters on both sides show
// that case is ignored.
TEST(WildcardMatch, AgreesWithPythonFnmatchOnLowerCasedRandomPatterns) {
  std::mt19937 random(31);
  struct Case {
    std::string text, pattern;
  };
  std::vector<Case> cases;
  for (int i = 0; i < 1000; ++i) cases.push_back({RandomText(random, "abAB", 12), RandomText(random, "**?abB", 8)});

  std::ostringstream input;
  for (const Case& c : cases) input << Lower(c.pattern) << '\t' << Lower(c.text) << '\n';
  const std::string folder = twltest::MakeTempDir("fnmatch");
  twltest::WriteFile(folder + "/cases.txt", input.str());
  twltest::WriteFile(folder + "/check.py",
                     "import fnmatch, sys\n"
                     "for line in open(sys.argv[1]):\n"
                     "    pattern, text = line.rstrip('\\n').split('\\t')\n"
                     "    print(1 if fnmatch.fnmatchcase(text, pattern) else 0)\n");
  std::string output;
  ASSERT_EQ(twltest::RunCommand("python3 '" + folder + "/check.py' '" + folder + "/cases.txt'", &output), 0);
  std::istringstream answers(output);
  int matched = 0;
  for (const Case& c : cases) {
    int expected = -1;
    ASSERT_TRUE(answers >> expected);
    EXPECT_EQ(MatchWildcard(c.text.c_str(), c.pattern.c_str(), false), expected == 1)
        << "pattern '" << c.pattern << "' text '" << c.text << "'";
    matched += expected;
  }
  EXPECT_GT(matched, 100) << "the cases should match often enough to mean something";
  EXPECT_LT(matched, 900);
}

// Thirty stars, each followed by a letter the text has plenty of, and a
// last letter it lacks: the recursive form tries every way of placing the
// stars (exponential in their number); this one only moves the last star.
TEST(WildcardMatch, ThirtyStarsTakeStepsLinearInTheText) {
  std::string pattern;
  for (int star = 0; star < 29; ++star) pattern += "*a";
  pattern += "*b";
  const auto stepsFor = [&](size_t length, bool matches) {
    std::string text(length, 'a');
    if (matches) text.back() = 'b';
    size_t steps = 0;
    EXPECT_EQ(MatchWildcard(text.c_str(), pattern.c_str(), false, steps), matches);
    return steps;
  };
  const size_t tenThousand = stepsFor(10000, false);
  const size_t twentyThousand = stepsFor(20000, false);
  EXPECT_LE(tenThousand, 2u * 10000u) << tenThousand;
  EXPECT_LE(twentyThousand, 2u * tenThousand + 100u) << "twice the text, at most twice the steps";
  EXPECT_LE(stepsFor(10000, true), 2u * 10000u);
}

}  // namespace
