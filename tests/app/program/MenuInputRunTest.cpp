// `twl` driven headless through its input pipe: button clicks play, pause,
// skip and stop two ramp WAVs (what the WAV sink captured tells which
// samples played in which order), right clicks leave menu snapshots, the
// Minimize button hides the player in the tray, whose icon hovers, opens
// its menu and brings the player back, and "Exit" from the menu ends it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ProgramFolder.h"
#include "support/TestPaths.h"

namespace {

using programtest::Contains;
using programtest::ReadText;

// A 16-bit mono 8000 Hz WAV whose samples count up (sign 1) or down
// (sign -1) by one every four samples, so that any stretch of it tells
// where in the file it came from.
void WriteRamp(const std::string& path, int sign, int seconds) {
  const uint32_t frames = 8000u * static_cast<uint32_t>(seconds);
  std::ofstream out(path, std::ios::binary);
  auto put32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto put16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  put32(36 + frames * 2);
  out.write("WAVEfmt ", 8);
  put32(16);
  put16(1);
  put16(1);
  put32(8000);
  put32(16000);
  put16(2);
  put16(16);
  out.write("data", 4);
  put32(frames * 2);
  for (uint32_t i = 0; i < frames; ++i) put16(static_cast<uint16_t>(static_cast<int16_t>(sign * (1 + i / 4))));
}

// The samples of the sink's first channel.
std::vector<int16_t> SinkSamples(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples;
  if (bytes.size() < 44) return samples;
  uint16_t channels = 0;
  std::memcpy(&channels, bytes.data() + 22, 2);
  const size_t step = 2u * (channels ? channels : 1);
  for (size_t at = 44; at + 2 <= bytes.size(); at += step) {
    int16_t value = 0;
    std::memcpy(&value, bytes.data() + at, 2);
    samples.push_back(value);
  }
  return samples;
}

// The runs of the ramps in the sink, silence left out: "a 1-5000" for the
// up ramp from its first to its 5000th step, "b 1-300" for the down ramp.
std::string Runs(const std::vector<int16_t>& samples) {
  std::string runs;
  int first = 0, last = 0;
  auto close = [&] {
    if (first == 0) return;
    runs += std::string(runs.empty() ? "" : ", ") + (first > 0 ? "a " : "b ") + std::to_string(std::abs(first)) + "-" +
            std::to_string(std::abs(last));
    first = 0;
  };
  for (int16_t value : samples) {
    if (value == 0) continue;
    const bool continues = first != 0 && (value > 0) == (first > 0) && std::abs(value) >= std::abs(last) &&
                           std::abs(value) <= std::abs(last) + 1;
    if (!continues) {
      close();
      first = value;
    }
    last = value;
  }
  close();
  return runs;
}

bool WaitFor(const std::function<bool()>& done) {
  for (int round = 0; round < 600; ++round) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class TwlInput {
 public:
  TwlInput(const std::string& fifo, const std::string& shots) : m_Shots(shots) {
    m_Fd = open(fifo.c_str(), O_WRONLY);  // waits for the program's reader
  }
  ~TwlInput() {
    if (m_Fd >= 0) close(m_Fd);
  }
  bool IsOpen() const { return m_Fd >= 0; }
  void Send(const std::string& line) {
    const std::string text = line + "\n";
    ASSERT_EQ(write(m_Fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  void Click(POINT at) { Send("click " + std::to_string(at.x) + " " + std::to_string(at.y)); }
  // A right click whose menu is answered; the menu's snapshot text.
  std::string MenuAt(POINT at, const std::string& answer) {
    Send("menu " + answer);
    Send("rclick " + std::to_string(at.x) + " " + std::to_string(at.y));
    return NextMenu();
  }
  // The snapshot text of the next menu tracked.
  std::string NextMenu() { return WaitForFile("menu-" + std::to_string(++m_Menus) + ".txt"); }
  // A snapshot; the named text of it.
  std::string Snap(const std::string& kind) {
    ++m_Snaps;
    Send("snap");
    return WaitForFile(kind + "-" + std::to_string(m_Snaps) + ".txt");
  }
  int Snaps() const { return m_Snaps; }
  std::string WaitForFile(const std::string& name) {
    const std::string path = m_Shots + "/" + name;
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(path); })) << name;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // written whole
    return ReadText(path);
  }

 private:
  std::string m_Shots;
  int m_Fd = -1;
  int m_Menus = 0;
  int m_Snaps = 0;
};

// The "window X Y W H" line of a controls snapshot.
std::string WindowLine(const std::string& controls) { return controls.substr(0, controls.find('\n')); }

// Control centres by id from a controls snapshot, and a free point of the
// window ("window" entry).
std::map<std::string, POINT> Places(const std::string& controls) {
  std::map<std::string, POINT> places;
  std::vector<RECT> taken;
  RECT window{};
  std::istringstream lines(controls);
  for (std::string id; lines >> id;) {
    int x, y, w, h;
    lines >> x >> y >> w >> h;
    if (id == "window") {
      window = RECT{x, y, x + w, y + h};
      continue;
    }
    places[id] = POINT{x + w / 2, y + h / 2};
    taken.push_back(RECT{x, y, x + w, y + h});
  }
  for (int y = window.top + 12; y < window.bottom - 12 && !places.count("free"); y += 2)
    for (int x = window.left + 12; x < window.right - 12 && !places.count("free"); x += 2) {
      bool free = true;
      for (const RECT& r : taken)
        free = free && !(x >= r.left - 2 && x < r.right + 2 && y >= r.top - 2 && y < r.bottom + 2);
      if (free) places["free"] = POINT{x, y};
    }
  return places;
}

TEST(TwlMenuInput, ButtonsMenusAndTheTrayDriveAHeadlessPlayer) {
  const std::string folder = twltest::MakeTempDir("menuinput");
  programtest::InstallProgram(folder, programtest::BuiltTwl());
  std::filesystem::copy_file(std::string(TWL_WAV_PLAYER_DIR) + "/TestWavPlayer.dll",
                             folder + "/PlugIns/TestWavPlayer.dll");
  const std::string media = twltest::MakeTempDir("media");
  WriteRamp(media + "/a.wav", 1, 6);
  WriteRamp(media + "/b.wav", -1, 6);
  const std::string shots = twltest::MakeTempDir("shots");
  const std::string fifo = folder + "/input";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string log = folder + "/Log.txt";
  const pid_t pid = programtest::Start(
      folder, {"-a", media + "/a.wav", "-a", media + "/b.wav"},
      {"TWL_SNAPSHOT_DIR=" + shots, "TWL_INPUT=" + fifo, "TWL_SOUND_SINK=wav:" + folder + "/sink.wav"});
  ASSERT_TRUE(programtest::WaitForText(log, "START INITIALIZATIONS DONE")) << ReadText(folder + "/stderr.txt");
  TwlInput input(fifo, shots);
  ASSERT_TRUE(input.IsOpen());
  const std::string normalControls = input.Snap("controls");
  auto places = Places(normalControls);
  for (const char* id : {"0", "1", "2", "3", "10", "free"}) ASSERT_TRUE(places.count(id)) << id;
  const auto pause = std::chrono::milliseconds(600);

  // Play, Pause, Pause, Next, Stop, Play.
  input.Click(places["0"]);
  ASSERT_TRUE(programtest::WaitForText(log, "playing 'file://" + media + "/a.wav'"));
  std::this_thread::sleep_for(pause);
  input.Click(places["2"]);
  const std::string paused = input.MenuAt(places["free"], "none");
  EXPECT_TRUE(Contains(paused, "  1004 - Resume\\t[Pause]\n")) << paused;
  EXPECT_FALSE(Contains(paused, " 1003 ")) << paused;
  input.Click(places["2"]);
  std::this_thread::sleep_for(pause);
  input.Click(places["3"]);
  ASSERT_TRUE(programtest::WaitForText(log, "playing 'file://" + media + "/b.wav'"));
  std::this_thread::sleep_for(pause);
  input.Click(places["1"]);
  const std::string stopped = input.MenuAt(places["free"], "none");
  EXPECT_TRUE(Contains(stopped, "1000 p Playback\n  1001 - Play\\t[P]\n")) << stopped;
  input.Click(places["0"]);
  ASSERT_TRUE(WaitFor([&] { return Occurrences(ReadText(log), "playing 'file://" + media + "/b.wav'") == 2; }));
  std::this_thread::sleep_for(pause);

  // Minimised to the tray: hovered, pressed (its menu), double-clicked back.
  input.Click(places["10"]);
  EXPECT_EQ(input.Snap("tray"), "0 1124 135 Velbrook Tunewell\n");
  input.Send("menu none");
  input.Send("tray mousemove");
  input.Send("tray lbuttondown");
  const std::string trayMenu = input.NextMenu();
  EXPECT_TRUE(trayMenu.ends_with("1101 - Exit\n0 s\n1102 - Open the player\n0 s\n1103 - Never mind\n")) << trayMenu;
  EXPECT_FALSE(Contains(trayMenu, "1130 ") || Contains(trayMenu, "1075 ")) << trayMenu;
  input.Send("tray lbuttonup");
  EXPECT_EQ(input.Snap("tray"), "0 1124 136 Velbrook Tunewell\n");
  input.Send("menu none");
  for (const char* message : {"lbuttondown", "lbuttonup", "lbuttondblclk", "lbuttonup"})
    input.Send(std::string("tray ") + message);
  input.NextMenu();
  EXPECT_EQ(input.Snap("tray"), "");
  EXPECT_TRUE(std::filesystem::exists(shots + "/MainWindow-" + std::to_string(input.Snaps()) + ".png"))
      << "the player is back on show";

  // Mini mode from the main menu: the window takes the mini size.
  input.MenuAt(places["free"], "1133");
  const std::string miniControls = input.Snap("controls");
  EXPECT_NE(WindowLine(miniControls), WindowLine(normalControls)) << miniControls;
  // Its time field (120) opens the main menu as the background does.
  const auto mini = Places(miniControls);
  ASSERT_TRUE(mini.count("120")) << miniControls;

  // Exit from the main menu ends the program with 0.
  const std::string menu = input.MenuAt(mini.at("120"), "1101");
  EXPECT_TRUE(Contains(menu, "1071 - QuickPlay...\\t[Alt+Q]\n")) << menu;
  EXPECT_TRUE(Contains(menu, "1021 - Help!\\t[F1]\n")) << menu;
  EXPECT_EQ(programtest::Wait(pid), 0);
  const std::string errors = ReadText(folder + "/stderr.txt");
  EXPECT_FALSE(Contains(errors, "Sanitizer")) << errors;
  HKEY settings = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, programtest::kSettingsPath, 0, KEY_READ, &settings), ERROR_SUCCESS);
  DWORD mode = 0;
  DWORD size = sizeof mode;
  EXPECT_EQ(RegQueryValueExA(settings, "Mode", nullptr, nullptr, reinterpret_cast<BYTE*>(&mode), &size), ERROR_SUCCESS);
  RegCloseKey(settings);
  EXPECT_EQ(mode, 2u) << "mini mode stored";

  // a from its start, on after the pause without a jump, then b from its
  // start twice: the stop does not resume b where it stood.
  const std::string runs = Runs(SinkSamples(folder + "/sink.wav"));
  SCOPED_TRACE(runs);
  std::vector<std::string> parts;
  for (size_t at = 0; at < runs.size();) {
    const size_t end = runs.find(", ", at);
    parts.push_back(runs.substr(at, end == std::string::npos ? std::string::npos : end - at));
    at = end == std::string::npos ? runs.size() : end + 2;
  }
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].substr(0, 4), "a 1-");
  EXPECT_LT(std::stoi(parts[0].substr(4)), 12000) << "Next came before a ended";
  EXPECT_EQ(parts[1].substr(0, 4), "b 1-");
  EXPECT_EQ(parts[2].substr(0, 4), "b 1-");
}

}  // namespace
