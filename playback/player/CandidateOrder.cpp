#include "playback/player/CandidateOrder.h"

#include <algorithm>

namespace {

// Ranks of one field: rank 0 is best. Values not listed rank 0.
DWORD RankVerdict(DWORD verdict) { return verdict == 2 ? 1 : 0; }

DWORD RankSupportLevel(DWORD level) {
  if (level == 0) return 2;
  if (level == 2) return 1;
  return 0;
}

// costLevel and exclusiveAccess share one table.
DWORD RankOneWorstTwoNext(DWORD value) {
  if (value == 1) return 2;
  if (value == 2) return 1;
  return 0;
}

DWORD RankLegacyLevel(DWORD level) {
  if (level == 0) return 2;
  if (level == 2) return 1;
  return 0;
}

DWORD RankLegacyGroup(DWORD group) {
  switch (group) {
    case 0: return 4;
    case 4: return 3;
    case 3: return 2;
    case 2: return 1;
    default: return 0;
  }
}

}  // namespace

bool IsCandidateAnswer(const CanPlayAnswer& answer) { return answer.verdict == 1 || answer.verdict == 2; }

DWORD ScoreAnswer(const CanPlayAnswer& answer) {
  // Clamped first, so the band stays 0..4 and the fine part 0..63.
  const DWORD priority = std::min<DWORD>(answer.priority, 255) + 31;
  const DWORD band = priority >> 6;
  const DWORD fine = priority & 63;
  return RankVerdict(answer.verdict) | RankLegacyLevel(answer.legacyLevel) << 2 | (63 - fine) << 4 |
         RankSupportLevel(answer.supportLevel) << 10 | (4 - band) << 12 | RankLegacyGroup(answer.legacyGroup) << 15 |
         RankOneWorstTwoNext(answer.costLevel) << 18 | RankOneWorstTwoNext(answer.exclusiveAccess) << 20;
}

int CompareAnswers(const CanPlayAnswer& a, const CanPlayAnswer& b) {
  const DWORD left = ScoreAnswer(a);
  const DWORD right = ScoreAnswer(b);
  if (left < right) return -1;
  return left > right ? 1 : 0;
}
