#include "foundation/streams/WindowsErrorMap.h"

#include "foundation/streams/StreamError.h"

DWORD MapWindowsError(DWORD windowsError) {
  switch (windowsError) {
    case 0:
      return CStreamError::kNone;
    case 2: case 3: case 6: case 15: case 52: case 53: case 55: case 67: case 70:
    case 107: case 111: case 123: case 154: case 161: case 206:
      return CStreamError::kFileNotFound;
    case 4: case 36: case 68: case 113:
      return CStreamError::kTooManyOpenFiles;
    case 5: case 12: case 19: case 32: case 33: case 54: case 58: case 64: case 65:
    case 71: case 80: case 82: case 86: case 108: case 132: case 170: case 183:
      return CStreamError::kAccessDenied;
    case 11: case 23:
      return CStreamError::kCorrupted;
    case 24: case 131:
      return CStreamError::kInvalidParam;
    case 38:
      return CStreamError::kEndOfStream;
    case 39: case 112:
      return CStreamError::kNotEnoughFreeSpace;
    default:
      return CStreamError::kGeneric;
  }
}
