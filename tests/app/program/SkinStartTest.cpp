// twl's start with its skin: a stored skin it cannot read, or one it reads
// but cannot draw, gives way to the built-in one, which becomes the stored
// choice; a program whose built-in skin is damaged ends its start with the
// message and exit code 1; a "skin" to install that never ends is refused
// and the program still ends at SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "ProgramFolder.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamFlags.h"
#include "skins/skin/Skin.h"
#include "support/TestPaths.h"

using programtest::Contains;
using programtest::kDone;
using programtest::kSettingsPath;

namespace {


std::string StoredSkin() {
  const char* database = std::getenv("TWL_REGISTRY");
  EXPECT_NE(database, nullptr);
  std::string output;
  const std::string query = std::string("select cast(data as text) from registry where path = 'HKEY_CURRENT_USER\\") +
                            kSettingsPath + "' and name = 'Skin';";
  EXPECT_EQ(twltest::RunCommand("sqlite3 '" + std::string(database) + "' \"" + query + "\"", &output), 0);
  while (!output.empty() && (output.back() == '\n' || output.back() == '\0')) output.pop_back();
  return output;
}

void StoreSkin(const char* name) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Skin", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                           static_cast<DWORD>(std::strlen(name) + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The built-in skin as this test program carries it: the same bytes twl has.
std::string BuiltInSkin() {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
  if (!found) return {};
  const void* data = LockResource(LoadResource(nullptr, found));
  return std::string(static_cast<const char*>(data), SizeofResource(nullptr, found));
}

// Each line is in the log, after the one before it.
template <size_t N>
void ExpectInOrder(const std::string& log, const std::string (&lines)[N]) {
  size_t from = 0;
  for (const std::string& line : lines) {
    const size_t at = log.find(line, from);
    EXPECT_NE(at, std::string::npos) << "missing or out of order: " << line << "\n" << log;
    if (at != std::string::npos) from = at;
  }
}

// The built-in skin compiled again with its first button of no size (0 x
// 0 pixels in every state): a skin that reads but cannot be drawn.
void WriteSkinWithAFlatButton(const std::string& path) {
  std::string bytes = BuiltInSkin();
  ASSERT_FALSE(bytes.empty());
  CMemoryStream in;
  in.Open(reinterpret_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0,
          false);
  CSkin skin;
  skin.LoadCompiled(in);
  in.DetachBuffer();
  CButtonSkin& button = skin.GetMainWindowSkin(0)->GetButton(0);
  ASSERT_TRUE(button.IsDefined());
  const RECT at = button.GetRect();
  button.Clear();
  button.SetRect(RECT{at.left, at.top, at.left, at.top});
  CPixelFormat format;
  format.SetMasks(32, 0xFF0000, 0xFF00, 0xFF);
  for (int state = 0; state < button.GetStateCount(); ++state) {
    auto* flat = new CDIBitmap;
    flat->Create(0, 0, 0, format, true);
    button.SetState(state, flat);
  }
  skin.SaveCompiled(path.c_str(), false);
}

// The main window's size from a snapshot's control list ("window X Y W H").
std::string MainWindowSize(const std::string& shots) {
  if (!programtest::WaitForText(shots + "/controls-1.txt", "\n")) return "no snapshot";
  std::istringstream line(programtest::ReadText(shots + "/controls-1.txt"));
  std::string word;
  int x = 0, y = 0, width = 0, height = 0;
  line >> word >> x >> y >> width >> height;
  return std::to_string(width) + "x" + std::to_string(height);
}

// The built-in skin's main window, as its picture is.
std::string BuiltInMainWindowSize() {
  const std::string head = ReadBytes(twltest::SourceDir() + "/resources/skins/builtin/MainWindowNormal.bmp");
  if (head.size() < 26) return "no picture";
  const auto field = [&](size_t at) {
    return static_cast<int>(static_cast<uint8_t>(head[at]) | static_cast<uint8_t>(head[at + 1]) << 8);
  };
  return std::to_string(field(18)) + "x" + std::to_string(field(22));
}

// The exit code of a program sent SIGTERM, or -1 when it has not ended
// 30 s later (it is then killed): a hang, not a measure of speed.
int TerminateAndWait(pid_t pid) {
  kill(pid, SIGTERM);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  int status = 0;
  while (std::chrono::steady_clock::now() < end) {
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    usleep(20000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

}  // namespace

// Installed and activated with -ia, or stored as the choice: either way
// the skin that cannot be drawn gives way to the built-in one, logged, and
// the next start shows the built-in main window.
TEST(TwlSkinStart, ASkinThatCannotBeDrawnNeverStaysTheChoice) {
  const std::string skinFile = twltest::MakeTempDir("flat") + "/Flat.s4u";
  WriteSkinWithAFlatButton(skinFile);
  for (const bool installed : {true, false}) {
    SCOPED_TRACE(installed ? "installed with -ia" : "stored as the choice");
    const std::string folder = twltest::MakeTempDir("flatskin");
    programtest::InstallProgram(folder, programtest::BuiltTwl());
    std::filesystem::create_directories(folder + "/Skins");
    std::vector<std::string> args;
    if (installed) {
      StoreSkin("<default>");
      args = {"-ia", skinFile};
    } else {
      std::filesystem::copy_file(skinFile, folder + "/Skins/Flat.s4u");
      StoreSkin("Flat.s4u");
    }
    const pid_t pid = programtest::Start(folder, args);
    const bool fellBack = programtest::WaitForText(folder + "/Log.txt", "skin initialization done\r\n") &&
                          programtest::WaitForText(folder + "/Log.txt", "The default skin will be used instead...");
    EXPECT_EQ(TerminateAndWait(pid), 0);
    const std::string log = programtest::ReadText(folder + "/Log.txt");
    ASSERT_TRUE(fellBack) << log << programtest::ReadText(folder + "/stderr.txt");
    const std::string lines[] = {
        "    Loading skin '" + folder + "/Skins/Flat.s4u'...done (",
        "    creating directdraw stuff...failed (DirectDraw error: ",
        "\r\nThe default skin will be used instead...\r\n\r\n",
        "    Loading skin '<default>'...done (",
        "    creating directdraw stuff...done (",
        "skin initialization done\r\n",
    };
    ExpectInOrder(log, lines);
    EXPECT_EQ(StoredSkin(), "<default>");

    const std::string shots = twltest::MakeTempDir("shots");
    std::filesystem::remove(folder + "/Log.txt");
    const pid_t next = programtest::Start(folder, {}, {"TWL_SNAPSHOT_DIR=" + shots});
    ASSERT_TRUE(programtest::WaitForText(folder + "/Log.txt", kDone));
    kill(next, SIGUSR1);
    EXPECT_EQ(MainWindowSize(shots), BuiltInMainWindowSize());
    EXPECT_EQ(TerminateAndWait(next), 0);
  }
}

// "Skins" that never end or never answer: the install is refused with its
// message and SIGTERM still ends the program through its ordered exit.
TEST(TwlSkinStart, InstallingADeviceOrAPipeIsRefusedAndTheProgramStillEnds) {
  const std::string pipe = twltest::MakeTempDir("pipe") + "/Piped.s4u";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& source : {std::string("/dev/zero"), pipe}) {
    SCOPED_TRACE(source);
    const std::string folder = twltest::MakeTempDir("endless");
    programtest::InstallProgram(folder, programtest::BuiltTwl());
    std::filesystem::create_directories(folder + "/Skins");
    const std::string name = std::filesystem::path(source).filename();
    const pid_t pid = programtest::Start(folder, {"-ia", source});
    const std::string refusal =
        "Error installing skin '" + name + "': Unable to copy the file into the skin directory.";
    const bool refused = programtest::WaitForText(folder + "/Log.txt", refusal);
    EXPECT_EQ(TerminateAndWait(pid), 0);
    const std::string log = programtest::ReadText(folder + "/Log.txt");
    EXPECT_TRUE(refused) << log << programtest::ReadText(folder + "/stderr.txt");
    EXPECT_TRUE(Contains(log, "deinitializing skin...done")) << log;
    EXPECT_FALSE(std::filesystem::exists(folder + "/Skins/" + name));
  }
}

TEST(TwlSkinStart, AStoredSkinThatCannotBeReadGivesWayToTheBuiltInOne) {
  const std::string folder = twltest::MakeTempDir("badskin");
  programtest::InstallProgram(folder, programtest::BuiltTwl());
  std::filesystem::create_directories(folder + "/Skins");
  std::ofstream(folder + "/Skins/Broken.s4u", std::ios::binary) << "not a skin at all";
  StoreSkin("Broken.s4u");

  const pid_t pid = programtest::Start(folder, {});
  const bool started = programtest::WaitForText(folder + "/Log.txt", kDone);
  kill(pid, SIGTERM);
  EXPECT_EQ(programtest::Wait(pid), 0);
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  ASSERT_TRUE(started) << log << programtest::ReadText(folder + "/stderr.txt");
  const std::string lines[] = {
      "Initializing skin...\r\n",
      "    Loading skin '" + folder + "/Skins/Broken.s4u'...failed\r\n",
      "\r\nThe default skin will be used instead...\r\n\r\n",
      "    Loading skin '<default>'...done (",
      "skin initialization done\r\n",
  };
  ExpectInOrder(log, lines);
  EXPECT_EQ(StoredSkin(), "<default>");
}

TEST(TwlSkinStart, ADamagedBuiltInSkinEndsTheStartWithItsMessage) {
  const std::string folder = twltest::MakeTempDir("damaged");
  programtest::InstallProgram(folder, programtest::BuiltTwl());
  StoreSkin("<default>");
  // A copy of twl whose built-in skin lost its signature.
  const std::string skin = BuiltInSkin();
  ASSERT_GT(skin.size(), 64u);
  std::string program = ReadBytes(programtest::BuiltTwl());
  const size_t at = program.find(skin.substr(0, 64));
  ASSERT_NE(at, std::string::npos);
  program[at] = 'X';
  std::filesystem::remove(folder + "/twl");
  std::ofstream(folder + "/twl", std::ios::binary) << program;
  std::filesystem::permissions(folder + "/twl", std::filesystem::perms::owner_all);

  const pid_t pid = programtest::Start(folder, {});
  EXPECT_EQ(programtest::Wait(pid), 1);
  const std::string errors = programtest::ReadText(folder + "/stderr.txt");
  EXPECT_TRUE(Contains(errors, "The player was unable to load the default skin. The main executable may be corrupted."))
      << errors;
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  EXPECT_TRUE(Contains(log, "    Loading skin '<default>'...failed\r\n")) << log;
  EXPECT_FALSE(Contains(log, kDone)) << log;
}
