// A stream that counts the bytes asked of it against an expected total and
// reports the percentage (0 to 100, truncated) after every read and write.
// The image writer writes the image file through it.
#pragma once

#include "kilnar/recorder/CwStream.h"

class CwProgressStream : public CwStream {
 public:
  using ProgressCallback = void (*)(uint32_t percent);

  // Opens the file for reading and writing (created when missing).
  CwProgressStream(const char* name, uint32_t total, ProgressCallback callback);

  bool Write(const void* data, uint32_t length) override;
  bool Read(void* buffer, uint32_t length) override;

 private:
  void Report();

  uint32_t m_Total;
  uint64_t m_Done = 0;
  ProgressCallback m_Callback;
};
