// GIF animations made with gifsicle from frames written here, read by
// fndtool gifframes. Separate frames keep gifsicle's positions, delays,
// disposal methods and transparent indices (as `gifsicle --info` reports
// them) and ImageMagick's pixels of each frame. Composed frames equal
// ImageMagick's `-coalesce` frames flattened on black where the two agree;
// where they differ (an image shown for no time is merged into the next
// one's frame, and dropped when no image follows), the test follows those
// rules and names them. gifsicle and ImageMagick are test dependencies:
// without them these tests fail.
#include <gtest/gtest.h>

#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "ShellTools.h"
#include "support/TestPaths.h"

using namespace readertest;

namespace {

void RequireTools() {
  ASSERT_EQ(RunShell("gifsicle --version >/dev/null"), 0)
      << "gifsicle is missing: install the package gifsicle (scripts/deps.sh test)";
  ASSERT_EQ(RunShell("convert -version >/dev/null && compare -version >/dev/null"), 0)
      << "ImageMagick is missing: install the package imagemagick (scripts/deps.sh test)";
}

// Colours whose RGB565 forms lose nothing, so that composed frames compare
// exactly; index 0 (black) is the one made transparent.
const std::vector<DWORD> kGifsicleColors = {0x00000000, 0x000000F8, 0x0000FC00, 0x00F80000,
                                    0x00F8FCF8, 0x0000FCF8, 0x00F800F8, 0x00F8FC00};

// A frame file: a block of one colour with a black square and a yellow
// corner, the screen as large as the frame.
std::string WriteFrame(const std::string& dir, const std::string& name, WORD width, WORD height, BYTE color) {
  std::vector<BYTE> indices(static_cast<size_t>(width) * height, color);
  for (WORD y = 1; y < 3 && y < height; ++y)
    for (WORD x = 1; x < 3 && x < width; ++x) indices[y * width + x] = 0;
  indices[0] = 7;
  GIFWriter gif(width, height, kGifsicleColors);
  gif.Add(GIFWriter::Image(width, height, indices)).Trailer();
  const std::string path = dir + "/" + name + ".gif";
  twltest::WriteFile(path, gif.Bytes());
  return path;
}

struct FrameInfo {
  int left = 0, top = 0, key = -1, disposal = 0, delay = 0;
};

// What `gifsicle --info` says of each image, as the reader's separate
// frames give it: disposal "background" 1, "previous" 2, others 0; delay
// in milliseconds; the transparent index as colour key.
std::vector<FrameInfo> GifsicleInfo(const std::string& file) {
  std::string output;
  EXPECT_EQ(RunShell("gifsicle --info " + Quote(file), &output), 0) << output;
  std::vector<FrameInfo> frames;
  std::istringstream lines(output);
  const std::regex image(R"(\+ image #\d+ \d+x\d+(?: at (\d+),(\d+))?(?: transparent (\d+))?)");
  std::smatch match;
  for (std::string line; std::getline(lines, line);) {
    if (std::regex_search(line, match, image)) {
      FrameInfo frame;
      if (match[1].matched) frame.left = std::stoi(match[1]), frame.top = std::stoi(match[2]);
      if (match[3].matched) frame.key = std::stoi(match[3]);
      frames.push_back(frame);
      continue;
    }
    if (frames.empty()) continue;
    if (line.find("disposal background") != std::string::npos) frames.back().disposal = 1;
    if (line.find("disposal previous") != std::string::npos) frames.back().disposal = 2;
    const size_t delay = line.find("delay ");
    if (delay != std::string::npos) frames.back().delay = static_cast<int>(std::stod(line.substr(delay + 6)) * 1000 + 0.5);
  }
  return frames;
}

// The lines of fndtool gifframes' frames.txt as frame facts.
std::vector<FrameInfo> ToolInfo(const std::string& dir) {
  std::vector<FrameInfo> frames;
  std::istringstream lines(twltest::ReadFile(dir + "/frames.txt"));
  const std::regex fields(R"(delay=(\d+) disposal=(\d+) left=(\d+) top=(\d+) .* key=(-?\d+))");
  std::smatch match;
  for (std::string line; std::getline(lines, line);) {
    if (!std::regex_search(line, match, fields)) continue;
    frames.push_back({std::stoi(match[3]), std::stoi(match[4]), std::stoi(match[5]), std::stoi(match[2]),
                      std::stoi(match[1])});
  }
  return frames;
}

int GifFrames(const std::string& file, const std::string& dir, const char* mode, std::string* output) {
  return RunShell(Quote(twltest::ProgramPath("fndtool")) + " gifframes " + Quote(file) + " " + Quote(dir) + " " + mode,
                  output);
}

std::string FrameFile(const std::string& dir, int index) {
  char name[32];
  std::snprintf(name, sizeof name, "/frame-%03d.ppm", index);
  return dir + name;
}

// ImageMagick's composed frames on black, coalesce-0.ppm and so on.
int Coalesce(const std::string& file, const std::string& dir) {
  std::string output;
  EXPECT_EQ(RunShell("mkdir -p " + Quote(dir) + " && convert " + Quote(file) +
                         " -coalesce -background black -alpha remove -alpha off " + Quote(dir + "/coalesce-%d.ppm"),
                     &output),
            0)
      << output;
  int count = 0;
  while (RunShell("test -e " + Quote(dir + "/coalesce-" + std::to_string(count) + ".ppm")) == 0) ++count;
  return count;
}

// Every disposal method, positions, transparency from the third frame on;
// the delays of the six frames in hundredths of a second.
std::string MakeAnimation(const std::string& dir, const std::vector<int>& delays) {
  struct {
    const char* name;
    WORD width, height;
    BYTE color;
    const char* options;
  } frames[] = {
      {"f0", 24, 16, 1, "-D none"},
      {"f1", 10, 8, 2, "-D background -p 3,2"},
      {"f2", 8, 6, 3, "-D previous -p 12,6 -t '#000000'"},
      {"f3", 6, 6, 4, "-D asis -p 1,9"},
      {"f4", 5, 4, 5, "-D none -p 15,1"},
      {"f5", 7, 3, 6, "-D background -p 17,12"},
  };
  std::string command = "gifsicle -S 24x16";
  for (size_t i = 0; i < std::size(frames); ++i) {
    const auto& frame = frames[i];
    command += " -d " + std::to_string(delays.at(i)) + " " + frame.options + " " +
               Quote(WriteFrame(dir, frame.name, frame.width, frame.height, frame.color));
  }
  const std::string out = dir + "/animation.gif";
  std::string output;
  EXPECT_EQ(RunShell(command + " > " + Quote(out), &output), 0) << output;
  return out;
}

TEST(Gifsicle, SeparateFramesKeepPositionsTimingDisposalKeysAndPixels) {
  RequireTools();
  const std::string dir = twltest::MakeTempDir("separate");
  const std::string animation = MakeAnimation(dir, {7, 7, 7, 7, 7, 7});
  std::string output;
  ASSERT_EQ(GifFrames(animation, dir + "/frames", "separate", &output), 0) << output;
  const std::vector<FrameInfo> expected = GifsicleInfo(animation);
  const std::vector<FrameInfo> frames = ToolInfo(dir + "/frames");
  ASSERT_EQ(expected.size(), 6u);
  ASSERT_EQ(frames.size(), expected.size());
  for (size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].left, expected[i].left) << i;
    EXPECT_EQ(frames[i].top, expected[i].top) << i;
    EXPECT_EQ(frames[i].key, expected[i].key) << i;
    EXPECT_EQ(frames[i].disposal, expected[i].disposal) << i;
    EXPECT_EQ(frames[i].delay, 70) << i;
    // ImageMagick's decode of the frame alone.
    const std::string single = dir + "/single-" + std::to_string(i) + ".gif";
    ASSERT_EQ(RunShell("convert " + Quote(animation + "[" + std::to_string(i) + "]") + " +repage " + Quote(single),
                       &output),
              0)
        << output;
    EXPECT_EQ(DifferingPixels(FrameFile(dir + "/frames", static_cast<int>(i)), single), "0") << i;
  }
  EXPECT_EQ(frames[2].key, 0) << "gifsicle made black (index 0) transparent";
}

