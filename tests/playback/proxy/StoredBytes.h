// Stored proxy settings as python3's struct module builds them, so the
// tests compare against bytes made without this code: PythonBytes runs
// python3 on an expression that may use w(n) (a little-endian 32-bit word,
// negative numbers as two's complement) and t(b"...") (a length word and
// the bytes). Hex text for the bytes and back.
#pragma once

#include <string>

namespace storedbytes {

std::string PythonBytes(const std::string& expression);
std::string ToHex(const std::string& bytes);

}  // namespace storedbytes
