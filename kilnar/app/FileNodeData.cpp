// Copying the files' data into an image: each source read in chunks
// straight into the work buffer and written in whole sectors, with the
// stream asked before each chunk whether it takes one.
#include <windows.h>

#include <cstring>

#include "kilnar/app/FileNode.h"
#include "kilnar/app/TreeMessages.h"
#include "kilnar/recorder/CwStream.h"
#include "kilnar/recorder/SmallTransferMode.h"

namespace {

constexpr uint32_t kSector = 2048;
constexpr uint32_t kChunk = 61440;
constexpr uint32_t kSmallChunk = 30720;

// The source opened for reading, closed when it goes.
class SourceFile {
 public:
  explicit SourceFile(const std::string& path)
      : m_Handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}
  ~SourceFile() {
    if (IsOpen()) CloseHandle(m_Handle);
  }
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  bool IsOpen() const { return m_Handle != INVALID_HANDLE_VALUE; }
  // Exactly `length` bytes, or false: a source that ends early has shrunk
  // since its size was taken.
  bool ReadExactly(uint8_t* bytes, uint32_t length) {
    while (length > 0) {
      DWORD read = 0;
      if (!ReadFile(m_Handle, bytes, length, &read, nullptr) || read == 0) return false;
      bytes += read;
      length -= read;
    }
    return true;
  }

 private:
  HANDLE m_Handle;
};

// -1 from the stream fails; 0 lets the chunk go; anything else asks again.
bool WaitUntilReady(CwStream& stream) {
  for (;;) {
    const int16_t state = stream.Poll();
    if (state == -1) return false;
    if (state == 0) return true;
  }
}

}  // namespace

DataResult FileNode::SourceFailed(DataCopy& copy) const {
  copy.failure = TreeMessage("ERROR", "ERR_FILENODE_CANNOT_OPEN", {GetSourcePath()});
  PrintTreeMessage("ERROR", "ERR_FILENODE_CANNOT_OPEN", {GetSourcePath()});
  return DataResult::kFailed;
}

DataResult FileNode::WriteData(DataCopy& copy) const {
  SourceFile source(GetSourcePath());
  if (!source.IsOpen()) {
    return SourceFailed(copy);
  }
  const uint32_t chunk = GetSmallTransferMode() ? kSmallChunk : kChunk;
  if (copy.buffer.size() < chunk) return DataResult::kFailed;
  uint8_t* buffer = copy.buffer.data();
  uint32_t done = 0;
  while (done < m_Size) {
    if (!WaitUntilReady(copy.stream)) return DataResult::kFailed;
    const uint32_t wanted = m_Size - done < chunk ? m_Size - done : chunk;
    if (!source.ReadExactly(buffer, wanted)) {
      return SourceFailed(copy);
    }
    // The rest of the last sector is zeros: equal trees give equal images.
    const uint32_t whole = (wanted + kSector - 1) / kSector * kSector;
    std::memset(buffer + wanted, 0, whole - wanted);
    if (!copy.stream.Write(buffer, whole)) return DataResult::kFailed;
    done += wanted;
    if (copy.cancel) return DataResult::kFailed;
    if (copy.stopFlag) {
      copy.written += whole;
      if (copy.written > copy.byteLimit) return DataResult::kStopped;
    }
  }
  return DataResult::kDone;
}

DataResult FileNode::WriteDataTree(DataCopy& copy) const {
  for (const FileNode* child : ImageChildren()) {
    DataResult result = DataResult::kDone;
    if (child->IsFolder())
      result = child->WriteDataTree(copy);
    else if (!child->IsFromDisc())
      result = child->WriteData(copy);
    if (result != DataResult::kDone) return result;
  }
  return DataResult::kDone;
}
