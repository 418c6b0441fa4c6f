#include "IconPictures.h"

#include "support/TestPaths.h"

namespace icontest {

std::string CopyProgramIcon(const std::string& icon, const std::string& folder, const std::string& name) {
  const std::string path = folder + "/" + name;
  twltest::WriteFile(path, twltest::ReadFile(twltest::SourceDir() + "/resources/icons/" + icon));
  return path;
}

}  // namespace icontest
