// `twl` headless with the user's key bindings: keys typed into its input
// pipe run the commands Keys.ini binds them to, and its menus show them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "ProgramFolder.h"
#include "support/SoundFiles.h"
#include "support/TestPaths.h"

namespace {

using programtest::Contains;
using programtest::ReadText;

// Waits (at most `rounds` tenths of a second) until the file exists, then
// a moment for it to be written whole; "" when it does not come.
std::string TextOnceWritten(const std::string& path, int rounds = 300) {
  for (int round = 0; round < rounds && !std::filesystem::exists(path); ++round)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (!std::filesystem::exists(path)) return "";
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return ReadText(path);
}

class KeyInput {
 public:
  explicit KeyInput(const std::string& fifo) : m_Fd(open(fifo.c_str(), O_WRONLY)) {}
  ~KeyInput() {
    if (m_Fd >= 0) close(m_Fd);
  }
  bool IsOpen() const { return m_Fd >= 0; }
  void Send(const std::string& line) {
    const std::string text = line + "\n";
    ASSERT_EQ(write(m_Fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

 private:
  int m_Fd;
};

TEST(TwlKeyInput, TheUsersBindingsRunFromTheKeyboardAndShowInTheMenu) {
  const std::string folder = twltest::MakeTempDir("keyinput");
  programtest::InstallProgram(folder, programtest::BuiltTwl());
  programtest::InstallWavPlayer(folder);
  twltest::WriteFile(folder + "/Keys.ini", "[Main]\r\nPlay=Ctrl+P\r\n");
  const std::string media = twltest::MakeTempDir("media");
  const std::string tone = twltest::SoxTone(media, "tone.wav", "6", "440");
  const std::string shots = twltest::MakeTempDir("shots");
  const std::string fifo = folder + "/input";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string log = folder + "/Log.txt";
  const pid_t pid = programtest::Start(
      folder, {"-a", tone},
      {"TWL_SNAPSHOT_DIR=" + shots, "TWL_INPUT=" + fifo, "TWL_SOUND_SINK=wav:" + folder + "/sink.wav"});
  ASSERT_TRUE(programtest::WaitForText(log, programtest::kDone)) << ReadText(folder + "/stderr.txt");
  KeyInput input(fifo);
  ASSERT_TRUE(input.IsOpen());

  // The Menu key opens the main menu, its items with their keys. The start
  // brings the main window to the front only after it is done, and keys
  // typed before reach no window: the key is typed again until the menu
  // shows (it is dismissed, as no answer waits).
  std::string menu;
  for (int attempt = 0; attempt < 30 && menu.empty(); ++attempt) {
    input.Send("key Context");
    menu = TextOnceWritten(shots + "/menu-1.txt", 10);
  }
  EXPECT_TRUE(Contains(menu, "  1001 - Play\\t[Ctrl+P]\n")) << menu;
  EXPECT_TRUE(Contains(menu, "  1005 - Loop\\t[L]\n")) << menu;

  // P is no longer Play; a snapshot comes after the keys before it.
  input.Send("key P");
  input.Send("snap");
  EXPECT_NE(TextOnceWritten(shots + "/controls-1.txt"), "");
  EXPECT_FALSE(Contains(ReadText(log), "playing")) << ReadText(log);
  input.Send("key ctrl+p");
  EXPECT_TRUE(programtest::WaitForText(log, "playing 'file://" + tone + "'")) << ReadText(log);

  input.Send("key Alt+F4");
  EXPECT_EQ(programtest::WaitAtMost(pid, 60), 0);
  const std::string errors = ReadText(folder + "/stderr.txt");
  EXPECT_FALSE(Contains(errors, "Sanitizer")) << errors;
  EXPECT_EQ(ReadText(folder + "/Keys.ini"), "[Main]\r\nPlay=Ctrl+P\r\n");
}

}  // namespace
