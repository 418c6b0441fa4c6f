// twltool enum: a folder listed through the test providers of both plug-in
// interface versions as the file browser lists it, poll by poll; the
// sorted positions checked against `LC_ALL=C sort` and python3.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestPaths.h"
#include "support/ToolRun.h"

namespace {

struct NewEntry {
  std::string kind;
  int index;
  std::string flags;
  std::string icon;
  std::string url;
};

struct EnumRun {
  int status = 0;
  std::vector<std::vector<NewEntry>> polls;
  std::vector<std::string> files, folders, items;  // final lists: URLs (texts for items)
  bool done = false;
  std::string err;
};

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '\t')) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.emplace_back();
  return fields;
}

EnumRun RunEnum(const std::string& arguments) {
  const twltest::ToolRun tool = twltest::RunTool("twltool", "enum " + arguments);
  EnumRun run;
  run.status = tool.exitCode;
  run.err = tool.err;
  std::istringstream out(tool.out);
  for (std::string line; std::getline(out, line);) {
    const std::vector<std::string> fields = SplitTabs(line);
    if (line.rfind("poll ", 0) == 0) {
      run.polls.emplace_back();
    } else if (fields[0] == "new" && fields.size() == 6 && !run.polls.empty()) {
      run.polls.back().push_back({fields[1], std::stoi(fields[2]), fields[3], fields[4], fields[5]});
    } else if (fields[0] == "file" && fields.size() == 3) {
      run.files.push_back(fields[1]);
    } else if (fields[0] == "folder" && fields.size() == 3) {
      run.folders.push_back(fields[1]);
    } else if (fields[0] == "item" && fields.size() == 2) {
      run.items.push_back(fields[1]);
    } else if (line == "done") {
      run.done = true;
    } else {
      ADD_FAILURE() << "unexpected line: " << line;
    }
  }
  return run;
}

// Inserts each poll's new files at their reported index.
std::vector<std::string> RebuildFiles(const EnumRun& run) {
  std::vector<std::string> rebuilt;
  for (const auto& poll : run.polls)
    for (const NewEntry& entry : poll) {
      if (entry.kind != "file") continue;
      EXPECT_GE(entry.index, 0);
      EXPECT_LE(static_cast<size_t>(entry.index), rebuilt.size());
      if (entry.index < 0 || static_cast<size_t>(entry.index) > rebuilt.size()) return {};
      rebuilt.insert(rebuilt.begin() + entry.index, entry.url);
    }
  return rebuilt;
}

std::string Quote(const std::string& text) { return "'" + text + "'"; }

// A folder holding one of the test providers alone.
std::string ProviderFolder(const std::string& dll) {
  const std::string dir = twltest::MakeTempDir("provider");
  std::filesystem::copy_file(std::string(TWL_TEST_ENUM_DIR) + "/" + dll, dir + "/" + dll);
  return dir;
}

