// The command line's grammar, the bytes of the blocks it makes, blocks
// received from another instance (refused, cut or with a text that has no
// end) and their execution through the main owner window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/command/CommandBlock.h"
#include "app/command/CommandLine.h"
#include "app/core/MessageLoop.h"
#include "app/core/System.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayListEntry.h"
#include "support/TestPaths.h"
#include "windows/owner/MainOwnerWindow.h"

namespace {

// A record as "type" (no data), "type=value" (4-byte data) or
// "type:text" (text with its zero).
std::string Describe(const CommandRecordView& record) {
  std::string text = std::to_string(record.type);
  CStr path;
  DWORD value = 0;
  if (record.length == 0) return text;
  if (record.type == COMMAND_LOOP || record.type == COMMAND_SHUFFLE || record.type == COMMAND_MINIMIZE) {
    return GetCommandValue(record, value) ? text + "=" + std::to_string(value) : text + "=?";
  }
  return GetCommandText(record, path) ? text + ":" + path.c_str() : text + ":?";
}

std::vector<std::string> Describe(const CommandBlock* block) {
  std::vector<std::string> records;
  if (!block) return records;
  for (const CommandRecordView& record : ListCommandRecords(*block)) records.push_back(Describe(record));
  return records;
}

std::string Hex(const BYTE* bytes, size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < size; ++i) {
    hex += digits[bytes[i] >> 4];
    hex += digits[bytes[i] & 15];
  }
  return hex;
}

// Exactly `bytes`, in an allocation of their size, so that a read past
// them is a sanitizer's finding.
std::vector<BYTE> Bytes(std::initializer_list<DWORD> words, const std::string& tail = std::string()) {
  std::vector<BYTE> bytes;
  for (DWORD word : words)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(word >> shift));
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  bytes.shrink_to_fit();
  return bytes;
}

}  // namespace

