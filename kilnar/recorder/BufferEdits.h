// Edits of text and bytes in place.
#pragma once

#include <cstddef>
#include <string>

// Removes trailing blanks, carriage returns and line feeds.
void TrimRight(char* text);
void TrimRight(std::string& text);

// Copies count bytes; overlapping ranges are copied as if through a
// buffer (forward when the target lies before the source, backward when
// after it).
void MoveBytes(void* to, const void* from, size_t count);
