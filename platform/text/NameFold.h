// Names that the layer compares without regard to case (registry keys and
// values, profile sections and keys): the folded form is the upper-case
// UTF-8 text, so two names are equal exactly when their folded forms are.
// Bytes that are not valid UTF-8 are kept as they are.
#pragma once

#include <string>
#include <string_view>

namespace twl {

std::string FoldName(std::string_view name);

inline bool NamesEqual(std::string_view a, std::string_view b) { return FoldName(a) == FoldName(b); }

}  // namespace twl