TEST(CommandLine, TheGrammarsEdgeCases) {
  const char* kAddError = "Invalid command line argument: a file path must follow -a\n";
  struct Case {
    const char* why;
    const char* line;
    std::vector<std::string> records;
    const char* errors;
    bool newInstance;
    bool timing;
  };
  const Case cases[] = {
      {"empty line", "   ", {}, "", false, false},
      {"a bare path adds, selects and plays", "D:\\Music\\song.mp3", {"2:D:\\Music\\song.mp3", "5"}, "", false, false},
      {"a bare path keeps its blanks", "  /m/a b.wav", {"2:/m/a b.wav", "5"}, "", false, false},
      {"a quoted playlist with its quote", "\"D:\\Lists\\Best.P4U\"", {"7:D:\\Lists\\Best.P4U", "5"}, "", false,
       false},
      {"a bare .wpl is a playlist", "/l/x.wpl", {"7:/l/x.wpl", "5"}, "", false, false},
      {"a bare .pls is a file", "/l/x.pls", {"2:/l/x.pls", "5"}, "", false, false},
      {"a bare .m3u is a file", "/l/x.m3u", {"2:/l/x.m3u", "5"}, "", false, false},
      {"-ad adds a slash", "-ad D:\\Music", {"1:D:\\Music/"}, "", false, false},
      {"-ad keeps a separator", "-ad D:\\Music\\", {"1:D:\\Music\\"}, "", false, false},
      {"-a at the end", "-p -a", {"5"}, kAddError, false, false},
      {"-a takes -p as its path", "-a -p", {"1:-p"}, "", false, false},
      {"-ax reports x and still adds", "-ax /m/a.wav",
       {"1:/m/a.wav"},
       "Invalid command line argument: unknown switch 'x' in add statement - it will be ignored\n", false, false},
      {"-pm: m is no item", "-pm", {"5"}, "Invalid command line argument: m\n", false, false},
      {"groups keep their order", "-p -o -s", {"4=1", "3=1", "5"}, "", false, false},
      {"the second -l wins", "-l /a.p4u -l/b.p4u", {"7:/b.p4u"}, "", false, false},
      {"all groups in block order", "-m -p -ag \"/m/x y.wav\" -a /m/z.wav -l /l.p4u -o -s -ia /s/one.s4u -i /s/two.s4u",
       {"9:/s/one.s4u", "8:/s/two.s4u", "4=1", "3=1", "7:/l.p4u", "2:/m/x y.wav", "1:/m/z.wav", "5", "6=1"},
       "", false, false},
      {"repeats count once", "-p -p -s -s", {"4=1", "5"}, "", false, false},
      {"-n and -z make no record", "-n -z", {}, "", true, true},
      {"an unclosed quote is an empty path", "-a \"/m/open.wav", {}, kAddError, false, false},
      {"unknown command", "-q now -p", {"5"},
       "Invalid command line argument: unknown command: -q\nInvalid command line argument: now\n", false, false},
      {"-i reports a wrong letter", "-ib /s.s4u", {"8:/s.s4u"},
       "Invalid command line argument: unknown switch 'b' in 'install skin' statement - it will be ignored\n", false,
       false},
      {"-i and -l want a path", "-i -l",
       {"8:-l"}, "", false, false},
      {"-l at the end", "-l", {}, "Invalid command line argument: a file path must follow -l\n", false, false},
      {"a fault of one kind is one line with its count", "-axyz /m/a.wav -q -r -p -s",
       {"4=1", "1:/m/a.wav", "5"},
       "Invalid command line argument: unknown switch 'x' in add statement - it will be ignored (3 times)\n"
       "Invalid command line argument: unknown command: -q (2 times)\n",
       false, false},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.line);
    EXPECT_EQ(Describe(parsed.block.get()), c.records) << c.why;
    EXPECT_EQ(parsed.block == nullptr, c.records.empty()) << c.why << ": no commands, no block";
    EXPECT_STREQ(parsed.errors, c.errors) << c.why;
    EXPECT_EQ(parsed.newInstance, c.newInstance) << c.why;
    EXPECT_EQ(parsed.timing, c.timing) << c.why;
  }
}

TEST(CommandLine, BlocksAreTheBytesPythonsStructPackMakes) {
  const ParsedCommandLine play = ParseCommandLine("-p");
  ASSERT_TRUE(play.block);
  EXPECT_EQ(Hex(play.block->GetData(), play.block->GetSize()), "0c000000050000000000000000000000");

  const char* script =
      "import struct\n"
      "def rec(t, d): return struct.pack('<II', t, len(d)) + d\n"
      "recs = rec(9, b'/s/a.s4u\\0') + rec(4, struct.pack('<I', 1)) + rec(7, b'/l.p4u\\0') + "
      "rec(2, b'/m/x y.wav\\0') + rec(5, b'') + rec(6, struct.pack('<I', 1))\n"
      "print((struct.pack('<I', len(recs) + 4) + recs + struct.pack('<I', 0)).hex())\n";
  const std::string path = twltest::MakeTempDir("python") + "/block.py";
  twltest::WriteFile(path, script);
  std::string expected;
  ASSERT_EQ(twltest::RunCommand("python3 " + path, &expected), 0);
  while (!expected.empty() && expected.back() == '\n') expected.pop_back();
  const ParsedCommandLine all = ParseCommandLine("-m -p -ag \"/m/x y.wav\" -l /l.p4u -s -ia /s/a.s4u");
  ASSERT_TRUE(all.block);
  EXPECT_EQ(Hex(all.block->GetData(), all.block->GetSize()), expected);
  EXPECT_TRUE(CommandBlockFillsPlayList(*all.block));
  EXPECT_FALSE(CommandBlockFillsPlayList(*play.block));
}

