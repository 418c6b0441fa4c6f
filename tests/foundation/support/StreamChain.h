// The class names of a stream and of the streams its emulators wrap,
// outermost first: what the file system stacked around a provider's stream.
#pragma once

#include <string>
#include <vector>

#include "foundation/streams/StreamEmulator.h"

namespace streamtest {

inline std::vector<std::string> ChainOf(CStream* stream) {
  // A member pointer formed inside a derived class reads the protected
  // wrapped-stream member of any emulator, without a product accessor.
  struct Peek : CStreamEmulator {
    static CStream* InnerOf(CStreamEmulator* emulator) { return emulator->*(&Peek::m_Inner); }
  };
  std::vector<std::string> names;
  while (stream) {
    names.push_back(stream->GetClassRecord()->className);
    stream = IsKindOf<CStreamEmulator>(stream) ? Peek::InnerOf(static_cast<CStreamEmulator*>(stream)) : nullptr;
  }
  return names;
}

}  // namespace streamtest
