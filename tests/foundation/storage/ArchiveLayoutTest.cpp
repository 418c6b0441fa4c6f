// The archive's bytes, checked against python3's struct module: an
// independent statement of the little-endian layout.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "ArchiveHelpers.h"
#include "foundation/containers/DWORDArray.h"
#include "foundation/containers/DWORDMap.h"
#include "foundation/containers/StrArray.h"
#include "support/TestPaths.h"

using archivetest::Stored;

namespace {

struct Row {
  const char* what;
  std::function<void(CStorage&)> store;
  const char* python;  // an expression giving the expected bytes
};

std::string Hex(const std::string& bytes) {
  std::string hex;
  char digits[3];
  for (unsigned char byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    hex += digits;
  }
  return hex;
}

// One line of hex per expression, as python3 computes it.
std::vector<std::string> PythonBytes(const std::vector<Row>& rows) {
  std::string script = "import struct\nfor b in [\n";
  for (const Row& row : rows) script += std::string("  ") + row.python + ",\n";
  script += "]:\n  print(b.hex())\n";
  const std::string file = twltest::MakeTempDir("python") + "/layout.py";
  twltest::WriteFile(file, script);
  FILE* pipe = popen(("/usr/bin/python3 " + file).c_str(), "r");
  EXPECT_NE(pipe, nullptr);
  std::string output;
  char buffer[4096];
  size_t got = 0;
  while (pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  EXPECT_EQ(pipe ? pclose(pipe) : -1, 0) << "python3 failed";
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

TEST(ArchiveLayout, MatchesPythonStruct) {
  const std::vector<Row> rows = {
      {"u8 0", [](CStorage& s) { s.WriteValue(BYTE{0}); }, "struct.pack('<B', 0)"},
      {"u8 255", [](CStorage& s) { s.WriteValue(BYTE{255}); }, "struct.pack('<B', 255)"},
      {"u16", [](CStorage& s) { s.WriteValue(WORD{0x1234}); }, "struct.pack('<H', 0x1234)"},
      {"i16 -2", [](CStorage& s) { s.WriteValue(SHORT{-2}); }, "struct.pack('<h', -2)"},
      {"u32", [](CStorage& s) { s.WriteValue(DWORD{0xDEADBEEF}); }, "struct.pack('<I', 0xDEADBEEF)"},
      {"i32 -7", [](CStorage& s) { s.WriteValue(INT{-7}); }, "struct.pack('<i', -7)"},
      {"mixed widths, no padding",
       [](CStorage& s) {
         s.WriteValue(BYTE{1});
         s.WriteValue(DWORD{2});
         s.WriteValue(WORD{3});
       },
       "struct.pack('<BIH', 1, 2, 3)"},
      {"text abc", [](CStorage& s) { s.WriteString("abc"); }, "struct.pack('<H', 3) + b'abc'"},
      {"empty text", [](CStorage& s) { s.WriteString(""); }, "struct.pack('<H', 0)"},
      {"raw block", [](CStorage& s) { s.Write("\x01\x02\x03", 3); }, "bytes([1, 2, 3])"},
      {"two-entry map",
       [](CStorage& s) {
         CDWORDMap map;
         map[0x20] = 0xB;  // bucket 2
         map[0x10] = 0xA;  // bucket 1: comes first
         map.Serialize(s);
       },
       "struct.pack('<5I', 2, 0x10, 0xA, 0x20, 0xB)"},
      {"DWORD array",
       [](CStorage& s) {
         CDWORDArray array;
         for (DWORD v : {7u, 0xFFFFFFFFu, 9u}) array.SetAtGrow(array.GetCount(), v);
         array.Serialize(s);
       },
       "struct.pack('<4I', 3, 7, 0xFFFFFFFF, 9)"},
      {"text array",
       [](CStorage& s) {
         CStrArray array;
         array.SetAtGrow(0, "a");
         array.SetAtGrow(1, "");
         array.SetAtGrow(2, "bc");
         array.Serialize(s);
       },
       "struct.pack('<IH', 3, 1) + b'a' + struct.pack('<HH', 0, 2) + b'bc'"},
      {"empty map", [](CStorage& s) { CDWORDMap().Serialize(s); }, "struct.pack('<I', 0)"},
  };
  const std::vector<std::string> expected = PythonBytes(rows);
  ASSERT_EQ(expected.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(Hex(Stored(rows[i].store)), expected[i]) << rows[i].what;
  EXPECT_EQ(expected[10].size(), 40u) << "a two-entry map is 20 bytes";
}

// A value that does not fit behind the position goes after a flush, whole;
// small buffers change no byte.
TEST(ArchiveLayout, SmallBuffersGiveTheSameBytes) {
  const auto store = [](CStorage& s) {
    for (int i = 0; i < 5; ++i) {
      s.WriteValue(WORD(0x0101 * i));
      s.WriteValue(DWORD(0x01020304u * i));
      s.WriteString("xyz");
      s.Write("0123456789abcdef", 16);
    }
  };
  const std::string reference = Stored(store, 4096);
  for (DWORD size : {0u, 1u, 8u, 9u, 13u}) EXPECT_EQ(Stored(store, size), reference) << "buffer " << size;
}
