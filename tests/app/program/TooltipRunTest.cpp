// `twl` headless with its tooltips: the pointer resting on Play shows the
// button's tooltip in a window of its own, a click or a move away removes
// it, and with tooltips switched off in the settings none appears.
#include <fcntl.h>
#include <signal.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "ProgramFolder.h"
#include "foundation/appcore/SettingsKey.h"
#include "support/TestPaths.h"

namespace {

using programtest::ReadText;

bool WaitUntil(const std::function<bool()>& done) {
  for (int round = 0; round < 600; ++round) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// One running player fed through its input pipe.
class TipRun {
 public:
  explicit TipRun(const char* name) {
    m_Folder = twltest::MakeTempDir(name);
    programtest::InstallProgram(m_Folder, programtest::BuiltTwl());
    m_Shots = twltest::MakeTempDir("shots");
    const std::string fifo = m_Folder + "/input";
    EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    m_Pid = programtest::Start(m_Folder, {}, {"TWL_SNAPSHOT_DIR=" + m_Shots, "TWL_INPUT=" + fifo});
    EXPECT_TRUE(programtest::WaitForText(m_Folder + "/Log.txt", "START INITIALIZATIONS DONE"));
    m_Fd = open(fifo.c_str(), O_WRONLY);
  }
  ~TipRun() {
    if (m_Fd >= 0) close(m_Fd);
  }
  void Send(const std::string& line) {
    const std::string text = line + "\n";
    ASSERT_EQ(write(m_Fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  // A snapshot; its number.
  int Snap() {
    Send("snap");
    const std::string screen = Shot("screen", ++m_Snaps, "png");
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(screen); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // written whole
    return m_Snaps;
  }
  std::string Shot(const std::string& name, int number, const char* kind) const {
    return m_Shots + "/" + name + "-" + std::to_string(number) + "." + kind;
  }
  // The centre of the main window's control with that id.
  POINT Centre(int snap, int id) const {
    std::istringstream lines(ReadText(Shot("MainWindow", snap, "txt")));
    for (std::string line; std::getline(lines, line);) {
      std::istringstream words(line);
      std::string kind;
      int control = -1, x = 0, y = 0, w = 0, h = 0;
      if (words >> kind >> control >> x >> y >> w >> h && kind == "control" && control == id)
        return POINT{x + w / 2, y + h / 2};
    }
    ADD_FAILURE() << "no control " << id;
    return POINT{};
  }
  void End() {
    kill(m_Pid, SIGTERM);
    EXPECT_EQ(programtest::Wait(m_Pid), 0);
  }

 private:
  std::string m_Folder;
  std::string m_Shots;
  pid_t m_Pid = -1;
  int m_Fd = -1;
  int m_Snaps = 0;
};

// One pixel of a PNG file as ImageMagick reads it ("#RRGGBB").
std::string TipPixel(const std::string& png, int x, int y) {
  std::string text;
  twltest::RunCommand("convert '" + png + "' -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                          " +repage -depth 8 txt:- | tail -1",
                      &text);
  const size_t hash = text.find('#');
  return hash == std::string::npos ? text : text.substr(hash, 7);
}

std::string At(POINT point) { return std::to_string(point.x) + " " + std::to_string(point.y); }

TEST(TwlTooltips, RestingOnPlayShowsItsTooltipUntilAClickOrAMoveAway) {
  TipRun run("tooltips");
  const POINT play = run.Centre(run.Snap(), 0);
  run.Send("move " + At(play));
  std::this_thread::sleep_for(std::chrono::seconds(1));
  int shown = run.Snap();
  ASSERT_TRUE(std::filesystem::exists(run.Shot("Tooltip", shown, "png")));
  const std::string text = ReadText(run.Shot("Tooltip", shown, "txt"));
  EXPECT_NE(text.find("tip Play - starts playing the current media file\n"), std::string::npos) << text;
  EXPECT_EQ(text.rfind("window ", 0), 0u) << text;
  // The built-in skin's Colors.ini: "TooltipBorder" ec7c24 around
  // "TooltipBackground" 3a4254.
  const std::string picture = run.Shot("Tooltip", shown, "png");
  EXPECT_EQ(TipPixel(picture, 0, 0), "#EC7C24");
  EXPECT_EQ(TipPixel(picture, 1, 1), "#3A4254");

  run.Send("move " + At(POINT{play.x + 200, play.y + 200}));
  // Outside the window only the next poll (every 100 ms) sees it gone.
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  int away = run.Snap();
  EXPECT_FALSE(std::filesystem::exists(run.Shot("Tooltip", away, "png"))) << "a move away removes it";

  run.Send("move " + At(play));
  std::this_thread::sleep_for(std::chrono::seconds(1));
  shown = run.Snap();
  ASSERT_TRUE(std::filesystem::exists(run.Shot("Tooltip", shown, "png")));
  run.Send("click " + At(POINT{play.x, play.y}));
  away = run.Snap();
  EXPECT_FALSE(std::filesystem::exists(run.Shot("Tooltip", away, "png"))) << "a click removes it";
  run.End();
}

TEST(TwlTooltips, SwitchedOffInTheSettingsNoneAppears) {
  HKEY key = nullptr;
  ASSERT_TRUE(OpenSettingsKey(KEY_SET_VALUE, &key));
  const DWORD off = 0;
  RegSetValueExA(key, "TooltipsEnabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
  RegCloseKey(key);
  TipRun run("notooltips");
  const POINT play = run.Centre(run.Snap(), 0);
  run.Send("move " + At(play));
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_FALSE(std::filesystem::exists(run.Shot("Tooltip", run.Snap(), "png")));
  run.End();
}

}  // namespace
