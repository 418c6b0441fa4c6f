// twltool filter: the description list and the filtering of names as the
// file browser and the folder import see them, with the shipped plug-ins
// and the test filters.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestPaths.h"
#include "support/ToolRun.h"

namespace {

struct FilterRun {
  int status;
  std::vector<std::string> descs;
  std::vector<std::string> matches;
  std::string err;
};

FilterRun RunFilterTool(const std::string& arguments) {
  const twltest::ToolRun tool = twltest::RunTool("twltool", "filter " + arguments);
  FilterRun run{tool.exitCode, {}, {}, tool.err};
  std::istringstream out(tool.out);
  for (std::string line; std::getline(out, line);) {
    if (line.rfind("desc ", 0) == 0) run.descs.push_back(line);
    if (line.rfind("match ", 0) == 0) run.matches.push_back(line.substr(6));
  }
  return run;
}

std::string Quoted(const std::vector<std::string>& names) {
  std::string text;
  for (const auto& name : names) text += " '" + name + "'";
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

constexpr const char* kPlayListDesc = "desc 0 PlayList Files (*.p4u, *.pp4u, *.vp4u, *.m3u, *.pls, *.wpl)";

// A folder holding Screevo alone, so that its description follows the
// playlist's directly.
std::string ScreevoOnlyFolder() {
  const std::string dir = twltest::MakeTempDir("screevo");
  std::filesystem::copy_file(twltest::ProgramPath("PlugIns") + "/Screevo.dll", dir + "/Screevo.dll");
  return dir;
}

TEST(TwltoolFilter, WithoutPlugInsOnlyThePlayListDescriptionIsOffered) {
  const FilterRun run = RunFilterTool("x.p4u y.mp3");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.descs, std::vector<std::string>{kPlayListDesc});
  EXPECT_EQ(run.matches, std::vector<std::string>{"x.p4u"});
}

TEST(TwltoolFilter, ThePlugInsDescriptionsFollowThePlayListsInPlugInOrder) {
  const FilterRun alone = RunFilterTool("--plugins '" + ScreevoOnlyFolder() + "'");
  ASSERT_EQ(alone.status, 0) << alone.err;
  ASSERT_EQ(alone.descs.size(), 2u);
  EXPECT_EQ(alone.descs[0], kPlayListDesc);
  EXPECT_EQ(alone.descs[1].rfind("desc 1 DirectShow media files (*.", 0), 0u) << alone.descs[1];

  // The program folder holds Pictolan too, which comes first by name.
  const FilterRun shipped = RunFilterTool("--plugins '" + twltest::ProgramPath("PlugIns") + "'");
  ASSERT_EQ(shipped.status, 0) << shipped.err;
  ASSERT_EQ(shipped.descs.size(), 3u);
  EXPECT_EQ(shipped.descs[0], kPlayListDesc);
  EXPECT_EQ(shipped.descs[1].rfind("desc 1 Image files (", 0), 0u) << shipped.descs[1];
  EXPECT_EQ(shipped.descs[2], "desc 2" + alone.descs[1].substr(6));
}

// The names a folder import takes are those `find -iname` finds for the
// patterns the descriptions list.
TEST(TwltoolFilter, AFolderImportTakesWhatFindAcceptsForTheListedPatterns) {
  const FilterRun listing = RunFilterTool("--plugins '" + twltest::ProgramPath("PlugIns") + "'");
  ASSERT_EQ(listing.status, 0) << listing.err;
  std::vector<std::string> extensions;
  const std::regex pattern(R"(\*\.([A-Za-z0-9]+))");
  for (const auto& desc : listing.descs)
    for (std::sregex_iterator it(desc.begin(), desc.end(), pattern), end; it != end; ++it)
      extensions.push_back((*it)[1]);
  ASSERT_GT(extensions.size(), 10u) << "the playlist's six and Screevo's sound formats at least";

  std::vector<std::string> pool = extensions;
  for (const char* decoy : {"txt", "m3u8", "mp", "wavx", "p4", "", "tar.gz"}) pool.push_back(decoy);
  std::mt19937 random(58);
  const std::string folder = twltest::MakeTempDir("names");
  std::vector<std::string> names;
  for (int i = 0; names.size() < 500; ++i) {
    std::string extension = pool[random() % pool.size()];
    for (char& c : extension)
      if (random() % 2) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string name = "n" + std::to_string(i);
    if (random() % 7 == 0) name += ".wav";  // an earlier dot decides nothing
    if (!extension.empty()) name += "." + extension;
    names.push_back(name);
    twltest::WriteFile(folder + "/" + name, "");
  }

  std::string findCommand = "cd '" + folder + "' && find . -maxdepth 1 -type f \\(";
  for (size_t i = 0; i < extensions.size(); ++i)
    findCommand += std::string(i ? " -o" : "") + " -iname '*." + extensions[i] + "'";
  findCommand += " \\) -printf '%f\\n'";
  std::string found;
  ASSERT_EQ(twltest::RunCommand(findCommand, &found), 0);
  std::set<std::string> expected;
  std::istringstream lines(found);
  for (std::string line; std::getline(lines, line);) expected.insert(line);

  const FilterRun run = RunFilterTool("--plugins '" + twltest::ProgramPath("PlugIns") + "'" + Quoted(names));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::set<std::string>(run.matches.begin(), run.matches.end()), expected);
  EXPECT_EQ(run.matches.size(), expected.size()) << "each accepted name once";
  EXPECT_GT(expected.size(), 100u);
  EXPECT_LT(expected.size(), 500u);
}

TEST(TwltoolFilter, FailingFiltersKeepTheirMarksAndAreReportedTogether) {
  const std::string names = " a.TSA b.tsb FAIL.tsa c.p4u";
  const FilterRun all = RunFilterTool("--plugins '" TWL_IDENTIFY_PLUGIN_DIR "'" + names);
  EXPECT_EQ(all.status, 1);
  EXPECT_EQ(all.matches, (std::vector<std::string>{"a.TSA", "b.tsb", "FAIL.tsa", "c.p4u"}));
  EXPECT_TRUE(EndsWith(all.err, "Error during file filtering:\ntest filter failed\ntest filter 1 failed\n"))
      << all.err;

  // Only the playlist's description: no test filter is asked, so none fails.
  const FilterRun playlists = RunFilterTool("--plugins '" TWL_IDENTIFY_PLUGIN_DIR "' --desc 0" + names);
  EXPECT_EQ(playlists.status, 0) << playlists.err;
  EXPECT_EQ(playlists.matches, std::vector<std::string>{"c.p4u"});

  // A description of the version-1 filter alone asks only that filter.
  const FilterRun second = RunFilterTool("--plugins '" TWL_IDENTIFY_PLUGIN_DIR "' --desc 4" + names);
  EXPECT_EQ(second.status, 1);
  EXPECT_EQ(second.matches, std::vector<std::string>{"b.tsb"});
  EXPECT_TRUE(EndsWith(second.err, "Error during file filtering:\ntest filter 1 failed\n")) << second.err;
}

TEST(TwltoolFilter, BadArgumentsAreRefused) {
  EXPECT_EQ(RunFilterTool("--desc").status, 1);
  EXPECT_EQ(RunFilterTool("--desc -1 a").status, 1);
  EXPECT_EQ(RunFilterTool("--desc x a").status, 1);
  const FilterRun beyond = RunFilterTool("--desc 1 a.p4u");
  EXPECT_EQ(beyond.status, 1);
  EXPECT_NE(beyond.err.find("no description 1"), std::string::npos) << beyond.err;
}

}  // namespace
