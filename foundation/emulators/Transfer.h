// The four ways of taking bytes from a stream (Read, ReadSome, Skip,
// SkipSome), so that an emulator serves them all through one path. A skip
// has no target buffer.
#pragma once

#include "foundation/streams/Stream.h"

enum TransferKind : int { kTransferRead, kTransferReadSome, kTransferSkip, kTransferSkipSome };

// Read and Skip wait for all the bytes; the others take what is there.
inline bool TransferWaits(int kind) { return kind == kTransferRead || kind == kTransferSkip; }

inline DWORD Transfer(CStream& stream, int kind, BYTE* target, DWORD size) {
  switch (kind) {
    case kTransferRead:
      return stream.Read(target, size);
    case kTransferReadSome:
      return stream.ReadSome(target, size);
    case kTransferSkip:
      return stream.Skip(size);
    default:
      return stream.SkipSome(size);
  }
}

// Where the next bytes of a transfer go (null stays null for skips).
inline BYTE* TransferTarget(BYTE* target, DWORD done) { return target ? target + done : nullptr; }
