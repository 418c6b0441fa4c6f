// The last playlist across runs of `twl`: a file the start cannot read is
// reported and kept aside before the exit saves the playlist in its place.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#include "ProgramFolder.h"
#include "support/TestPaths.h"

using programtest::Contains;

namespace {

// A native playlist whose size field claims more than the file holds,
// with bytes that no text conversion would keep: NULs, a lone 0xFF.
std::string CorruptPlayListBytes() {
  std::string bytes = "Ostrell PlayList";
  const unsigned char fields[] = {0x4B, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0xF0, 0xFF, 0xFF, 0xFF,
                                  0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00};
  bytes.append(reinterpret_cast<const char*>(fields), sizeof fields);
  bytes += std::string("file:///m/a.mp3\0\xFF\r\n", 19);
  return bytes;
}

}  // namespace

TEST(TwlLastPlayList, ACorruptOneIsKeptAsBadAndTheExitSavesANewOne) {
  const std::string folder = programtest::NewProgramFolder("lastcorrupt");
  const std::string last = folder + "/LastPlayList.p4u";
  const std::string corrupt = CorruptPlayListBytes();
  twltest::WriteFile(last, corrupt);
  twltest::WriteFile(last + ".bad", "kept by an older start");

  const pid_t pid = programtest::Start(folder, {});
  ASSERT_TRUE(programtest::WaitForText(folder + "/Log.txt", programtest::kDone))
      << programtest::ReadText(folder + "/stderr.txt");
  kill(pid, SIGTERM);
  EXPECT_EQ(programtest::Wait(pid), 0);

  const std::string log = programtest::ReadText(folder + "/Log.txt");
  EXPECT_TRUE(Contains(log, "The file is corrupted.")) << log;
  EXPECT_TRUE(Contains(log, "the unread file was kept as " + last + ".bad")) << log;
  EXPECT_EQ(twltest::ReadFile(last + ".bad"), corrupt) << "the older kept file is replaced, the bytes unchanged";
  EXPECT_EQ(twltest::ReadFile(last).substr(0, 16), "Ostrell PlayList") << "the exit saved the (empty) playlist";
  EXPECT_NE(twltest::ReadFile(last), corrupt);
}
