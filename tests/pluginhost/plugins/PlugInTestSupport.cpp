#include "PlugInTestSupport.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/TestPaths.h"

TWL_IMPLEMENT_CLASS(CTestObject, CConfigurableObject)
TWL_IMPLEMENT_CLASS(CTestObject2, CTestObject)

namespace plugintest {

std::string FixturePath(const std::string& name) { return std::string(TWL_FIXTURE_PLUGIN_DIR) + "/" + name + ".dll"; }

void CopyFixture(const std::string& name, const std::string& folder, const std::string& fileName) {
  std::filesystem::copy_file(FixturePath(name), folder + "/" + fileName,
                             std::filesystem::copy_options::overwrite_existing);
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

FixtureTrace::FixtureTrace() : m_Path(twltest::MakeTempDir("trace") + "/trace.txt") {
  setenv("TWL_FIXTURE_TRACE", m_Path.c_str(), 1);
}

FixtureTrace::~FixtureTrace() { unsetenv("TWL_FIXTURE_TRACE"); }

std::vector<std::string> FixtureTrace::Lines() const {
  std::vector<std::string> lines;
  std::ifstream file(m_Path);
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

bool FixtureTrace::Contains(const std::string& line) const {
  const auto lines = Lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace plugintest
