// The bits of a stream's capability word and of the flags handed to every
// open operation. Open flags are the wanted capabilities plus the sharing
// bits and a creation mode (a value in 0xF0000, not bits).
#pragma once

#include <windows.h>

// Capabilities.
constexpr DWORD kStreamRead = 0x1;          // Read, ReadSome, Skip, SkipSome
constexpr DWORD kStreamWrite = 0x2;         // Write, Flush
constexpr DWORD kStreamSeek = 0x4;          // Seek anywhere within the data
constexpr DWORD kStreamLengthKnown = 0x8;   // GetLength answers at once
constexpr DWORD kStreamBuffered = 0x100;    // small reads and writes are cheap
constexpr DWORD kStreamFlowing = 0x400;     // data is fetched ahead in the background

// Sharing: others may read or write the file while it is open. Both bits
// travel inverted across the plug-in boundary.
constexpr DWORD kStreamShareRead = 0x100000;
constexpr DWORD kStreamShareWrite = 0x200000;

// Creation modes (flags & kStreamCreationMask); any other value is invalid.
constexpr DWORD kStreamCreationMask = 0xF0000;
constexpr DWORD kStreamOpenExisting = 0x0;
constexpr DWORD kStreamOpenExistingToo = 0x40000;  // also opens an existing file
constexpr DWORD kStreamCreateNew = 0x10000;        // fails when the file exists
constexpr DWORD kStreamCreateAlways = 0x20000;     // replaces an existing file
constexpr DWORD kStreamOpenAlways = 0x80000;       // creates the file when missing

// The bits that the file system keeps apart from the capabilities.
constexpr DWORD kStreamModeMask = 0x3F0000;

// Seek origins.
constexpr DWORD kSeekFromStart = 0;
constexpr DWORD kSeekFromCurrent = 1;
constexpr DWORD kSeekFromEnd = 2;
