// A check of the RLE data of a BMP file against the picture it is to fill,
// made before the picture's pixel block exists: data that the decoder would
// refuse costs no more than itself, whatever size the file claims.
#pragma once

#include <windows.h>

// True when CDIBitmap::DecodeRLE would accept the data for a bitmap of
// width x height pixels with rows padded to 4 bytes (compression 1: RLE8
// into 8 bits, 2: RLE4 into 4 bits); false for malformed data and other
// compressions.
bool IsDecodableRLE(const BYTE* data, DWORD size, DWORD compression, DWORD width, DWORD height);
