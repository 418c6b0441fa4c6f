// kilnartool tree on folders made by python3: renaming and numbering of
// equal ISO names, Joliet paths against os.walk, folders left out, links
// that lead back, and a folder of 70,000 files that map to one name.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "kilnar/KilnarTestTool.h"

namespace {

using kilnartest::Quoted;
using kilnartest::RunKilnartool;

struct Line {
  char kind;
  unsigned long size;
  std::string iso;
  std::string joliet;
};

// The tree's lines by kind "d" or "f"; other lines (the tree's own texts)
// are left out.
std::vector<Line> TreeLines(const std::string& output) {
  std::vector<Line> lines;
  std::istringstream in(output);
  std::string text;
  while (std::getline(in, text)) {
    if (text.size() < 2 || (text[0] != 'd' && text[0] != 'f') || text[1] != '\t') continue;
    std::vector<std::string> fields;
    std::istringstream row(text);
    std::string field;
    while (std::getline(row, field, '\t')) fields.push_back(field);
    if (fields.size() != 4) {
      ADD_FAILURE() << "not four fields: " << text;
      continue;
    }
    lines.push_back({text[0], std::stoul(fields[1]), fields[2], fields[3]});
  }
  return lines;
}

std::vector<Line> RunTree(const std::string& arguments) {
  std::string output, error;
  EXPECT_EQ(RunKilnartool("tree " + arguments, &output, "", &error), 0) << error;
  return TreeLines(output);
}

std::map<std::string, std::string> IsoByJoliet(const std::vector<Line>& lines) {
  std::map<std::string, std::string> names;
  for (const auto& line : lines) names[line.joliet] = line.iso;
  return names;
}

void RunPython(const std::string& script, std::string* output = nullptr) {
  const std::string file = twltest::SandboxDir() + "/make_tree.py";
  twltest::WriteFile(file, script);
  ASSERT_EQ(twltest::RunCommand("python3 " + Quoted(file), output), 0) << script;
}

TEST(TreeToolTest, EqualIsoNamesAreNumberedAndTheLastKeepsThePlainName) {
  const std::string folder = twltest::MakeTempDir("equal");
  RunPython("import os\nos.chdir(" + Quoted(folder) +
            ")\n"
            "for name in ['Longname1x.mp3', 'Longname2x.mp3', 'Song (1).mp3', 'Song [1].mp3', 'Song {1}.mp3']:\n"
            "    open(name, 'w').close()\n"
            "os.mkdir('Best.Of')\nos.mkdir('\\u65e5\\u672c!')\n");
  const auto names = IsoByJoliet(RunTree("--mode 5 " + Quoted(folder)));
  EXPECT_EQ(names.at("Longname1x.mp3"), "LONGNAM1.MP3");
  EXPECT_EQ(names.at("Longname2x.mp3"), "LONGNAME.MP3");
  EXPECT_EQ(names.at("Song (1).mp3"), "SONG11.MP3") << "N1";
  EXPECT_EQ(names.at("Song [1].mp3"), "SONG12.MP3") << "N2";
  EXPECT_EQ(names.at("Song {1}.mp3"), "SONG1.MP3") << "the last keeps the plain name";
  EXPECT_EQ(names.at("Best.Of"), "BEST");
  EXPECT_EQ(names.at("\xE6\x97\xA5\xE6\x9C\xAC!"), "_") << "a name of nothing ISO names hold";

  const auto mode4 = IsoByJoliet(RunTree("--mode 4 " + Quoted(folder)));
  EXPECT_EQ(mode4.at("Longname1x.mp3"), "Longname1x.mp3") << "mode 4 keeps the long names";
}

TEST(TreeToolTest, JolietPathsAreThoseOfOsWalk) {
  const std::string folder = twltest::MakeTempDir("walk");
  RunPython("import os\nos.chdir(" + Quoted(folder) +
            ")\n"
            "for d in ['Rock/Live 1999', 'Rock/Studio', 'Jazz', '.cache/deep', 'Rock/.git', 'Caf\\u00e9/Fr\\u00fch']:\n"
            "    os.makedirs(d)\n"
            "files = {'Rock/Live 1999/01 Intro.mp3': 10, 'Rock/Live 1999/01 intro.MP3': 3, 'Rock/Studio/a.ogg': 7,\n"
            "         '.hidden.mp3': 1, 'Jazz/x': 0, '.cache/deep/skip.mp3': 4, 'Rock/.git/HEAD': 2,\n"
            "         'Caf\\u00e9/Fr\\u00fch/St\\u00fcck \\U0001F3B5.flac': 5, 'top.txt': 2}\n"
            "for name, size in files.items():\n"
            "    with open(name, 'wb') as f: f.write(b'x' * size)\n"
            "os.symlink('../..', 'Rock/Studio/back')\nos.symlink('nowhere', 'dangling')\nos.mkfifo('Jazz/pipe')\n");
  std::string walked;
  RunPython("import os\nroot = " + Quoted(folder) +
                "\n"
                "for top, dirs, files in os.walk(root):\n"
                "    dirs[:] = [d for d in dirs if not d.startswith('.') and not os.path.islink(os.path.join(top, d))]\n"
                "    rel = os.path.relpath(top, root)\n"
                "    for d in dirs: print('d', 0, os.path.normpath(os.path.join(rel, d)).replace('/', '\\\\'))\n"
                "    files = [f for f in files if os.path.isfile(os.path.join(top, f))]\n"
                "    for f in files: print('f', os.path.getsize(os.path.join(top, f)),\n"
                "                          os.path.normpath(os.path.join(rel, f)).replace('/', '\\\\'))\n",
            &walked);
  std::set<std::string> expected;
  std::istringstream in(walked);
  for (std::string line; std::getline(in, line);) expected.insert(line);

  const auto lines = RunTree("--mode 5 " + Quoted(folder));
  std::set<std::string> listed;
  for (const auto& line : lines) listed.insert(std::string(1, line.kind) + " " + std::to_string(line.size) + " " + line.joliet);
  EXPECT_EQ(listed, expected) << "every node once; folders beginning with '.', the link back, a pipe and a dangling link left out";
  EXPECT_EQ(listed.size(), lines.size());
  const auto names = IsoByJoliet(lines);
  EXPECT_EQ(names.at("Rock\\Live 1999\\01 Intro.mp3"), "ROCK\\LIVE1999\\01INTRO1.MP3");
  EXPECT_EQ(names.at("Rock\\Live 1999\\01 intro.MP3"), "ROCK\\LIVE1999\\01INTRO.MP3")
      << "names that differ only in case are both kept and numbered apart";
  // 0xE9 (an accented e in one code page, an accented U in the other)
  // folds to U, as the character table holds.
  EXPECT_EQ(names.at("Caf\xC3\xA9\\Fr\xC3\xBC" "h\\St\xC3\xBC" "ck \xF0\x9F\x8E\xB5.flac"), "CAFU\\FRUH\\STUCK.FLA");
  EXPECT_EQ(names.at(".hidden.mp3"), "HIDDEN.MP3") << "a hidden file is taken";
}

TEST(TreeToolTest, OrdersListFoldersFirstOrTheImagesByteOrder) {
  const std::string folder = twltest::MakeTempDir("orders");
  RunPython("import os\nos.chdir(" + Quoted(folder) +
            ")\nos.mkdir('B')\n"
            "for name, size in [('a.mp3', 5), ('b.mp3', 5), ('C.txt', 1)]:\n"
            "    open(name, 'wb').write(b'x' * size)\n");
  auto joliets = [](const std::vector<Line>& lines) {
    std::vector<std::string> names;
    for (const auto& line : lines) names.push_back(line.joliet);
    return names;
  };
  EXPECT_EQ(joliets(RunTree(Quoted(folder))), (std::vector<std::string>{"B", "a.mp3", "b.mp3", "C.txt"}));
  EXPECT_EQ(joliets(RunTree("--order 16 " + Quoted(folder))),
            (std::vector<std::string>{"a.mp3", "B", "b.mp3", "C.txt"}));
  EXPECT_EQ(joliets(RunTree("--order 4 " + Quoted(folder))), (std::vector<std::string>{"B", "C.txt", "a.mp3", "b.mp3"}))
      << "two files of one size are both kept";
  EXPECT_EQ(joliets(RunTree("--order 8 " + Quoted(folder))), (std::vector<std::string>{"B", "a.mp3", "b.mp3", "C.txt"}));
}

TEST(TreeToolTest, ToolRefusesWhatIsNotAFolder) {
  std::string output, error;
  EXPECT_NE(RunKilnartool("tree /no/such/folder", &output, "", &error), 0);
  EXPECT_EQ(error.rfind("kilnartool: ", 0), 0u);
  EXPECT_NE(RunKilnartool("tree --mode 9 .", &output, "", &error), 0);
  EXPECT_NE(RunKilnartool("tree", &output, "", &error), 0);
}

TEST(TreeToolTest, SeventyThousandFilesOfOneIsoNameGetDistinctNames) {
  const std::string folder = twltest::MakeTempDir("many");
  RunPython("import os\nos.chdir(" + Quoted(folder) +
            ")\nfor i in range(70000):\n    os.close(os.open('longname_%05d.dat' % i, os.O_CREAT | os.O_WRONLY))\n");
  const auto lines = RunTree("--mode 5 " + Quoted(folder));
  ASSERT_EQ(lines.size(), 70000u);
  std::set<std::string> names;
  for (const auto& line : lines) {
    names.insert(line.iso);
    EXPECT_LE(line.iso.size(), 12u) << line.iso;
  }
  EXPECT_EQ(names.size(), 70000u) << "every ISO name distinct";
  const auto byJoliet = IsoByJoliet(lines);
  EXPECT_EQ(byJoliet.at("longname_69999.dat"), "LONGNAME.DAT") << "the last in order keeps the plain name";
  EXPECT_EQ(byJoliet.at("longname_00000.dat"), "LONGNAM1.DAT");
  EXPECT_EQ(byJoliet.at("longname_69998.dat"), "LON69999.DAT");
}

}  // namespace
