// Picking the player preference for a URL: the wildcard matcher on a
// pattern of thirty stars against texts of growing length, and the
// preference lookup the player system makes before playing a file. The
// time (and the counter steps_per_char) should stay flat per character as
// the text grows: the matcher moves only its last star.
#include <benchmark/benchmark.h>

#include <string>

#include "foundation/kernel/WildcardMatch.h"
#include "playback/player/ObjectPreference.h"

namespace {

// Thirty stars, each before a letter the text is full of, then a letter it
// lacks: no match, found out only at the end of the text.
std::string ThirtyStars() {
  std::string pattern;
  for (int star = 0; star < 29; ++star) pattern += "*a";
  return pattern + "*b";
}

void BM_ThirtyStarsAgainstText(benchmark::State& state) {
  const std::string pattern = ThirtyStars();
  const std::string text(static_cast<size_t>(state.range(0)), 'a');
  size_t steps = 0;
  for (auto _ : state) {
    steps = 0;
    benchmark::DoNotOptimize(MatchWildcard(text.c_str(), pattern.c_str(), false, steps));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
  state.counters["steps_per_char"] = static_cast<double>(steps) / static_cast<double>(state.range(0));
}
BENCHMARK(BM_ThirtyStarsAgainstText)->RangeMultiplier(4)->Range(2500, 160000);

// Twenty extension records, the match in the last one, for a long URL.
void BM_PreferenceLookupForAUrl(benchmark::State& state) {
  CObjectPreferenceManager preferences;
  for (int i = 0; i < 19; ++i) preferences.Add(("*.ext" + std::to_string(i)).c_str())->AddKey("Player");
  preferences.Add("*.mp3")->AddKey("Player");
  const std::string url = "file:///home/user/Music/" + std::string(200, 'x') + "/Track 01.MP3";
  for (auto _ : state) benchmark::DoNotOptimize(preferences.Find(url.c_str()));
}
BENCHMARK(BM_PreferenceLookupForAUrl);

}  // namespace
