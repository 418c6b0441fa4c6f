// Arbitrary bytes as a stored CD project (or any element's record).
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "FuzzFile.h"
#include "kilnar/app/Node.h"
#include "kilnar/recorder/CwStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzzfile::WriteInput(data, size, ".prj");
  CwStream stream(path.c_str(), true);
  // The texts of unknown types go to the standard output: keep it quiet.
  std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
  (void)quiet;
  Node::LoadChild(stream);
  return 0;
}
