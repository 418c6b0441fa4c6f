// A load that never leaves a description half-filled: the description is
// cleared, filled by the reader, and cleared again when the reader throws;
// the error passes on.
#pragma once

template <class Description, class Read>
void LoadCleared(Description& description, Read&& read) {
  description.Clear();
  try {
    read();
  } catch (...) {
    description.Clear();
    throw;
  }
}
