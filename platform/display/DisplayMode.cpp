#include "DisplayMode.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "PixelFormats.h"
#include "twlwin/testing_user.h"

namespace twl::display {
namespace {

constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;
constexpr int kDefaultDepth = 32;
constexpr int kBuiltInRefreshRate = 60;

struct State {
  std::mutex lock;
  Mode first;  // the mode the process started in
  Mode mode;
  uint64_t generation = 1;
  uint64_t lossCount = 1;
  std::vector<Mode> offered;  // empty: the built-in list
};

Mode MakeMode(int width, int height, int depth) {
  Mode mode;
  mode.width = width;
  mode.height = height;
  FormatForDepth(depth, &mode.format);
  return mode;
}

Mode StartMode() {
  const char* text = std::getenv("TWL_DISPLAY");
  if (!text || !*text) return MakeMode(kDefaultWidth, kDefaultHeight, kDefaultDepth);
  Mode mode;
  std::string problem;
  if (ParseMode(text, &mode, &problem)) return mode;
  std::fprintf(stderr, "TWL_DISPLAY=%s is not used: %s; the display is %dx%dx%d\n", text, problem.c_str(),
               kDefaultWidth, kDefaultHeight, kDefaultDepth);
  return MakeMode(kDefaultWidth, kDefaultHeight, kDefaultDepth);
}

// The depth the window model's screen records for a format: its code for
// the formats the layer makes, else the bit count.
int ScreenDepth(const DDPIXELFORMAT& format) {
  int depth = DepthOfFormat(format);
  return depth ? depth : static_cast<int>(format.dwRGBBitCount);
}

void ResizeScreen(const Mode& mode) { TwlTestSetScreen(mode.width, mode.height, ScreenDepth(mode.format)); }

State& TheState() {
  static State* state = [] {
    auto* made = new State;  // never destroyed: read while the process exits
    made->first = StartMode();
    made->mode = made->first;
    ResizeScreen(made->mode);
    return made;
  }();
  return *state;
}

// The display takes its first mode while the layer loads, so that the
// screen's size is right before any window exists.
const bool kStartModeApplied = (TheState(), true);

bool SameMode(const Mode& a, const Mode& b) {
  return a.width == b.width && a.height == b.height && SameFormat(a.format, b.format);
}

std::vector<Mode> BuiltInModes(const Mode& first) {
  static constexpr int kSizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}, {1600, 1200}};
  const int sixteen = DepthOfFormat(first.format) == 15 ? 15 : 16;
  std::vector<Mode> modes;
  auto addSize = [&](int width, int height) {
    for (int depth : {8, sixteen, 24, 32}) {
      Mode mode = MakeMode(width, height, depth);
      mode.refreshRate = kBuiltInRefreshRate;
      modes.push_back(mode);
    }
  };
  bool firstListed = false;
  for (const auto& size : kSizes) {
    if (size[0] > first.width || size[1] > first.height) continue;
    addSize(size[0], size[1]);
    firstListed = firstListed || (size[0] == first.width && size[1] == first.height);
  }
  if (!firstListed) addSize(first.width, first.height);
  return modes;
}

}  // namespace

CurrentMode Current() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  return CurrentMode{state.mode, state.generation};
}

uint64_t LossCount() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  return state.lossCount;
}

bool ChangeMode(const Mode& mode) {
  State& state = TheState();
  {
    std::lock_guard guard(state.lock);
    if (SameMode(state.mode, mode)) return false;
    state.mode = mode;
    ++state.generation;
    ++state.lossCount;
  }
  ResizeScreen(mode);
  return true;
}

void LoseSurfaces() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  ++state.lossCount;
}

std::vector<Mode> OfferedModes() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  return state.offered.empty() ? BuiltInModes(state.first) : state.offered;
}

void SetOfferedModes(std::vector<Mode> modes) {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  state.offered = std::move(modes);
}

bool ParseMode(const std::string& text, Mode* mode, std::string* problem) {
  int width = 0;
  int height = 0;
  int depth = 0;
  int used = 0;
  if (std::sscanf(text.c_str(), "%5dx%5dx%2d%n", &width, &height, &depth, &used) != 3 ||
      used != static_cast<int>(text.size())) {
    *problem = "a mode is written WIDTHxHEIGHTxBITS, such as 800x600x16";
    return false;
  }
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    *problem = "width and height must lie between 1 and " + std::to_string(kMaxSide);
    return false;
  }
  Mode parsed;
  if (!FormatForDepth(depth, &parsed.format)) {
    *problem = "the bits per pixel must be 4, 8, 15, 16, 24 or 32";
    return false;
  }
  parsed.width = width;
  parsed.height = height;
  *mode = parsed;
  return true;
}

}  // namespace twl::display
