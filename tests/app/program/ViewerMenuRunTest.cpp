// `twl` headless: the main menu's Viewer submenu shows the viewer settings
// of each main window kind, and a choice from it is what the registry
// holds after the program ended.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "ProgramFolder.h"
#include "support/TestPaths.h"

namespace {

using programtest::Contains;
using programtest::ReadText;

// Waits up to 30 seconds for a file of the snapshot folder.
std::string AwaitViewerShot(const std::string& path) {
  for (int round = 0; round < 600 && !std::filesystem::exists(path); ++round)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // written whole
  return ReadText(path);
}

void SendViewerLine(int fd, const std::string& line) {
  const std::string text = line + "\n";
  ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

TEST(TwlViewerMenu, TheViewerSubmenuMarksTheDefaultAndAChoiceIsStoredAtExit) {
  const std::string folder = twltest::MakeTempDir("viewermenu");
  programtest::InstallProgram(folder, programtest::BuiltTwl());
  const std::string shots = twltest::MakeTempDir("viewershots");
  const std::string fifo = folder + "/input";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string log = folder + "/Log.txt";
  const pid_t pid = programtest::Start(folder, {}, {"TWL_SNAPSHOT_DIR=" + shots, "TWL_INPUT=" + fifo});
  ASSERT_TRUE(programtest::WaitForText(log, "START INITIALIZATIONS DONE")) << ReadText(folder + "/stderr.txt");
  EXPECT_TRUE(Contains(ReadText(log), "-------- initializing viewer window provider --------"));
  const int fd = open(fifo.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  // The main window's top-left corner is its caption area: a right click
  // there opens the main menu.
  SendViewerLine(fd, "snap");
  const std::string controls = AwaitViewerShot(shots + "/controls-1.txt");
  int x = 0, y = 0;
  ASSERT_EQ(std::sscanf(controls.c_str(), "window %d %d", &x, &y), 2) << controls;
  auto rightClickWith = [&](const std::string& answer) {
    SendViewerLine(fd, "menu " + answer);
    SendViewerLine(fd, "rclick " + std::to_string(x + 4) + " " + std::to_string(y + 4));
  };
  rightClickWith("1033");
  const std::string menu = AwaitViewerShot(shots + "/menu-1.txt");
  EXPECT_TRUE(Contains(menu,
                       "1030 p Viewer\n  1031 p Normal / small Main Window (ACTIVE)\n"
                       "    1035 rc Players and visualizers (default)\n"))
      << menu;
  rightClickWith("1101");
  const std::string second = AwaitViewerShot(shots + "/menu-2.txt");
  EXPECT_TRUE(Contains(second, "    1033 rc Players\n")) << second;
  close(fd);
  EXPECT_EQ(programtest::Wait(pid), 0);
  std::string stored;
  twltest::RunCommand("sqlite3 '" + std::string(std::getenv("TWL_REGISTRY")) +
                          "' \"select hex(data) from registry where name = 'ControlWindowMode'\"",
                      &stored);
  EXPECT_EQ(stored, "01000000\n") << "the players' mode, as a DWORD";
}

}  // namespace
