#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/Command.h"
#include "driver/Numbers.h"
#include "kilnar/recorder/CwProgressStream.h"
#include "kilnar/recorder/CwStream.h"

namespace {

constexpr uint64_t kMaximumChunk = 64u << 20;

// The last percentage printed, so that each is printed once.
int64_t lastPercent = -1;

void PrintProgress(uint32_t percent) {
  if (percent == lastPercent) return;
  lastPercent = percent;
  std::printf("progress %u\n", percent);
}

struct CopyOptions {
  uint64_t chunk = 1000;
  bool totalGiven = false;
  uint64_t total = 0;
};

bool ParseCopyOptions(const tool::Args& args, CopyOptions& options) {
  for (size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return false;
    if (args[i] == "--chunk") {
      if (!tool::ParseUnsigned(args[i + 1], options.chunk, kMaximumChunk) || options.chunk == 0) return false;
    } else if (args[i] == "--total") {
      if (!tool::ParseUnsigned(args[i + 1], options.total, 0xFFFFFFFFu)) return false;
      options.totalGiven = true;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

TOOL_COMMAND(RunStreamCopy, "stream-copy",
             "SRC DST [--chunk N] [--total N]  copy SRC to DST through the engine's streams: SRC read in pieces of "
             "N bytes (default 1000), DST written through a progress stream whose total is --total (default SRC's "
             "size); prints `progress P` at each new percentage, then `copied N bytes`") {
  CopyOptions options;
  if (args.size() < 2 || !ParseCopyOptions(args, options))
    return tool::Fail("stream-copy takes SRC DST [--chunk N (1 to 67108864)] [--total N (32-bit)]");
  CwStream source(args[0].c_str(), true);
  if (!source.IsOpen()) return tool::Fail("cannot open " + args[0] + ": " + source.GetErrorText());
  const uint32_t size = source.GetSize();
  CwProgressStream target(args[1].c_str(), options.totalGiven ? static_cast<uint32_t>(options.total) : size,
                          &PrintProgress);
  if (!target.IsOpen()) return tool::Fail("cannot open " + args[1] + ": " + target.GetErrorText());
  std::vector<uint8_t> piece(options.chunk);
  uint32_t copied = 0;
  while (copied < size) {
    const uint32_t length = static_cast<uint32_t>(std::min<uint64_t>(options.chunk, size - copied));
    if (!source.Read(piece.data(), length)) return tool::Fail("cannot read " + args[0] + ": " + source.GetErrorText());
    if (!target.Write(piece.data(), length))
      return tool::Fail("cannot write " + args[1] + ": " + target.GetErrorText());
    copied += length;
  }
  target.Close();
  if (target.IsOpen()) return tool::Fail("cannot write " + args[1] + ": " + target.GetErrorText());
  std::printf("copied %u bytes\n", copied);
  return 0;
}
