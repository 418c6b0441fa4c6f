#include "app/hooks/ReviewerHooks.h"

#include <sys/stat.h>
#include <twlwin/presenter.h>
#include <twlwin/testing_desktop.h>
#include <twlwin/testing_gdi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "app/hooks/InputLine.h"
#include "app/hooks/SnapshotTexts.h"
#include "app/keys/Hotkey.h"

namespace {

// The tray pictures a snapshot names: at rest, hovered, menu open.
constexpr WORD kTrayPictures[] = {135, 136, 137};

struct HookState {
  std::mutex lock;
  std::deque<UINT> menuAnswers;
  std::atomic<SnapshotRequest> snapshot{nullptr};
  std::atomic<int> menusTracked{0};
};

HookState& Hooks() {
  static auto* state = new HookState;  // never destroyed: the reader thread outlives main
  return *state;
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

int AnswerMenu(HMENU menu, UINT /*flags*/, int /*x*/, int /*y*/, void* /*context*/) {
  const int number = ++Hooks().menusTracked;
  const std::string folder = GetSnapshotFolder();
  if (!folder.empty() && !WriteFile(folder + "/menu-" + std::to_string(number) + ".txt", DescribeMenuItems(menu)))
    std::fprintf(stderr, "twl: cannot write the menu snapshot in %s\n", folder.c_str());
  return static_cast<int>(TakeMenuAnswer());
}

void Click(int button, int x, int y) {
  TwlInputMouseMove(x, y);
  TwlInputMouseButton(button, TRUE, x, y);
  TwlInputMouseButton(button, FALSE, x, y);
}

// As a keyboard gives it: the modifiers go down first and up last, and a
// held key repeats its key-down before it is released.
void PressKey(UINT key, DWORD modifiers) {
  std::vector<UINT> held;
  if (modifiers & CHotkey::kCtrl) held.push_back(VK_CONTROL);
  if (modifiers & CHotkey::kAlt) held.push_back(VK_MENU);
  if (modifiers & CHotkey::kShift) held.push_back(VK_SHIFT);
  bool taken = true;
  for (UINT modifier : held) taken = TwlInputKey(modifier, TRUE) && taken;
  taken = TwlInputKey(key, TRUE) && taken;
  if (modifiers & CHotkey::kHold) taken = TwlInputKey(key, TRUE) && taken;
  taken = TwlInputKey(key, FALSE) && taken;
  for (auto modifier = held.rbegin(); modifier != held.rend(); ++modifier)
    taken = TwlInputKey(*modifier, FALSE) && taken;
  if (!taken) std::fprintf(stderr, "twl: no window takes the key input\n");
}

void Run(const InputLine& input) {
  switch (input.kind) {
    case InputLine::Kind::kClick: Click(VK_LBUTTON, input.x, input.y); break;
    case InputLine::Kind::kRightClick: Click(VK_RBUTTON, input.x, input.y); break;
    case InputLine::Kind::kMove:
      if (!TwlInputMouseMove(input.x, input.y)) std::fprintf(stderr, "twl: no window takes the pointer\n");
      break;
    case InputLine::Kind::kMenu: {
      std::lock_guard guard(Hooks().lock);
      Hooks().menuAnswers.push_back(input.value);
      break;
    }
    case InputLine::Kind::kTray:
      if (!TwlTestPostNotifyIconMessage(0, input.value)) std::fprintf(stderr, "twl: no tray icon for the input\n");
      break;
    case InputLine::Kind::kKey: PressKey(input.value, input.modifiers); break;
    case InputLine::Kind::kSnap:
      if (SnapshotRequest request = Hooks().snapshot.load())
        request();
      else
        std::fprintf(stderr, "twl: no snapshot taker for the input\n");
      break;
  }
}

// Reads lines until the writer closes the pipe, then waits for the next
// writer; a plain file is read once.
void ReadInput(std::string path) {
  struct stat info {};
  const bool pipe = stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
  do {
    std::ifstream in(path);
    if (!in) {
      std::fprintf(stderr, "twl: cannot read the input %s\n", path.c_str());
      return;
    }
    for (std::string line; std::getline(in, line);) {
      if (auto input = ParseInputLine(line))
        Run(*input);
      else if (line.find_first_not_of(" \t\r") != std::string::npos)
        std::fprintf(stderr, "twl: input not understood: %s\n", line.c_str());
    }
  } while (pipe);
}

}  // namespace

void StartReviewerHooks() {
  const char* input = std::getenv("TWL_INPUT");
  const bool hasInput = input && *input;
  if (!hasInput && GetSnapshotFolder().empty()) return;
  TwlTestSetMenuScript(AnswerMenu, nullptr);
  if (hasInput) std::thread(ReadInput, std::string(input)).detach();
}

void SetSnapshotRequest(SnapshotRequest request) { Hooks().snapshot.store(request); }

std::string GetSnapshotFolder() {
  const char* folder = std::getenv("TWL_SNAPSHOT_DIR");
  return folder ? folder : "";
}

bool WriteSnapshotTexts(CWindow* mainWindow, HINSTANCE program, int number) {
  const std::string folder = GetSnapshotFolder();
  if (folder.empty()) return false;
  std::string suffix = "-";
  suffix += std::to_string(number);
  suffix += ".txt";
  bool written = true;
  if (mainWindow) written = WriteFile(folder + "/controls" + suffix, DescribeControls(*mainWindow));
  const std::string tray = DescribeTrayIcons(program, kTrayPictures, static_cast<int>(std::size(kTrayPictures)));
  return WriteFile(folder + "/tray" + suffix, tray) && written;
}

UINT TakeMenuAnswer() {
  std::lock_guard guard(Hooks().lock);
  if (Hooks().menuAnswers.empty()) return 0;
  const UINT answer = Hooks().menuAnswers.front();
  Hooks().menuAnswers.pop_front();
  return answer;
}
