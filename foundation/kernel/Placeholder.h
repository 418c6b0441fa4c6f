// Named placeholders in localised texts ("%FILE%", "%ERROR%"): the caller
// fetches a text and fills its placeholders one pair at a time.
#pragma once

#include "foundation/kernel/Str.h"

struct PlaceholderPair {
  CStr placeholder;  // with its percent signs, as "%PATH%"
  CStr value;
};

// `text` with every occurrence of the pair's placeholder (compared byte for
// byte) replaced by its value. Scanning goes on after each inserted value,
// so a value holding the placeholder is not replaced again. An empty
// placeholder leaves the text as it is.
CStr ReplacePlaceholder(const CStr& text, const PlaceholderPair& pair);