// `count` distinct names of mixed case, blanks and UTF-8 (some differing in
// case only), made as empty files.
std::string FolderOfNames(size_t count) {
  const std::string dir = twltest::MakeTempDir("names");
  const std::vector<std::string> pieces = {"a", "A", "b", "B", "z", "Z", " ", "_", ".", "0", "9", "-",
                                           "\xc3\xa9", "\xc3\x89", "\xe6\xbc\xa2", "m", "M", "~"};
  std::mt19937 random(2000);
  std::set<std::string> names;
  while (names.size() < count) {
    std::string name;
    const size_t length = 1 + random() % 10;
    for (size_t i = 0; i < length; ++i) name += pieces[random() % pieces.size()];
    if (name == "." || name == "..") continue;
    names.insert(name);
    if (names.size() % 50 == 0) {  // the same name in other case
      std::string other = name;
      for (char& c : other)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      names.insert(other);
    }
  }
  for (const std::string& name : names) twltest::WriteFile(dir + "/" + name, "");
  return dir;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The URLs of the files of `dir` ordered by the command's output.
std::vector<std::string> OrderedBy(const std::string& command, const std::string& input) {
  const std::string path = twltest::MakeTempDir("order") + "/input.txt";
  twltest::WriteFile(path, input);
  std::string output;
  EXPECT_EQ(twltest::RunCommand(command + " < " + Quote(path), &output), 0);
  return Lines(output);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

TEST(TwltoolEnum, InsertingPollByPollRebuildsTheByteOrderOfTheNames) {
  const std::string dir = FolderOfNames(2000);
  const EnumRun run = RunEnum("--polls --plugins " + Quote(ProviderFolder("TestEnum.dll")) + " " +
                              Quote("tenum://0" + dir));
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_TRUE(run.done);
  ASSERT_EQ(run.files.size(), std::distance(std::filesystem::directory_iterator(dir), {}));
  EXPECT_GT(run.polls.size(), 1u) << "the listing arrives over several polls";
  const std::vector<std::string> rebuilt = RebuildFiles(run);
  EXPECT_EQ(rebuilt, OrderedBy("LC_ALL=C sort", Joined(run.files)));
}

TEST(TwltoolEnum, WithNoCaseOnlyAToZFoldToLowerCase) {
  const std::string dir = FolderOfNames(2000);
  const EnumRun run = RunEnum("--polls --plugins " + Quote(ProviderFolder("TestEnum2.dll")) + " " +
                              Quote("tenum://2" + dir));
  ASSERT_EQ(run.status, 0) << run.err;
  for (const auto& poll : run.polls)
    for (const NewEntry& entry : poll) {
      if (entry.kind == "file") {
        EXPECT_EQ(entry.flags, "2");
      }
    }
  // Python's sort is stable: names equal without case keep arrival order.
  const std::string python =
      "python3 -c \"import sys; names = sys.stdin.read().split('\\n')[:-1]; "
      "fold = str.maketrans('ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz'); "
      "print('\\n'.join(sorted(names, key=lambda n: n.translate(fold))))\"";
  EXPECT_EQ(RebuildFiles(run), OrderedBy(python, Joined(run.files)));
}

TEST(TwltoolEnum, BothVersionsOnOneFolderListEachUrlOnceAndReadTheirBatches) {
  const std::string dir = twltest::MakeTempDir("both");
  for (int i = 0; i < 120; ++i) twltest::WriteFile(dir + "/file " + std::to_string(i) + ".ogg", "");
  for (int i = 0; i < 7; ++i) std::filesystem::create_directory(dir + "/Folder " + std::to_string(i));
  twltest::WriteFile(dir + "/.dotfile", "");
  const EnumRun run = RunEnum("--plugins " + Quote(TWL_TEST_ENUM_DIR) + " " + Quote("tenum://0" + dir));
  ASSERT_EQ(run.status, 0) << run.err;
  std::string files, folders;
  twltest::RunCommand("find " + Quote(dir) + " -mindepth 1 -maxdepth 1 -type f | wc -l", &files);
  twltest::RunCommand("find " + Quote(dir) + " -mindepth 1 -maxdepth 1 -type d | wc -l", &folders);
  EXPECT_EQ(run.files.size(), std::stoul(files));
  EXPECT_EQ(run.folders.size(), std::stoul(folders));
  EXPECT_EQ(std::set<std::string>(run.files.begin(), run.files.end()).size(), run.files.size());
  EXPECT_EQ(std::set<std::string>(run.folders.begin(), run.folders.end()).size(), run.folders.size());
  EXPECT_EQ(run.items, (std::vector<std::string>{"TestEnum item", "TestEnum item"}))
      << "items of different tables are never equal";
  EXPECT_NE(run.err.find("TestEnum: results "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("TestEnum2: results "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" finished 1"), std::string::npos) << "the last batch comes when all are done";
}

TEST(TwltoolEnum, RawListingsKeepArrivalOrderAndUnknownUrlsListNothing) {
  const std::string dir = twltest::MakeTempDir("raw");
  for (int i = 0; i < 80; ++i) twltest::WriteFile(dir + "/f" + std::to_string(i), "");
  std::filesystem::create_directory(dir + "/sub");
  const EnumRun run = RunEnum("--polls --flags 12 --plugins " + Quote(TWL_TEST_ENUM_DIR) + " " +
                              Quote("tenum://0" + dir));
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> arrival;
  for (const auto& poll : run.polls)
    for (const NewEntry& entry : poll) {
      if (entry.kind == "item") continue;
      EXPECT_EQ(entry.index, -1) << entry.url;
      EXPECT_EQ(entry.flags, "-");
      EXPECT_EQ(entry.icon, "-");
      if (entry.kind == "file") arrival.push_back(entry.url);
    }
  EXPECT_EQ(arrival, run.files) << "raw files stay in arrival order";
  EXPECT_EQ(run.files.size(), 80u) << "each URL once from the two providers";
  EXPECT_EQ(run.folders, std::vector<std::string>{"file://" + dir + "/sub"});

  const EnumRun unknown = RunEnum("--plugins " + Quote(TWL_TEST_ENUM_DIR) + " unknown://folder");
  EXPECT_EQ(unknown.status, 0) << unknown.err;
  EXPECT_TRUE(unknown.done);
  EXPECT_TRUE(unknown.files.empty() && unknown.folders.empty() && unknown.items.empty());
  EXPECT_EQ(unknown.err.find("results"), std::string::npos) << unknown.err;
}

}  // namespace