TEST(Gifsicle, ComposedFramesEqualImageMagicksCoalescedFrames) {
  RequireTools();
  const std::string dir = twltest::MakeTempDir("composed");
  const std::string animation = MakeAnimation(dir, {7, 7, 7, 7, 7, 7});
  std::string output;
  ASSERT_EQ(GifFrames(animation, dir + "/frames", "composed", &output), 0) << output;
  const int coalesced = Coalesce(animation, dir + "/coalesce");
  ASSERT_EQ(coalesced, 6);
  ASSERT_EQ(ToolInfo(dir + "/frames").size(), 6u);
  for (int i = 0; i < coalesced; ++i)
    EXPECT_EQ(DifferingPixels(FrameFile(dir + "/frames", i), dir + "/coalesce/coalesce-" + std::to_string(i) + ".ppm"),
              "0")
        << "frame " << i;
}

// ImageMagick shows every image; the reader merges an image shown for no
// time into the frame of the next one, which then equals ImageMagick's
// frame of that next image, and drops it when no image follows.
TEST(Gifsicle, ImagesShownForNoTimeMergeIntoTheNextFrame) {
  RequireTools();
  const std::string dir = twltest::MakeTempDir("zero");
  const std::string animation = MakeAnimation(dir, {7, 0, 0, 7, 7, 0});
  std::string output;
  ASSERT_EQ(GifFrames(animation, dir + "/frames", "composed", &output), 0) << output;
  const int coalesced = Coalesce(animation, dir + "/coalesce");
  ASSERT_EQ(coalesced, 6);
  // Frames: f0; f1 + f2 + f3 (shown as ImageMagick's frame 3); f4; f5 dropped.
  const std::vector<FrameInfo> frames = ToolInfo(dir + "/frames");
  ASSERT_EQ(frames.size(), 3u);
  const int sameAs[3] = {0, 3, 4};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(frames[static_cast<size_t>(i)].delay, 70) << i;
    EXPECT_EQ(DifferingPixels(FrameFile(dir + "/frames", i),
                              dir + "/coalesce/coalesce-" + std::to_string(sameAs[i]) + ".ppm"),
              "0")
        << "frame " << i << " against ImageMagick's frame " << sameAs[i];
  }
}

}  // namespace
