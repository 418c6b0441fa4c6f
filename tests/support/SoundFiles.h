// Sound files the tests make with the system's tools.
#pragma once

#include <string>

namespace twltest {

// A sox sine tone (44100 Hz, 16-bit stereo) in `folder`; its samples alone
// as `raw` when asked.
std::string SoxTone(const std::string& folder, const std::string& name, const std::string& seconds,
                    const std::string& frequency, std::string* raw = nullptr);

}  // namespace twltest
