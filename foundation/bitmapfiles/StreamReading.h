// Exact reads for the picture-file readers: a stream that ends early is a
// truncated file (CStreamError end of stream for the stream).
#pragma once

#include <cstdint>
#include <memory>

#include <windows.h>

class CStream;

void ReadExactly(CStream& stream, void* buffer, DWORD size);
BYTE ReadByteExactly(CStream& stream);
void SkipExactly(CStream& stream, DWORD count);

// A block of `size` bytes read from the stream. Large blocks are collected
// in steps as the data arrives, so a size the file cannot back fails at
// its end before the whole block is allocated.
std::unique_ptr<BYTE[]> ReadBlockExactly(CStream& stream, DWORD size);