TEST(CommandBlocks, DamagedReceivedBlocksAreRefusedOrCutWithoutReadingOutside) {
  struct Refused {
    const char* why;
    std::vector<BYTE> bytes;
  } refused[] = {
      {"fewer than 8 bytes", Bytes({12})},
      {"length beyond what arrived", Bytes({12, 5, 0})},
      {"length far beyond", Bytes({0xFFFFFFF0u, 5, 0})},
      {"a length that cannot hold itself", Bytes({3, 0})},
  };
  for (const Refused& r : refused) EXPECT_EQ(CopyCommandBlock(r.bytes.data(), static_cast<DWORD>(r.bytes.size())), nullptr) << r.why;

  struct Walked {
    const char* why;
    std::vector<BYTE> bytes;
    std::vector<std::string> records;
  } walked[] = {
      {"a whole block", Bytes({24, 3, 4, 1, 5, 0, 0}), {"3=1", "5"}},
      {"a record whose data runs past L", Bytes({24, 3, 4, 1, 1, 100, 0}), {"3=1"}},
      {"a record header cut by L", Bytes({16, 3, 4, 1, 5, 0}), {"3=1"}},
      {"an empty block", Bytes({0, 0}), {}},
      {"the first type is the end", Bytes({4, 0}), {}},
      {"more arrived than L claims", Bytes({12, 5, 0, 0, 7, 7}), {"5"}},
  };
  for (const Walked& w : walked) {
    std::unique_ptr<CommandBlock> block = CopyCommandBlock(w.bytes.data(), static_cast<DWORD>(w.bytes.size()));
    ASSERT_TRUE(block) << w.why;
    EXPECT_EQ(Describe(block.get()), w.records) << w.why;
  }
}

namespace {

// The process's system with its log in the sandbox and its owner window.
class OwnerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Log = twltest::MakeTempDir("owner") + "/Log.txt";
    GetSystem().GetLogFile().SetFileName(m_Log.c_str());
    SetLogFront(&GetSystem());
    SetQuitting(false);
    GetSystem().GetOwnerWindow().Create(3);
  }
  void TearDown() override {
    GetSystem().GetOwnerWindow().Destroy();
    SetLogFront(nullptr);
    GetSystem().GetLogFile().ClearFileName();
  }
  HWND Window() { return GetSystem().GetOwnerWindow().GetWindowHandle(); }
  LRESULT Send(ULONG_PTR id, std::vector<BYTE>& bytes) {
    COPYDATASTRUCT data{id, static_cast<DWORD>(bytes.size()), bytes.data()};
    return SendMessageA(Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }
  // Runs the posted messages.
  void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  std::string Log() { return twltest::ReadFile(m_Log); }

  std::string m_Log;
};

}  // namespace

TEST_F(OwnerWindow, CarriesTheSignatureAndTheInstanceNumber) {
  const DWORD expected[] = {0x519BF2A5, 0x44132970, 0x2E19E0B6, 0x69D6FFD9, 0, 3};
  for (int word = 0; word < 6; ++word)
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(Window(), 4 * word)), expected[word]) << "offset " << 4 * word;
  EXPECT_EQ(GetClassLongA(Window(), GCL_CBWNDEXTRA), 24);
  EXPECT_TRUE(IsOwnerWindowOfAnInstance(Window()));
  char name[64] = "";
  GetClassNameA(Window(), name, sizeof name);
  EXPECT_STREQ(name, "TWL MainOwnerWindow Class");
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_TRUE(GetSystem().GetOwnerWindow().GetChildWindowHandle());
}

TEST_F(OwnerWindow, ItsSystemMenuHoldsMinimizeFirstAndCloseOnly) {
  HMENU menu = GetSystemMenu(Window(), FALSE);
  ASSERT_TRUE(menu);
  std::vector<UINT> ids;
  for (int position = 0; position < GetMenuItemCount(menu); ++position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info));
    if (!(info.fType & MFT_SEPARATOR)) ids.push_back(info.wID);
  }
  EXPECT_EQ(ids, (std::vector<UINT>{kOwnerMinimizeCommand, SC_CLOSE}));
  char text[64] = "";
  GetMenuStringA(menu, kOwnerMinimizeCommand, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "Mi&nimize") << "the standard item's text moves to the new item";
}

