#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/Command.h"
#include "playback/player/CandidateOrder.h"

namespace {

// One 32-bit word written in decimal digits only.
bool ParseWord(const std::string& token, DWORD& word) {
  if (token.empty() || token.size() > 10) return false;
  unsigned long long value = 0;
  for (char c : token) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > 0xFFFFFFFFull) return false;
  word = static_cast<DWORD>(value);
  return true;
}

// Eight words in field order; false for anything else. A line of blanks
// gives no answer and is skipped.
bool ParseAnswer(const std::string& line, CanPlayAnswer& answer, bool& blank) {
  std::istringstream words(line);
  std::vector<DWORD> values;
  std::string token;
  while (words >> token) {
    DWORD word = 0;
    if (!ParseWord(token, word)) return false;
    values.push_back(word);
  }
  blank = values.empty();
  if (blank) return true;
  if (values.size() != 8) return false;
  answer = {values[0], values[1], values[2], values[3], values[4], values[5], values[6], values[7]};
  return true;
}

}  // namespace

TOOL_COMMAND(RunScore, "score",
             "< ANSWERS  read player answers, eight decimal words a line (reserved verdict supportLevel "
             "costLevel exclusiveAccess legacyLevel legacyGroup priority); print each answer's order value "
             "as 0x%08X, one a line, then 'order' and the 0-based indices of the candidates (verdict 1 or 2), "
             "first tried first, equal values in input order") {
  if (!args.empty()) return tool::Fail("score takes no arguments; it reads the answers from stdin");
  std::vector<CanPlayAnswer> answers;
  std::string line;
  for (int number = 1; std::getline(std::cin, line); ++number) {
    std::replace(line.begin(), line.end(), '\r', ' ');
    CanPlayAnswer answer{};
    bool blank = false;
    if (!ParseAnswer(line, answer, blank))
      return tool::Fail("line " + std::to_string(number) + ": expected eight decimal 32-bit words");
    if (!blank) answers.push_back(answer);
  }

  std::vector<DWORD> scores;
  for (const CanPlayAnswer& answer : answers) {
    scores.push_back(ScoreAnswer(answer));
    std::printf("0x%08X\n", scores.back());
  }
  std::vector<size_t> order;
  for (size_t i = 0; i < answers.size(); ++i)
    if (IsCandidateAnswer(answers[i])) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&scores](size_t a, size_t b) { return scores[a] < scores[b]; });
  std::printf("order");
  for (size_t index : order) std::printf(" %zu", index);
  std::printf("\n");
  return 0;
}
