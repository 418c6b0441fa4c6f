// Named placeholders in localised texts ("%FILE%", "%ERROR%"): the caller
// fetches a text and fills its placeholders one pair at a time, or all at
// once when values come from files and may hold placeholders themselves.
#pragma once

#include <initializer_list>

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

// `text` with the placeholders of all pairs replaced in one pass over the
// text: each value is inserted as it stands (NUL bytes included) and never
// searched again, so text taken from a file cannot fill a placeholder of
// another pair. Where two placeholders start at the same place, the first
// pair listed wins.
CStr FillPlaceholders(const CStr& text, std::initializer_list<PlaceholderPair> pairs);