TEST_F(OwnerWindow, CloseEndsTheMessageLoop) {
  PostMessageA(Window(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(RunMessageLoop());
  EXPECT_TRUE(IsQuitting());
}

// The text record without its zero comes last, and the end marker after
// it is not zero either, so a read of the text past its length would
// leave the copy (a sanitizer's finding); the records before it still run.
TEST_F(OwnerWindow, ReceivedBlocksRunAfterTheSendAndOnlyWithTheirIdentifier) {
  CPlayerSystem& players = GetPlayerSystem();
  ASSERT_FALSE(players.GetLoop());
  const std::string records = [] {
    std::vector<BYTE> bytes = Bytes({3, 4, 1, 4, 4, 1, 1, 9}, std::string("/m/a.wav") + '\0');
    const std::vector<BYTE> open = Bytes({1, 4}, "open");
    bytes.insert(bytes.end(), open.begin(), open.end());
    return std::string(bytes.begin(), bytes.end());
  }();
  std::vector<BYTE> block = Bytes({static_cast<DWORD>(records.size() + 4)}, records + "XXXX");

  Send(kCommandBlockCopyDataId + 1, block);
  Pump();
  EXPECT_FALSE(players.GetLoop()) << "another identifier changes nothing";
  EXPECT_EQ(players.GetPlayList().GetCount(), 0);

  Send(kCommandBlockCopyDataId, block);
  EXPECT_FALSE(players.GetLoop()) << "nothing runs inside the sender's send";
  Pump();
  EXPECT_TRUE(players.GetLoop());
  EXPECT_TRUE(players.GetShuffle());
  EXPECT_EQ(players.GetPlayList().GetCount(), 1);
  EXPECT_NE(Log().find("Command skipped: its text has no end."), std::string::npos) << Log();

  std::vector<BYTE> cut(block.begin(), block.end() - 1);
  players.SetLoop(false);
  Send(kCommandBlockCopyDataId, cut);
  Pump();
  EXPECT_FALSE(players.GetLoop()) << "a block longer than what arrived is refused";
  EXPECT_NE(Log().find("refused"), std::string::npos) << Log();
}

// A playlist that cannot be read is logged with its reason; the records
// after it still run.
TEST_F(OwnerWindow, AnUnreadablePlayListIsLoggedAndTheRestRuns) {
  const std::string folder = twltest::MakeTempDir("lists");
  twltest::WriteFile(folder + "/list.m3u", "#EXTM3U\r\n#EXTINF:3,Tone\r\nsub\\c.wav\r\n");
  const std::string line = "-l " + folder + "/missing.p4u -ag " + folder + "/b.wav -p";
  ParsedCommandLine parsed = ParseCommandLine(line.c_str());
  ASSERT_TRUE(parsed.block);
  GetSystem().ExecuteCommandBlock(*parsed.block);
  EXPECT_EQ(GetPlayerSystem().GetPlayList().GetCount(), 1);
  EXPECT_EQ(GetPlayerSystem().GetCurrentEntryNumber(), 0) << "the added file became current";
  const std::string log = Log();
  EXPECT_NE(log.find("Error loading playlist"), std::string::npos) << log;
  EXPECT_NE(log.find("missing.p4u"), std::string::npos) << "the reason names the file\n" << log;

  parsed = ParseCommandLine(("-l " + folder + "/list.m3u").c_str());
  GetSystem().ExecuteCommandBlock(*parsed.block);
  ASSERT_EQ(GetPlayerSystem().GetPlayList().GetCount(), 1) << "an M3U list is read by its own reader\n" << Log();
  EXPECT_EQ(std::string(GetPlayerSystem().GetPlayList().GetEntry(0)->GetURL()), "file://" + folder + "/sub/c.wav");
}
