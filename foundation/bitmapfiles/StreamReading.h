// Exact reads for the picture-file readers: a stream that ends early is a
// truncated file (CStreamError end of stream for the stream).
#pragma once

#include <cstdint>
#include <vector>

#include <windows.h>

class CStream;

void ReadExactly(CStream& stream, void* buffer, DWORD size);
BYTE ReadByteExactly(CStream& stream);
void SkipExactly(CStream& stream, DWORD count);

// A block of `size` bytes read from the stream. It grows as the data
// arrives, so a size the file cannot back fails at the file's end having
// allocated about what the file holds.
std::vector<BYTE> ReadBlockExactly(CStream& stream, DWORD size);
