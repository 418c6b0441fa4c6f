// Images read back by the tools of other makers: xorriso and osirrox,
// isoinfo and isovfy, bsdtar and 7z list and extract every path of a tree
// of long, deep, colliding and non-ASCII names as it stands on disk; the
// ISO names of modes 1 and 4 are those kilnartool tree gives; an image
// for a later start sector reads with its displacement.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "ImageFacts.h"

namespace {

using imagetest::Quoted;
using imagetest::RunImage;

// 64-character names, folders 7 deep below the root, names equal in 8.3,
// names beyond Latin-1, and a file large enough to need no padding.
const char* const kReadersTree =
    "deep = '/'.join('Level %d' % i for i in range(1, 8))\n"
    "os.makedirs(deep)\n"
    "open(deep + '/bottom.txt', 'w').write('deep')\n"
    "open('L' * 60 + '.txt', 'w').write('long')\n"
    "os.mkdir('F' * 64)\n"
    "open('F' * 64 + '/' + 'g' * 64, 'w').write('x')\n"
    "for name in ['Longname1x.mp3', 'Longname2x.mp3', 'Longname3x.mp3']: open(name, 'w').write(name)\n"
    "for name in ['M\\u00fcller.txt', '\\u65e5\\u672c\\u8a9e', '\\u0395\\u03bb\\u03bb\\u03b7\\u03bd\\u03b9\\u03ba\\u03ac']:\n"
    "    open(name, 'w').write(name)\n"
    "open('Big file.bin', 'wb').write(os.urandom(3 << 20))\n"
    "open('empty', 'w').close()\n";

// Every path below the folder, "/"-joined, from python's walk.
std::set<std::string> PathsOnDisk(const std::string& folder) {
  std::string out;
  const std::string script = twltest::SandboxDir() + "/walk.py";
  twltest::WriteFile(script,
                     "import os, sys\nfor top, dirs, files in os.walk(sys.argv[1]):\n"
                     "    for name in dirs + files: print(os.path.relpath(os.path.join(top, name), sys.argv[1]))\n");
  EXPECT_EQ(twltest::RunCommand("python3 " + Quoted(script) + " " + Quoted(folder), &out), 0);
  std::set<std::string> paths;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) paths.insert(line);
  return paths;
}

// The lines of a command's output, each cut by `trim` (a prefix dropped,
// "/" at either end dropped), blank ones left out.
std::set<std::string> ListedPaths(const std::string& command, const std::string& prefix = "") {
  std::string out;
  EXPECT_EQ(twltest::RunCommand("LC_ALL=C.UTF-8 " + command + " 2>/dev/null", &out), 0) << command;
  std::set<std::string> paths;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    if (!prefix.empty()) {
      if (line.rfind(prefix, 0) != 0) continue;
      line = line.substr(prefix.size());
    }
    while (!line.empty() && (line.back() == '/' || line.back() == '\r')) line.pop_back();
    while (!line.empty() && line.front() == '/') line.erase(0, 1);
    if (!line.empty() && line != ".") paths.insert(line);
  }
  return paths;
}

// xorriso's lsdl lines end with the path in single quotes.
std::set<std::string> XorrisoPaths(const std::string& arguments) {
  std::string out;
  EXPECT_EQ(twltest::RunCommand("LC_ALL=C.UTF-8 xorriso " + arguments + " -find / -exec lsdl -- 2>/dev/null", &out), 0);
  std::set<std::string> paths;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t open = line.find(" '/");
    if (open == std::string::npos || line.back() != '\'') continue;
    std::string path = line.substr(open + 3, line.size() - open - 4);
    if (!path.empty()) paths.insert(path);
  }
  return paths;
}

bool IsAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

