// The stored form of the stream primitives, read back by an independent
// reader (python3's struct module): little-endian, texts as a 16-bit length
// and their characters, time stamps as their 32-bit value.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "kilnar/KilnarTestTool.h"
#include "kilnar/recorder/StreamPrimitives.h"

namespace {

std::string PrimitivesFile() { return twltest::MakeTempDir("primitives") + "/values.bin"; }

TEST(StreamPrimitivesTest, StoredFormReadByPythonStruct) {
  const std::string path = PrimitivesFile();
  {
    CwStream stream(path.c_str(), false);
    ASSERT_TRUE(WriteWord(stream, 0x1234));
    ASSERT_TRUE(WriteDword(stream, 0xDEADBEEF));
    ASSERT_TRUE(WriteByte(stream, 0xA5));
    ASSERT_TRUE(WriteFlag(stream, true));
    ASSERT_TRUE(WriteText(stream, "Track01"));
    ASSERT_TRUE(WriteText(stream, ""));
    ASSERT_TRUE(WriteTime(stream, TimeStamp(1796825100)));
  }
  const std::string script =
      "import struct,sys\n"
      "d=open(sys.argv[1],'rb').read()\n"
      "w,dw,b,f,n=struct.unpack_from('<HIBBH',d,0)\n"
      "t=d[10:10+n].decode()\n"
      "e,=struct.unpack_from('<H',d,10+n)\n"
      "ts,=struct.unpack_from('<I',d,12+n)\n"
      "print(hex(w),hex(dw),hex(b),f,t,e,ts,len(d))\n";
  twltest::WriteFile(twltest::SandboxDir() + "/primitives.py", script);
  std::string output;
  ASSERT_EQ(twltest::RunCommand("python3 '" + twltest::SandboxDir() + "/primitives.py' '" + path + "'", &output), 0);
  EXPECT_EQ(output, "0x1234 0xdeadbeef 0xa5 1 Track01 0 1796825100 23\n");
}

TEST(StreamPrimitivesTest, ValuesReadBackAndZeroTimeIsNow) {
  const std::string path = PrimitivesFile();
  {
    CwStream stream(path.c_str(), false);
    WriteFlag(stream, true);
    WriteText(stream, "D:\\Album\\song.mp3");
    WriteDword(stream, 0);  // a stored time of 0
  }
  // A flag reads true for any non-zero byte.
  std::string bytes = twltest::ReadFile(path);
  bytes[0] = '\x7F';
  twltest::WriteFile(path, bytes);

  CwStream stream(path.c_str(), true);
  bool flag = false;
  ASSERT_TRUE(ReadFlag(stream, flag));
  EXPECT_TRUE(flag);
  SplitPath split;
  ASSERT_TRUE(ReadText(stream, split));
  EXPECT_STREQ(split.GetDrive(), "D:");
  EXPECT_STREQ(split.GetFolder(), "\\Album\\");
  EXPECT_STREQ(split.GetName(), "song");
  EXPECT_STREQ(split.GetExtension(), ".mp3");
  const time_t before = time(nullptr);
  TimeStamp stamp(1);
  ASSERT_TRUE(ReadTime(stream, stamp));
  EXPECT_GE(static_cast<time_t>(stamp.GetValue()), before);
  EXPECT_LE(static_cast<time_t>(stamp.GetValue()), time(nullptr));
}

TEST(StreamPrimitivesTest, TextLongerThanTheBufferIsCutAndReported) {
  const std::string path = PrimitivesFile();
  {
    CwStream stream(path.c_str(), false);
    WriteText(stream, "0123456789");
    WriteWord(stream, 0xBEEF);
  }
  CwStream stream(path.c_str(), true);
  char small[5] = {'!', '!', '!', '!', '!'};
  EXPECT_FALSE(ReadText(stream, small, sizeof small));
  EXPECT_STREQ(small, "0123");
  uint16_t after = 0;
  ASSERT_TRUE(ReadWord(stream, after));
  EXPECT_EQ(after, 0xBEEF) << "the rest of the text is passed over";
}

TEST(StreamPrimitivesTest, SplitPathSplitsBothKindsOfPath) {
  struct Row {
    const char* path;
    const char* drive;
    const char* folder;
    const char* name;
    const char* extension;
  };
  const Row rows[] = {
      {"E:\\Apps\\Burn\\prog.exe", "E:", "\\Apps\\Burn\\", "prog", ".exe"},
      {"/opt/burn/MSG/SCSI.MSG", "", "/opt/burn/MSG/", "SCSI", ".MSG"},
      {"MSG\\SCSI", "", "MSG\\", "SCSI", ""},
      {"C:", "C:", "", "", ""},
      {"archive.tar.gz", "", "", "archive.tar", ".gz"},
      {"", "", "", "", ""},
  };
  for (const auto& row : rows) {
    const SplitPath split(row.path);
    EXPECT_STREQ(split.GetFull(), row.path);
    EXPECT_STREQ(split.GetDrive(), row.drive) << row.path;
    EXPECT_STREQ(split.GetFolder(), row.folder) << row.path;
    EXPECT_STREQ(split.GetName(), row.name) << row.path;
    EXPECT_STREQ(split.GetExtension(), row.extension) << row.path;
  }
  const SplitPath none(nullptr);
  EXPECT_STREQ(none.GetFull(), "");
  const std::string longName(400, 'a');
  const SplitPath cut(longName.c_str());
  EXPECT_EQ(std::string(cut.GetFull()).size(), SplitPath::kFullSize - 1);
  EXPECT_EQ(std::string(cut.GetName()).size(), SplitPath::kPartSize - 1);
}

}  // namespace
