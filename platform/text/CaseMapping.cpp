// LCMapStringA: upper case in the layer's one folding of names.
#include <cstring>
#include <string>

#include "NameFold.h"
#include "twlwin/errors.h"
#include "twlwin/text.h"

TWLAPI int LCMapStringA(DWORD, DWORD flags, LPCSTR source, int sourceLength, LPSTR destination,
                        int destinationLength) {
  if (!source || sourceLength == 0 || sourceLength < -1 || destinationLength < 0 ||
      (destinationLength > 0 && !destination) || flags != LCMAP_UPPERCASE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const size_t length = sourceLength == -1 ? std::strlen(source) + 1 : static_cast<size_t>(sourceLength);
  const std::string folded = twl::FoldName(std::string_view(source, length));
  if (destinationLength == 0) return static_cast<int>(folded.size());
  if (folded.size() > static_cast<size_t>(destinationLength)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(destination, folded.data(), folded.size());
  return static_cast<int>(folded.size());
}
