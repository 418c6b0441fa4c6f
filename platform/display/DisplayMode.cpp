#include "DisplayMode.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "PixelFormats.h"
#include "platform/user/DisplayMode.h"

namespace twl::display {
namespace {

constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;
constexpr int kDefaultDepth = 32;
constexpr int kBuiltInRefreshRate = 60;

// The window model keeps the screen's size, depth and generation; this
// keeps what a depth alone does not say.
struct State {
  std::mutex lock;
  Mode first;  // the mode the process started in
  // The format of the last mode set here; it describes the display while
  // the depth is still its bit count. Set before the window model hears of
  // the change, so windows that ask during WM_DISPLAYCHANGE see it.
  DDPIXELFORMAT format{};
  int refreshRate = 0;
  uint32_t refreshGeneration = 0;
  uint64_t injectedLosses = 0;
  std::vector<Mode> offered;  // empty: the built-in list
};

Mode MakeMode(int width, int height, int depth) {
  Mode mode;
  mode.width = width;
  mode.height = height;
  FormatForDepth(depth, &mode.format);
  return mode;
}

Mode StartMode(bool* fromEnvironment) {
  *fromEnvironment = false;
  const char* text = std::getenv("TWL_DISPLAY");
  if (!text || !*text) return MakeMode(kDefaultWidth, kDefaultHeight, kDefaultDepth);
  Mode mode;
  std::string problem;
  if (ParseMode(text, &mode, &problem)) {
    *fromEnvironment = true;
    return mode;
  }
  std::fprintf(stderr, "TWL_DISPLAY=%s is not used: %s; the display is %dx%dx%d\n", text, problem.c_str(),
               kDefaultWidth, kDefaultHeight, kDefaultDepth);
  return MakeMode(kDefaultWidth, kDefaultHeight, kDefaultDepth);
}

State& TheState() {
  static State* state = [] {
    auto* made = new State;  // never destroyed: read while the process exits
    bool fromEnvironment = false;
    made->first = StartMode(&fromEnvironment);
    made->format = made->first.format;
    if (fromEnvironment)
      user::ChangeDisplayMode(made->first.width, made->first.height,
                              static_cast<int>(made->first.format.dwRGBBitCount));
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
  const user::DisplayMode screen = user::CurrentDisplayMode();
  State& state = TheState();
  std::lock_guard guard(state.lock);
  CurrentMode current;
  current.generation = screen.generation;
  current.mode.width = screen.width;
  current.mode.height = screen.height;
  // A depth set some other way (the window model's own testing call) has
  // the layout FormatForDepth gives it.
  if (state.format.dwRGBBitCount == static_cast<DWORD>(screen.bitsPerPixel))
    current.mode.format = state.format;
  else
    FormatForDepth(screen.bitsPerPixel, &current.mode.format);
  if (state.refreshGeneration == screen.generation) current.mode.refreshRate = state.refreshRate;
  return current;
}

uint64_t LossCount() {
  const uint64_t generation = user::CurrentDisplayMode().generation;
  State& state = TheState();
  std::lock_guard guard(state.lock);
  // Both grow and never shrink, so their sum moves whenever either does.
  return generation + state.injectedLosses;
}

bool ChangeMode(const Mode& mode) {
  if (SameMode(Current().mode, mode)) return true;
  State& state = TheState();
  DDPIXELFORMAT before;
  {
    std::lock_guard guard(state.lock);
    before = state.format;
    state.format = mode.format;
  }
  if (!user::ChangeDisplayMode(mode.width, mode.height, static_cast<int>(mode.format.dwRGBBitCount))) {
    std::lock_guard guard(state.lock);
    state.format = before;
    return false;
  }
  const uint32_t generation = user::CurrentDisplayMode().generation;
  std::lock_guard guard(state.lock);
  state.refreshRate = mode.refreshRate;
  state.refreshGeneration = generation;
  return true;
}

void LoseSurfaces() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  ++state.injectedLosses;
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
