#include "plugins/pictolan/pictures/StreamReads.h"

#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"

namespace pictolan {

DWORD ReadIgnoringErrors(CStream& stream, void* buffer, DWORD size) noexcept {
  try {
    const DWORD count = stream.Read(buffer, size);
    // A stream that claims more than it was asked for is not believed.
    return count <= size ? count : size;
  } catch (CError* error) {
    DisposeError(error);
  } catch (...) {
    // Nothing else (a shortage of memory) may leave through the library
    // either; the decode ends as with a short file.
  }
  return 0;
}

}  // namespace pictolan
