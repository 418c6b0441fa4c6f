#include "StoredBytes.h"

#include <gtest/gtest.h>

#include "support/TestPaths.h"

namespace storedbytes {

std::string PythonBytes(const std::string& expression) {
  const std::string program =
      "import struct, sys\n"
      "w = lambda n: struct.pack('<I', n & 0xFFFFFFFF)\n"
      "t = lambda s: w(len(s)) + s\n"
      "sys.stdout.write((" + expression + ").hex())\n";
  const std::string path = twltest::MakeTempDir("python") + "/bytes.py";
  twltest::WriteFile(path, program);
  std::string hex;
  EXPECT_EQ(twltest::RunCommand("python3 '" + path + "'", &hex), 0) << expression;
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

std::string ToHex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

}  // namespace storedbytes
