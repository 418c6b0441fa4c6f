// The layout of the native playlist file: a 41-byte header (magic, writer
// and minimum version, the size of everything after the size field, the
// loop and shuffle flags, the number of top-level entries, the location
// it was saved at) and one record per top-level entry. All numbers are
// unsigned 32-bit little-endian; texts are stored with their NUL, which
// their length fields count.
#pragma once

#include <windows.h>

namespace playlistfile {

constexpr char kMagic[16] = {'O', 's', 't', 'r', 'e', 'l', 'l', ' ', 'P', 'l', 'a', 'y', 'L', 'i', 's', 't'};
constexpr DWORD kHeaderSize = 41;
// The head's fixed fields, before the text of the saved location.
constexpr DWORD kHeadFieldsSize = 40;
// Bytes of the header before the size field's count starts.
constexpr DWORD kSizeFieldEnd = 28;
constexpr DWORD kMinimumVersionWritten = 0x10000;
// The first writer: files of it hold nothing after a file entry's volume.
constexpr DWORD kFirstVersion = 0x10000;
// The first writer that stores titles and durations of file entries.
constexpr DWORD kTitlesVersion = 0x1004B;

constexpr DWORD kFlagLoop = 0x1;
constexpr DWORD kFlagShuffle = 0x2;

constexpr DWORD kKindFile = 0;
constexpr DWORD kKindFolder = 1;

constexpr DWORD kFolderExpandPending = 0x1;
constexpr DWORD kFolderExpandRecursive = 0x2;

// After the entry size: kind, entry flags and URL length.
constexpr DWORD kEntryFixedSize = 12;
// After a file entry's URL: volume, duration priority, duration, title
// priority, title length.
constexpr DWORD kFileFieldsSize = 20;
constexpr DWORD kTitleFieldsSize = 16;

constexpr DWORD kUnknownDuration = 0xFFFFFFFF;

}  // namespace playlistfile
