// The pictures and masks of a frame's parts in compiled chunks: one
// sub-chunk per present part, tagged by its part (the frame's "SBMP" and
// "SMSK" payloads). Readers refuse a part or mask given twice and a mask
// of another size than its part, and skip tags they do not know.
#pragma once

#include <windows.h>

class CDIBitmap;
class CMask;
class CStream;

void ReadPartBitmaps(CStream& stream, DWORD length, const DWORD* tags, int count, CDIBitmap** parts);
// The parts must have been read.
void ReadPartMasks(CStream& stream, DWORD length, const DWORD* tags, int count, CDIBitmap* const* parts, CMask** masks);
void WritePartBitmaps(CStream& stream, const DWORD* tags, int count, CDIBitmap* const* parts);
void WritePartMasks(CStream& stream, const DWORD* tags, int count, CMask* const* masks);
