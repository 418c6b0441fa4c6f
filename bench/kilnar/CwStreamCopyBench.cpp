// Copying a 64 MiB file through the engine's block streams (a read-only
// CwStream into a written one, 64 KiB pieces) against `dd bs=32k` copying
// the same file in the same folder, both timed inside each iteration so
// that they meet the same page cache and disk. The counter `ratio` is the
// stream's speed over dd's; the goal is at least 0.8.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "kilnar/AgainstDd.h"
#include "kilnar/recorder/CwStream.h"

namespace {

using kilnarbench::BenchFolder;

constexpr uint32_t kFileSize = 64u << 20;
constexpr uint32_t kPiece = 64u << 10;


bool CopyThroughStreams(const std::string& source, const std::string& target, std::vector<uint8_t>& piece) {
  CwStream input(source.c_str(), true);
  CwStream output(target.c_str(), false);
  if (!input.IsOpen() || !output.IsOpen()) return false;
  for (uint32_t done = 0; done < kFileSize; done += kPiece)
    if (!input.Read(piece.data(), kPiece) || !output.Write(piece.data(), kPiece)) return false;
  output.Close();
  return !output.IsOpen();
}

void BM_CwStreamCopyVsDd(benchmark::State& state) {
  const std::string source = kilnarbench::MakePatternFile(
      BenchFolder() + "/kilnar-copy-src-" + std::to_string(getpid()) + ".bin", kFileSize, 7);
  const std::string streamTarget = source + ".stream";
  const std::string ddTarget = source + ".dd";
  const std::string dd = "dd if='" + source + "' of='" + ddTarget + "' bs=32k status=none";
  std::vector<uint8_t> piece(kPiece);
  kilnarbench::TimeAgainstDd(
      state, "cwstream",
      [&] { return CopyThroughStreams(source, streamTarget, piece) ? std::string() : "stream copy failed"; }, dd,
      static_cast<double>(kFileSize) / (1 << 20));
  unlink(source.c_str());
  unlink(streamTarget.c_str());
  unlink(ddTarget.c_str());
}
BENCHMARK(BM_CwStreamCopyVsDd)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
