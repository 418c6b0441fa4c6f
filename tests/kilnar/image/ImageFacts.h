// The image tests' shared helpers: folders made by python3, kilnartool
// image run on them, and the facts iso_facts.py reads from an image.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "kilnar/KilnarTestTool.h"

namespace imagetest {

using kilnartest::Quoted;

inline void MakeWithPython(const std::string& folder, const std::string& script) {
  const std::string file = twltest::SandboxDir() + "/make_folder.py";
  twltest::WriteFile(file, "import os, sys\nos.chdir(" + Quoted(folder) + ")\n" + script);
  ASSERT_EQ(twltest::RunCommand("python3 " + Quoted(file)), 0) << script;
}

struct ImageRun {
  int status = -1;
  unsigned calc = 0;
  unsigned image = 0;
  std::string out;
  std::string err;
};

inline ImageRun RunImage(const std::string& arguments) {
  ImageRun run;
  run.status = kilnartest::RunKilnartool("image " + arguments, &run.out, "", &run.err);
  std::istringstream lines(run.out);
  std::string key;
  unsigned value = 0;
  while (lines >> key) {
    if ((key == "calc" || key == "image") && lines >> value) (key == "calc" ? run.calc : run.image) = value;
  }
  return run;
}

// `key value` per line of iso_facts.py.
inline std::map<std::string, std::string> Facts(const std::string& image, unsigned start = 0) {
  std::string out;
  const std::string script = twltest::SourceDir() + "/tests/kilnar/image/iso_facts.py";
  EXPECT_EQ(twltest::RunCommand("python3 " + Quoted(script) + " " + Quoted(image) + " " + std::to_string(start), &out),
            0);
  std::map<std::string, std::string> facts;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t blank = line.find(' ');
    if (blank != std::string::npos) facts[line.substr(0, blank)] = line.substr(blank + 1);
  }
  return facts;
}

// Facts that hold for every image the writer makes.
inline void ExpectSoundImage(const std::map<std::string, std::string>& facts) {
  EXPECT_EQ(facts.at("file_whole_sectors"), "1");
  EXPECT_EQ(facts.at("system_area_zero"), "1");
  EXPECT_EQ(facts.at("pvd_copies_equal"), "1");
  EXPECT_EQ(facts.at("m_is_l_swapped"), "1") << "the M table is the L table with its numbers byte-swapped";
  EXPECT_EQ(facts.at("path_tables_consistent"), "1") << "each record's directory points at itself and its parent";
  EXPECT_EQ(facts.at("path_table_breadth_first"), "1");
  EXPECT_EQ(facts.at("path_table_tail_zero"), "1");
  EXPECT_EQ(facts.at("expiration"), "2030123123595900/0");
  EXPECT_EQ(facts.at("padding_all_46"), "1");
}

}  // namespace imagetest
