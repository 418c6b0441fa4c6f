#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <vector>

#include "HostCalls.h"
#include "PlugInDataStart.h"
#include "StdoutLogFront.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "driver/StdIo.h"

using twltool::Host;
using twltool::HostErrorText;

namespace {

// One piece to copy: from `offset` (none: where the stream stands), at
// most `count` bytes.
struct Range {
  bool seek = false;
  int64_t offset = 0;
  uint64_t count = UINT64_MAX;
};

struct Options {
  DWORD flags = HOST_STREAM_READ;
  DWORD chunk = 64 * 1024;
  std::vector<Range> ranges{Range{}};
  std::string plugIns;  // empty: no plug-ins
  bool stats = false;   // the bytes and the time from open to close on stderr
  std::string url;
};

// False with the message for a bad command line.
bool ParseOptions(const tool::Args& args, Options& options, std::string& message) {
  uint64_t number = 0;
  int64_t offset = 0;
  size_t i = 0;
  for (; i + 1 < args.size() && args[i].starts_with("--"); i += 2) {
    if (args[i] == "--stats") {
      options.stats = true;
      --i;
      continue;
    }
    const std::string& name = args[i];
    const std::string& value = args[i + 1];
    if (name == "--flags" && tool::ParseUnsigned(value, number, 0xFFFFFFFF)) {
      options.flags = static_cast<DWORD>(number);
    } else if (name == "--chunk" && tool::ParseUnsigned(value, number, 0x7FFFFFFF) && number > 0) {
      options.chunk = static_cast<DWORD>(number);
    } else if (name == "--seek" && tool::ParseSigned(value, offset)) {
      // Each --seek after the first starts another piece.
      if (options.ranges.back().seek) options.ranges.emplace_back();
      options.ranges.back().seek = true;
      options.ranges.back().offset = offset;
    } else if (name == "--count" && tool::ParseUnsigned(value, number)) {
      options.ranges.back().count = number;
    } else if (name == "--plugins" && !value.empty()) {
      options.plugIns = value;
    } else {
      message = "bad option " + name + " " + value;
      return false;
    }
  }
  if (i + 1 != args.size()) {
    message = "hostcat takes options and one URL";
    return false;
  }
  options.url = args[i];
  return true;
}

int64_t Join(const DWORD* words) { return static_cast<int64_t>((static_cast<uint64_t>(words[1]) << 32) | words[0]); }

// Reads a piece to stdout; false with the reason in the thread error (or a
// message when stdout fails).
bool CopyToStdout(HOST_STREAM stream, const Options& options, const Range& range, uint64_t& copied,
                  std::string& message) {
  if (range.seek) {
    const auto words = static_cast<uint64_t>(range.offset);
    DWORD reached[2];
    if (!Host().HOST_StreamSeek(stream, static_cast<DWORD>(words), static_cast<DWORD>(words >> 32), 0, reached,
                                nullptr)) {
      message = HostErrorText();
      return false;
    }
  }
  std::unique_ptr<char[]> buffer(new char[options.chunk]);
  for (uint64_t left = range.count; left > 0;) {
    const DWORD size = static_cast<DWORD>(std::min<uint64_t>(left, options.chunk));
    DWORD got = 0;
    if (!Host().HOST_StreamRead(stream, buffer.get(), size, &got)) {
      message = HostErrorText();
      return false;
    }
    if (!tool::WriteStdout(buffer.get(), got)) {
      message = "cannot write to stdout";
      return false;
    }
    left -= got;
    copied += got;
    if (got < size) break;
  }
  return true;
}

}  // namespace

TOOL_COMMAND(RunHostCat, "hostcat",
             "[--plugins DIR] [--stats] [--flags HEX] [--chunk N] [--seek OFFSET [--count N]]... URL  read URL as a plug-in "
             "does, through the host API (open, flags, length, then per --seek a seek from the start and at most N "
             "bytes, else everything, read in chunks of N bytes, default 65536, close): "
             "the bytes to stdout, \"flags 0x%08X length N\" (flags in plug-in form, length -1 when unknown) to "
             "stderr; --flags are plug-in open flags (default 0x1); with --plugins, DIR's plug-ins are loaded and "
             "the data system starts with their stream providers, the proxy settings and the stored time-out as "
             "the player starts it (the log to stderr as it is written); at the end the providers exit and the "
             "plug-ins unload; --stats ends stderr with \"read N bytes in S s\", the bytes copied and the wall-clock "
             "seconds from open to close") {
  Options options;
  std::string message;
  if (!ParseOptions(args, options, message)) return tool::Fail(message);
  std::unique_ptr<twltool::StdoutLogFront> log;
  if (!options.plugIns.empty()) log = std::make_unique<twltool::StdoutLogFront>(stderr);
  twltool::PlugInDataStart start(options.plugIns);
  if (!options.plugIns.empty()) start.StartProxies();

  using Clock = std::chrono::steady_clock;
  const Clock::time_point opened = Clock::now();
  uint64_t copied = 0;
  HOST_STREAM stream = nullptr;
  if (!Host().HOST_OpenStream(options.url.c_str(), options.flags, 0, nullptr, &stream)) {
    return tool::Fail(HostErrorText());
  }
  DWORD flags = 0;
  DWORD length[2] = {0, 0};
  bool ok = Host().HOST_StreamGetFlags(stream, &flags) && Host().HOST_StreamGetLength(stream, FALSE, length, 0);
  if (ok) std::fprintf(stderr, "flags 0x%08X length %" PRId64 "\n", flags, Join(length));
  if (!ok) message = HostErrorText();
  for (const Range& range : options.ranges) {
    if (ok) ok = CopyToStdout(stream, options, range, copied, message);
  }
  if (ok && !Host().HOST_StreamClose(stream)) return tool::Fail(HostErrorText());
  if (!ok) {
    Host().HOST_StreamRelease(stream);
    return tool::Fail(message);
  }
  if (options.stats) {
    const std::chrono::duration<double> took = Clock::now() - opened;
    std::fprintf(stderr, "read %" PRIu64 " bytes in %.6f s\n", copied, took.count());
  }
  return 0;
}
