#include "WavFileSink.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace twl::sound {
namespace {

constexpr size_t kHeaderBytes = 44;
constexpr size_t kPendingLimit = 64 * 1024;
// The RIFF size field counts everything after it: 36 header bytes, the
// data and its pad byte.
constexpr uint64_t kMaxData = 0xFFFFFFFFull - 36 - 1;

void PutTag(uint8_t* at, const char* tag) { std::memcpy(at, tag, 4); }

void Put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  Put16(at, value & 0xFFFF);
  Put16(at + 2, value >> 16);
}

bool WriteAt(int descriptor, const uint8_t* bytes, size_t size, uint64_t offset) {
  while (size > 0) {
    const ssize_t written = pwrite(descriptor, bytes, size, static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
    offset += static_cast<uint64_t>(written);
  }
  return true;
}

}  // namespace

std::unique_ptr<WavFileSink> WavFileSink::Create(const std::string& path, const PcmFormat& format) {
  if (path.empty()) return nullptr;
  const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descriptor < 0) return nullptr;
  std::unique_ptr<WavFileSink> sink(new WavFileSink(descriptor, format));
  if (!sink->WriteHeader()) return nullptr;
  return sink;
}

WavFileSink::~WavFileSink() {
  Flush();
  close(descriptor_);
}

PcmFormat WavFileSink::OutputFormat(const PcmFormat& primary) const { return dataBytes_ == 0 && pending_.empty() ? primary : format_; }

void WavFileSink::Write(const uint8_t* bytes, size_t size, const PcmFormat& format) {
  if (failed_ || size == 0) return;
  if (dataBytes_ == 0 && pending_.empty() && !(format == format_)) {
    format_ = format;
    if (!WriteHeader()) return;
  }
  try {
    pending_.insert(pending_.end(), bytes, bytes + size);
  } catch (const std::bad_alloc&) {
    failed_ = true;  // the capture ends; the file keeps what it has
    return;
  }
  if (pending_.size() >= kPendingLimit) Flush();
}

void WavFileSink::EndOfBatch() { Flush(); }

bool WavFileSink::WriteHeader() {
  const uint32_t data = static_cast<uint32_t>(dataBytes_);
  const uint32_t pad = data & 1;
  uint8_t header[kHeaderBytes + 1] = {};
  PutTag(header, "RIFF");
  Put32(header + 4, 36 + data + pad);
  PutTag(header + 8, "WAVE");
  PutTag(header + 12, "fmt ");
  Put32(header + 16, 16);
  Put16(header + 20, WAVE_FORMAT_PCM);
  Put16(header + 22, format_.channels);
  Put32(header + 24, format_.rate);
  Put32(header + 28, format_.BytesPerSecond());
  Put16(header + 32, format_.BlockAlign());
  Put16(header + 34, format_.bits);
  PutTag(header + 36, "data");
  Put32(header + 40, data);
  // The pad byte after odd data lies where the next frames go; it is
  // written again after every batch.
  const bool ok = WriteAt(descriptor_, header, kHeaderBytes, 0) &&
                  (pad == 0 || WriteAt(descriptor_, header + kHeaderBytes, 1, kHeaderBytes + data));
  if (!ok) failed_ = true;
  return ok;
}

void WavFileSink::Flush() {
  if (pending_.empty()) return;
  const uint64_t room = (kMaxData - dataBytes_) / format_.BlockAlign() * format_.BlockAlign();
  const size_t size = failed_ ? 0 : static_cast<size_t>(std::min<uint64_t>(pending_.size(), room));
  // The data goes first: a header that is behind still describes a valid
  // file if the process ends in between.
  const bool written = size == 0 || WriteAt(descriptor_, pending_.data(), size, kHeaderBytes + dataBytes_);
  pending_.clear();
  if (!written) {
    failed_ = true;
    return;
  }
  if (size == 0) return;
  dataBytes_ += size;
  WriteHeader();
}

}  // namespace twl::sound
