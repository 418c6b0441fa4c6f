// Every fixture plug-in is built like a product plug-in: its only defined
// global function is PLUGIN_GetMainInterface, so nothing of it can bind to
// the host's symbols or another plug-in's.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/TestPaths.h"

namespace {

// The defined global FUNC symbols of a module, from readelf's table.
std::vector<std::string> DefinedGlobalFunctions(const std::string& path) {
  std::string output;
  EXPECT_EQ(twltest::RunCommand("readelf --dyn-syms -W '" + path + "'", &output), 0);
  std::vector<std::string> names;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string number, value, size, type, bind, visibility, index, name;
    if (!(fields >> number >> value >> size >> type >> bind >> visibility >> index >> name)) continue;
    if (type == "FUNC" && bind == "GLOBAL" && index != "UND") names.push_back(name);
  }
  return names;
}

TEST(PlugInExports, EachFixtureDefinesOnlyItsMainInterfaceFunction) {
  int fixtures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TWL_FIXTURE_PLUGIN_DIR)) {
    if (entry.path().extension() != ".dll") continue;
    SCOPED_TRACE(entry.path().string());
    ++fixtures;
    // The fixture that shows a module without the export defines nothing.
    const bool withoutExport = entry.path().filename() == "NoMainExport.dll";
    EXPECT_EQ(DefinedGlobalFunctions(entry.path().string()),
              withoutExport ? std::vector<std::string>{} : std::vector<std::string>{"PLUGIN_GetMainInterface"});
  }
  EXPECT_GE(fixtures, 8);
  // The WAV player lives in a folder of its own.
  EXPECT_EQ(DefinedGlobalFunctions(std::string(TWL_FIXTURE_PLUGIN_DIR) + "/../wavplayer/TestWavPlayer.dll"),
            std::vector<std::string>{"PLUGIN_GetMainInterface"});
}

}  // namespace
