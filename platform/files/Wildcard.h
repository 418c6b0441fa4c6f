// Windows file name patterns: '*' any run of characters, '?' one character,
// compared ignoring ASCII case. "*.*" matches every name, a trailing ".*"
// also matches names without an extension, and a trailing "." matches
// names without one.
#pragma once

#include <string>

namespace twl {

bool MatchesPattern(const std::string& pattern, const std::string& name);
bool HasWildcards(const std::string& pattern);

}  // namespace twl