TEST(ImageReadersTest, JolietImageListsAndExtractsEveryPathAsOnDisk) {
  const std::string folder = twltest::MakeTempDir("readers");
  imagetest::MakeWithPython(folder, kReadersTree);
  const std::string image = twltest::SandboxDir() + "/readers.iso";
  const auto run = RunImage("--mode 5 " + Quoted(image) + " " + Quoted(folder));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.calc, run.image);
  EXPECT_EQ(kilnartest::FileSize(image), static_cast<long long>(run.calc) * 2048);

  std::string info;
  ASSERT_EQ(twltest::RunCommand("isoinfo -d -i " + Quoted(image), &info), 0);
  EXPECT_NE(info.find("Volume size is: " + std::to_string(run.image) + "\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Joliet with UCS level 1 found"), std::string::npos) << info;

  const std::set<std::string> onDisk = PathsOnDisk(folder);
  EXPECT_EQ(XorrisoPaths("-indev " + Quoted(image)), onDisk);
  EXPECT_EQ(ListedPaths("bsdtar -tf " + Quoted(image)), onDisk);
  // 7z names the archive itself first.
  auto by7z = ListedPaths("7z l -slt " + Quoted(image), "Path = ");
  by7z.erase(image.substr(1));
  EXPECT_EQ(by7z, onDisk);
  // isoinfo shows characters beyond Latin-1 as "_": the ASCII paths are
  // listed as they are, the others as many.
  const auto byIsoinfo = ListedPaths("isoinfo -f -J -i " + Quoted(image));
  EXPECT_EQ(byIsoinfo.size(), onDisk.size());
  for (const auto& path : onDisk) {
    if (!IsAscii(path)) continue;
    EXPECT_EQ(byIsoinfo.count(path), 1u) << path;
  }

  const std::string extracted = twltest::SandboxDir() + "/extracted";
  ASSERT_EQ(twltest::RunCommand("osirrox -indev " + Quoted(image) + " -extract / " + Quoted(extracted) +
                                " >/dev/null 2>&1"),
            0);
  EXPECT_EQ(twltest::RunCommand("diff -r " + Quoted(folder) + " " + Quoted(extracted)), 0);

  std::string verify;
  twltest::RunCommand("isovfy -i " + Quoted(image) + " 2>&1", &verify);
  EXPECT_NE(verify.find("No errors found"), std::string::npos) << verify;
}

// The ISO paths of `kilnartool tree` (the third column), "/"-joined.
std::set<std::string> TreeIsoPaths(const std::string& arguments) {
  std::string out;
  EXPECT_EQ(kilnartest::RunKilnartool("tree " + arguments, &out), 0);
  std::set<std::string> paths;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream row(line);
    std::string kind, size, iso;
    if (!std::getline(row, kind, '\t') || !std::getline(row, size, '\t') || !std::getline(row, iso, '\t')) continue;
    for (char& c : iso)
      if (c == '\\') c = '/';
    paths.insert(iso);
  }
  return paths;
}

TEST(ImageReadersTest, IsoNamesOfModesOneAndFourReadBackAsTheTreeGivesThem) {
  const std::string folder = twltest::MakeTempDir("modes");
  imagetest::MakeWithPython(folder,
                            "os.makedirs('Some Folder/Inner one')\n"
                            "open('Some Folder/Inner one/A long file name.txt', 'w').write('a')\n"
                            "for name in ['Longname1x.mp3', 'Longname2x.mp3', 'song.ogg']: open(name, 'w').write(name)\n");
  for (const char* mode : {"1", "4"}) {
    SCOPED_TRACE(mode);
    const std::string image = twltest::SandboxDir() + "/mode" + mode + ".iso";
    const auto run = RunImage(std::string("--mode ") + mode + " " + Quoted(image) + " " + Quoted(folder));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto expected = TreeIsoPaths(std::string("--mode ") + mode + " " + Quoted(folder));
    EXPECT_EQ(ListedPaths("isoinfo -f -i " + Quoted(image)), expected);
    EXPECT_EQ(XorrisoPaths("-indev " + Quoted(image)), expected);
  }
}

TEST(ImageReadersTest, ImageForALaterStartSectorReadsWithItsDisplacement) {
  const std::string folder = twltest::MakeTempDir("start");
  imagetest::MakeWithPython(folder, "os.mkdir('Album 01')\nopen('Album 01/one.ogg', 'w').write('1' * 5000)\n"
                                    "open('CDPLAYLIST.P4U', 'w').write('p')\n");
  const std::string image = twltest::SandboxDir() + "/start.iso";
  const auto run = RunImage("--mode 4 --start 12574 " + Quoted(image) + " " + Quoted(folder));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::set<std::string> onDisk = PathsOnDisk(folder);
  EXPECT_EQ(ListedPaths("isoinfo -N 12574 -f -i " + Quoted(image)), onDisk);
  EXPECT_EQ(XorrisoPaths("-displacement -12574 -indev " + Quoted(image)), onDisk);
  const auto facts = imagetest::Facts(image, 12574);
  EXPECT_EQ(facts.at("l_sector"), "12594");
  imagetest::ExpectSoundImage(facts);
}

}  // namespace
