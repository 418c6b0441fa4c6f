#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "HostCalls.h"
#include "WavFile.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "twlwin/testing_user.h"

using twltool::Host;
using twltool::HostErrorText;

namespace {

struct SpectrumOptions {
  int32_t bits = 0;
  DWORD rate = 0;
  DWORD updates = 0;
  DWORD type = HOST_SPECTRUM_ONE;
  bool mix = false;
  std::string path;
};

constexpr DWORD kFeedLeadMilliseconds = 100;  // how far ahead of playing the sound is fed
constexpr DWORD kBlocksPerSecond = 20;

constexpr char kUsage[] = "spectrum takes --bits B --rate R --ups U [--type 1|2] [--mix] and one file";

// The values themselves are the host's to judge, as a plug-in's would be.
bool ParseOptions(const tool::Args& args, SpectrumOptions& options) {
  bool bitsGiven = false;
  bool rateGiven = false;
  bool updatesGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    uint64_t number = 0;
    int64_t bits = 0;
    if (arg == "--mix") {
      options.mix = true;
    } else if (arg == "--bits" && hasValue && tool::ParseSigned(args[i + 1], bits) && bits >= INT32_MIN &&
               bits <= INT32_MAX) {
      options.bits = static_cast<int32_t>(bits);
      bitsGiven = true;
      ++i;
    } else if ((arg == "--rate" || arg == "--ups" || arg == "--type") && hasValue &&
               tool::ParseUnsigned(args[i + 1], number, 0xFFFFFFFF)) {
      const DWORD value = static_cast<DWORD>(number);
      if (arg == "--rate") {
        options.rate = value;
        rateGiven = true;
      } else if (arg == "--ups") {
        options.updates = value;
        updatesGiven = true;
      } else {
        options.type = value;
      }
      ++i;
    } else if (options.path.empty() && i + 1 == args.size() && !arg.starts_with("--")) {
      options.path = arg;
    } else {
      return false;
    }
  }
  return bitsGiven && rateGiven && updatesGiven && !options.path.empty();
}

void AppendValues(std::string& line, const int16_t* values, int bands) {
  for (int j = 0; j < bands; ++j) {
    line += ' ';
    line += std::to_string(values[j]);
  }
}

void PrintFrame(const HostSpectrumFrame& frame, DWORD start, int bands) {
  std::string line = std::to_string(static_cast<int32_t>(frame.time - start));
  AppendValues(line, frame.values, bands);
  if (frame.rightValues) {
    line += " |";
    AppendValues(line, frame.rightValues, bands);
  }
  std::printf("%s\n", line.c_str());
}

}  // namespace

TOOL_COMMAND(RunSpectrum, "spectrum",
             "--bits B --rate R --ups U [--type 1|2] [--mix] FILE.wav\n"
             "      plays a PCM WAV file (8 or 16 bits, 1 or 2 channels) to a spectrum analyser as a\n"
             "      visualizer plug-in would, through the host API, on a clock of its own: 2^B bands up\n"
             "      to R/2 Hz, U updates a second, type 1 (one spectrum; --mix averages stereo) or 2\n"
             "      (left and right). The sound is fed in blocks of 1/20 s, 100 ms before each is heard;\n"
             "      once per update the newest due frame is taken and printed, once, as 'TIME m0 m1 ...' (TIME:\n"
             "      the frame's milliseconds after the sound's start; type 2 adds '| r0 r1 ...')") {
  SpectrumOptions options;
  if (!ParseOptions(args, options)) return tool::Fail(std::string("spectrum: ") + kUsage);
  std::string error;
  std::string bytes;
  twltool::WavSound sound;
  if (!twltool::LoadWav(options.path, bytes, sound, error)) return tool::Fail("spectrum: " + error);

  // The analyser's update clock starts at its creation: on the tool's clock.
  TwlTestUseManualClock(TRUE);
  TwlTestSleepAdvancesClock(TRUE);
  HOST_SPECTRUMANALYZER analyzer = nullptr;
  if (!Host().HOST_CreateSpectrumAnalyzer(options.bits, options.rate, options.type, options.updates,
                                          options.mix ? HOST_SPECTRUM_MIX : 0, &analyzer)) {
    return tool::Fail("spectrum: " + HostErrorText());
  }

  const int bands = 1 << options.bits;
  const DWORD frameBytes = sound.bits / 8u * sound.channels;
  const size_t blockBytes = std::max<size_t>(sound.rate / kBlocksPerSecond, 1) * frameBytes;
  const DWORD start = timeGetTime();
  const auto playTime = [&](size_t at) {
    return start + static_cast<DWORD>(static_cast<uint64_t>(at / frameBytes) * 1000 / sound.rate);
  };
  const DWORD end = playTime(sound.data.size()) + 2 * (1000 / options.updates + 1);
  size_t fed = 0;
  const HostSpectrumFrame* printed = nullptr;
  DWORD printedTime = 0;
  while (static_cast<int32_t>(timeGetTime() - end) < 0) {
    while (fed < sound.data.size() &&
           static_cast<int32_t>(playTime(fed) - timeGetTime()) <= static_cast<int32_t>(kFeedLeadMilliseconds)) {
      const size_t size = std::min(blockBytes, sound.data.size() - fed);
      Host().HOST_SpectrumFeed(analyzer, sound.data.data() + fed, static_cast<DWORD>(size), playTime(fed), sound.rate,
                               sound.bits, sound.channels);
      fed += size;
    }
    Host().HOST_SpectrumWaitForUpdate(analyzer);
    // A frame given back comes again until a newer one is due; it is
    // printed once.
    if (HostSpectrumFrame* frame = Host().HOST_SpectrumGetFrame(analyzer)) {
      if (frame != printed || frame->time != printedTime) PrintFrame(*frame, start, bands);
      printed = frame;
      printedTime = frame->time;
      Host().HOST_SpectrumReleaseFrame(analyzer, frame);
    }
  }
  Host().HOST_DestroySpectrumAnalyzer(analyzer);
  return 0;
}
