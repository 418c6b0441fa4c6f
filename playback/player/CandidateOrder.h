// The order in which players that can play a file are tried, derived from
// their CanPlayAnswer alone. Each answer maps to one unsigned order value;
// lower values are tried first. Answers compare first by exclusive access,
// then cost, legacy group, priority band (0-32, 33-96, 97-160, 161-224,
// 225-255; higher is better), support level, priority within its band,
// legacy level and last the verdict (1 before 2).
//
// Threading: pure functions of the records.
#pragma once

#include <windows.h>

#include "pluginhost/abi/CanPlayAnswer.h"

// Only verdicts 1 and 2 make a player a candidate.
bool IsCandidateAnswer(const CanPlayAnswer& answer);

// The order value (22 bits). Any word ranks: a value that a field's rank
// table does not list ranks 0, and a priority above 255 counts as 255.
DWORD ScoreAnswer(const CanPlayAnswer& answer);

// -1, 0 or 1 as `a` is tried before, together with or after `b`.
int CompareAnswers(const CanPlayAnswer& a, const CanPlayAnswer& b);
