// The extension of a file name or URL as filters and identifiers see it:
// the text after the last dot, compared without regard to ASCII case.
#pragma once

namespace pluginsdk {

// The text after the last "." of `name`, or null when there is no dot
// (or no name).
const char* LastExtension(const char* name);

// Whether the two texts are equal, ASCII letters compared without case.
bool EqualsIgnoringCase(const char* left, const char* right);

}  // namespace pluginsdk
