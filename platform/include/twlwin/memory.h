// Global memory blocks. Every block is fixed: the handle is the block's
// address, it never moves, and GlobalLock answers that address. Blocks are
// page-aligned and zero-filled whether or not GMEM_ZEROINIT is asked for,
// so that they can be handed to device I/O as they are. Thread-safe.
#pragma once

#include "types.h"

#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)

// Null with ERROR_NOT_ENOUGH_MEMORY when the block cannot be had.
TWLAPI HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// The block's address; null with ERROR_INVALID_HANDLE for a handle that is
// no block of this process.
TWLAPI LPVOID GlobalLock(HGLOBAL memory);
// TRUE while the block is still locked by an earlier GlobalLock.
TWLAPI BOOL GlobalUnlock(HGLOBAL memory);
// Null when the block was freed; the handle back (ERROR_INVALID_HANDLE)
// when it is no block of this process.
TWLAPI HGLOBAL GlobalFree(HGLOBAL memory);
// Local blocks are global blocks: null when freed.
TWLAPI HLOCAL LocalFree(HLOCAL memory);
// The size asked for at GlobalAlloc, 0 for a handle that is no block.
TWLAPI SIZE_T GlobalSize(HGLOBAL memory);
