// A recorder folder for the kilnartool write-image tests: an ISO image
// made by genisoimage from a file of pattern bytes, burned on an emulated
// recorder of a given model, and the checks on the disc and the log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kilnar/EmulatedRecorder.h"

namespace kilnartest {

struct ImageBurnFolder : EmulatedRecorderFolder {
  std::string image = folder + "/image.iso";

  ImageBurnFolder(const std::string& volume, unsigned seed) {
    const std::string source = folder + "/src";
    twltest::RunCommand("mkdir -p " + Quoted(source));
    twltest::WriteFile(source + "/data.bin", PatternBytes(90000, seed));
    EXPECT_EQ(twltest::RunCommand("genisoimage -quiet -V " + volume + " -o " + Quoted(image) + " " + Quoted(source) +
                                  " 2>/dev/null"),
              0);
  }
  // write-image of the image with these options on a fresh disc and log.
  int Burn(const std::string& inquiry, const std::string& options, std::string& output, std::string& error,
           const std::string& more = "") {
    twltest::RunCommand("rm -f " + Quoted(disc) + " " + Quoted(disc + ".layout") + " " + Quoted(log));
    return RunKilnartool("write-image " + Quoted(image) + " " + options, &output,
                         Environment("TWL_CLOCK=fast TWL_RECORDER_INQUIRY=" + Quoted(inquiry) + " " + more), &error);
  }
  bool DiscBeginsWithImage() const {
    return twltest::RunCommand("cmp -n " + std::to_string(FileSize(image)) + " " + Quoted(image) + " " +
                               Quoted(disc)) == 0;
  }
  // Each of `lines` begins a logged line, in this order.
  ::testing::AssertionResult LoggedInOrder(const std::vector<std::string>& lines) const {
    size_t next = 0;
    for (const auto& line : LogLines())
      if (next < lines.size() && line.rfind(lines[next], 0) == 0) ++next;
    if (next == lines.size()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "missing in order: " << lines[next];
  }
  int Count(const std::string& start) const { return CountLogged(start); }
};

struct TrackAtOnceBurn {
  const char* inquiry;
  const char* className;
  // Lines of the log, in this order among others: how the track's
  // parameters go out, the first write, the close.
  std::vector<std::string> sequence;
};

// Each model burns the image track-at-once on the class named, closes the
// session, and its log holds the lines in order.
inline void ExpectEachBurnsTrackAtOnce(ImageBurnFolder& place, const std::vector<TrackAtOnceBurn>& rows) {
  for (const TrackAtOnceBurn& row : rows) {
    SCOPED_TRACE(row.className);
    std::string output, error;
    ASSERT_EQ(place.Burn(row.inquiry, "", output, error), 0) << error;
    EXPECT_EQ(output.rfind(std::string("recorder ") + row.className + "\n", 0), 0u) << output;
    EXPECT_NE(output.find("\nclosed\n"), std::string::npos);
    EXPECT_TRUE(place.DiscBeginsWithImage());
    EXPECT_TRUE(place.LoggedInOrder(row.sequence));
  }
}

}  // namespace kilnartest
