// A sink that writes what was played into a WAV file on the layer clock.
// The file is valid at every moment: the header is written first and its
// sizes are brought up to date after every batch. The sound keeps the
// format of its first frames; later frames are mixed into that format.
// Capture stops at the 4 GiB limit of the format, or at the first failing
// write (the file keeps what was written before). Used under the sound
// engine's mix lock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SoundSink.h"

namespace twl::sound {

class WavFileSink final : public SoundSink {
 public:
  // Creates or empties the file; null when it cannot be written.
  static std::unique_ptr<WavFileSink> Create(const std::string& path, const PcmFormat& format);
  ~WavFileSink() override;

  PcmFormat OutputFormat(const PcmFormat& primary) const override;
  void Write(const uint8_t* bytes, size_t size, const PcmFormat& format) override;
  void EndOfBatch() override;

 private:
  WavFileSink(int descriptor, const PcmFormat& format) : descriptor_(descriptor), format_(format) {}
  bool WriteHeader();
  void Flush();

  int descriptor_;
  PcmFormat format_;
  uint64_t dataBytes_ = 0;  // in the file, counted in the header
  std::vector<uint8_t> pending_;
  bool failed_ = false;
};

}  // namespace twl::sound
