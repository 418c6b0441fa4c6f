// Pictolan as a module: what the host's loader and twltool see of it, what
// it exports and imports, and a framework module without a main object.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <sstream>
#include <string>
#include <vector>

#include "PictolanHost.h"
#include "pluginhost/hostapi/HostApi.h"
#include "plugins/pluginsdk/MainInterface.h"
#include "support/TestPaths.h"

namespace {

struct DynamicSymbol {
  std::string name;
  bool defined;
  bool global;
};

std::vector<DynamicSymbol> DynamicSymbols(const std::string& path) {
  std::string output;
  EXPECT_EQ(twltest::RunCommand("readelf --dyn-syms -W '" + path + "'", &output), 0);
  std::vector<DynamicSymbol> symbols;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string number, value, size, type, bind, visibility, index, name;
    if (!(fields >> number >> value >> size >> type >> bind >> visibility >> index >> name)) continue;
    if (number.empty() || number.back() != ':') continue;
    symbols.push_back({name, index != "UND", bind == "GLOBAL" || bind == "WEAK"});
  }
  return symbols;
}

// Mangled names of the foundation library's classes and functions.
bool NamesFoundation(const std::string& symbol) {
  for (const char* part : {"CStr", "CError", "CStream", "CClassManager", "CTypedObject", "Localizer", "CFileSystem",
                           "ThreadError", "BeginThread"}) {
    if (symbol.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST(PictolanModule, ExportsOnlyItsMainInterfaceAndBindsToNothingOfAFoundation) {
  std::vector<std::string> defined;
  for (const DynamicSymbol& symbol : DynamicSymbols(TWL_PICTOLAN_PATH)) {
    if (symbol.defined && symbol.global) defined.push_back(symbol.name);
    if (!symbol.defined) {
      EXPECT_FALSE(NamesFoundation(symbol.name)) << symbol.name;
    }
  }
  EXPECT_EQ(defined, std::vector<std::string>{"PLUGIN_GetMainInterface"});
  // The host offers none of its own copy to bind to.
  for (const DynamicSymbol& symbol : DynamicSymbols(twltest::ProgramPath("twl"))) {
    if (symbol.defined) {
      EXPECT_FALSE(NamesFoundation(symbol.name)) << symbol.name;
    }
  }
}

TEST(PictolanModule, TwltoolListsPictolanBesideScreevo) {
  std::string output;
  const int status = twltest::RunCommand(
      "TWL_HEADLESS=1 '" + twltest::ProgramPath("twltool") + "' plugins '" + TWL_PLUGINS_DIR + "' 2>&1", &output);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_NE(output.find(" Pictolan (Pictolan.dll) interface 2 requires 1.70 api 0x10046\n"), std::string::npos)
      << output;
  EXPECT_NE(output.find(" Screevo (Screevo.dll) interface 1 "), std::string::npos) << output;
}

TEST(PictolanModule, ReloadingGivesBackTheThreadLocalSlotsOfItsFoundationCopy) {
  auto firstFreeSlot = [] {
    const DWORD slot = TlsAlloc();
    TlsFree(slot);
    return slot;
  };
  // Loaded once first, so that what the process keeps for good is there.
  { pictolantest::PictolanModule module; }
  const DWORD before = firstFreeSlot();
  for (int round = 0; round < 5; ++round) {
    pictolantest::PictolanModule module;
    ASSERT_TRUE(module.Init());
    EXPECT_NE(firstFreeSlot(), before) << "the loaded copy holds slots";
  }
  EXPECT_EQ(firstFreeSlot(), before);
}

TEST(PictolanModule, AFrameworkModuleWithoutAMainObjectOffersNothing) {
  HMODULE module = LoadLibraryA(TWL_NO_MAIN_PATH);
  ASSERT_NE(module, nullptr);
  auto get = reinterpret_cast<PLUGIN_GetMainInterfaceFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, PLUGIN_MAIN_INTERFACE_EXPORT)));
  ASSERT_NE(get, nullptr) << "the framework brings the export";
  EXPECT_EQ(get(), nullptr);
  FreeLibrary(module);
}

}  // namespace

namespace {

// This test program carries the framework without a main object.
TEST(PictolanFramework, WithoutAMainObjectTheMainTableAnswersAsAnEmptyPlugIn) {
  const PlugInMainInterface& table = pluginsdk::GetMainTable();
  PlugInVersionInfo version{};
  table.PLUGIN_GetVersion(&version);
  EXPECT_EQ(version.requiredPlayerVersion, 0xFFFFFFFFu);
  EXPECT_EQ(version.apiVersion, 0xFFFFFFFFu);
  const HostApiTable* host = GetHostApiTable();
  host->HOST_SetMiscError(HOST_MISC_NONE);
  EXPECT_EQ(table.PLUGIN_Init(host, nullptr), 0);
  EXPECT_STREQ(host->HOST_GetErrorText(), "Fatal error: no OstrellMain instance created in plugin.");
  const void* object = nullptr;
  PLUGIN_CONTEXT context = 0;
  EXPECT_EQ(table.PLUGIN_EnumObjects(PLUGINOBJ_PLAYER, 0, &object, &context), 0);
  EXPECT_EQ(table.PLUGIN_Exit(), 1);
}

}  // namespace
