// The burner's readers take paths: each input goes into one file of the
// fuzzer's own, made once per process in the temporary folder.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzfile {

// A path under the temporary folder ending in `suffix`, holding the bytes.
inline std::string WriteInput(const uint8_t* data, size_t size, const std::string& suffix) {
  static std::string folder = [] {
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = std::string(temporary && *temporary ? temporary : "/tmp") + "/kilnarfuzz-XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
  }();
  const std::string path = folder + "/input" + suffix;
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  return path;
}

}  // namespace fuzzfile
