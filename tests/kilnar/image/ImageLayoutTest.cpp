// The image's layout byte by byte (read back with python3 struct): the
// edge cases of empty roots, directories that fill a sector, empty files,
// the byte order of names and the volume set text; the size worked out
// before writing against the size written; path tables larger than the
// work buffer.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ImageFacts.h"

namespace {

using imagetest::Facts;
using imagetest::Quoted;
using imagetest::RunImage;

struct LayoutCase {
  const char* behaviour;
  const char* script;  // makes the folder's contents
  const char* options;
  unsigned calc;
  unsigned image;
  std::map<std::string, std::string> facts;
};

TEST(ImageLayoutTest, EdgeCasesLayEveryFieldWhereItBelongs) {
  const std::string sixtyThree(63, 'x');
  const std::vector<LayoutCase> cases = {
      {"an empty root without Joliet", "", "--mode 4", 1024, 23,
       {{"descriptors", "16:1,17:1,18:1,19:255"}, {"l_sector", "20"}, {"m_sector", "21"}, {"root_extent", "22"},
        {"root_length", "2048"}, {"volume_size", "23"}, {"file_sectors", "1024"}, {"padding_sectors", "1001"},
        {"volume_id", "NONAME"}, {"volume_id_padded", "1"}, {"root_record", "34:2:0"}, {"path_table_size", "10"}}},
      {"an empty root with Joliet", "", "--mode 5", 1024, 26,
       {{"descriptors", "16:1,17:1,18:1,19:2,20:255"}, {"svd_escape", "%/@"}, {"l_sector", "21"}, {"m_sector", "22"},
        {"svd_l_sector", "23"}, {"svd_m_sector", "23"}, {"root_extent", "24"}, {"svd_root_extent", "25"},
        {"volume_size", "26"}, {"padding_sectors", "998"}, {"svd_volume_id", "NONAME"}}},
      {"records that fill exactly 2048 bytes take one sector",
       "for i in range(20): open('%02d' % i + 'x' * 61, 'w').close()\nopen('y' * 27, 'w').close()\n", "--mode 4",
       1024, 23, {{"root_length", "2048"}}},
      {"two more bytes of records take a second sector",
       "for i in range(20): open('%02d' % i + 'x' * 61, 'w').close()\nopen('y' * 28, 'w').close()\n", "--mode 4",
       1024, 24, {{"root_length", "4096"}}},
      {"an empty file shares its extent with the next file",
       "open('a', 'w').close()\nopen('b', 'w').write('1')\nopen('c', 'w').write('2')\n", "--mode 4", 1024, 25,
       {{"root_entries", "a:23:0:0|b:23:1:0|c:24:1:0"}}},
      // Names equal without regard to case are numbered apart, so "Ab"
      // and "aa" stand for the "A" and "a" of the rule (the tree's own
      // order would be B, aa, Ab).
      {"names in byte order, folders not first",
       "open('aa', 'w').close()\nos.mkdir('B')\nopen('Ab', 'w').close()\n", "--mode 4", 1024, 24,
       {{"root_entries", "Ab:24:0:0|B:23:2048:2|aa:24:0:0"}}},
      {"an empty volume set text repeats the label in the primary descriptor only", "",
       "--mode 5 --label 'My Disc'", 1024, 26,
       {{"volume_id", "My Disc"}, {"volume_set", "My Disc"}, {"svd_volume_id", "My Disc"},
        {"svd_volume_set_blank", "1"}}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.behaviour);
    const std::string folder = twltest::MakeTempDir("layout");
    imagetest::MakeWithPython(folder, row.script);
    const std::string out = twltest::SandboxDir() + "/layout.iso";
    const auto run = RunImage(std::string(row.options) + " " + Quoted(out) + " " + Quoted(folder));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.calc, row.calc);
    EXPECT_EQ(run.image, row.image);
    const auto facts = Facts(out);
    imagetest::ExpectSoundImage(facts);
    for (const auto& [key, value] : row.facts) EXPECT_EQ(facts.at(key), value) << key;
  }
}

// Folders first (the tree's own order) packs this root into three sectors,
// the image's byte order into two: the size worked out before writing
// must follow the image's order, or the burn announces a wrong count.
TEST(ImageLayoutTest, SizeWorkedOutIsTheSizeWritten) {
  const std::string folder = twltest::MakeTempDir("order");
  imagetest::MakeWithPython(folder,
                            "for i in range(39): os.mkdir('Z' * 61 + '%02d' % i)\n"
                            "for i in range(3): open('A' * 46 + str(i), 'w').close()\n"
                            "open('Z' * 61 + '00/big.bin', 'wb').write(os.urandom(3 << 20))\n");
  const std::string out = twltest::SandboxDir() + "/order.iso";
  const auto run = RunImage("--mode 4 " + Quoted(out) + " " + Quoted(folder));
  ASSERT_EQ(run.status, 0) << run.err;
  const auto facts = Facts(out);
  EXPECT_EQ(facts.at("root_length"), "4096");
  EXPECT_EQ(std::to_string(run.calc), facts.at("file_sectors"));
  EXPECT_EQ(run.calc, run.image) << "an image of more than 1024 sectors has no padding";
  imagetest::ExpectSoundImage(facts);
}

// 1990 folders of 63-character names: each path table takes about 140 KB,
// more than the 65535-byte work buffer, and goes out in pieces.
TEST(ImageLayoutTest, PathTablesLargerThanTheWorkBufferAreWrittenWhole) {
  const std::string folder = twltest::MakeTempDir("wide");
  imagetest::MakeWithPython(folder,
                            "for i in range(39):\n"
                            "    top = 'T%02d' % i + 'p' * 60\n"
                            "    os.mkdir(top)\n"
                            "    for j in range(50): os.mkdir(top + '/' + 'S%02d' % j + 'q' * 60)\n");
  const std::string out = twltest::SandboxDir() + "/wide.iso";
  const auto run = RunImage("--mode 4 " + Quoted(out) + " " + Quoted(folder));
  ASSERT_EQ(run.status, 0) << run.err;
  const auto facts = Facts(out);
  EXPECT_EQ(facts.at("path_records"), "1990");
  EXPECT_GT(std::stoul(facts.at("path_table_size")), 65535u);
  EXPECT_EQ(std::to_string(run.calc), facts.at("file_sectors"));
  imagetest::ExpectSoundImage(facts);
}

}  // namespace
