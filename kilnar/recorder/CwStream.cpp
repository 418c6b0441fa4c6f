#include "kilnar/recorder/CwStream.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kMinimumBlock = 32000;
// When the disk reports no sector size, the doubling starts here.
constexpr uint32_t kAssumedSector = 512;

// The folder whose file system holds the file: the name's own folder (with
// its drive), else the current folder.
std::string FolderOf(const SplitPath& path) {
  std::string folder = std::string(path.GetDrive()) + path.GetFolder();
  return folder.empty() ? "." : folder;
}

uint32_t BlockSizeFor(const SplitPath& path) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  uint32_t size = kAssumedSector;
  if (GetDiskFreeSpaceA(FolderOf(path).c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters) &&
      bytesPerSector > 0 && bytesPerSector <= kMinimumBlock)
    size = bytesPerSector;
  while (size < kMinimumBlock) size *= 2;
  return size;
}

bool SetPosition(HANDLE file, int64_t position) {
  LARGE_INTEGER distance{};
  distance.QuadPart = position;
  return SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) != FALSE;
}

}  // namespace

CwStream::CwStream() = default;

CwStream::CwStream(const char* name, bool readOnly) { Open(name, readOnly); }

CwStream::~CwStream() { Close(); }

bool CwStream::Open(const char* name, bool readOnly) {
  Close();
  m_Path.Set(name);
  m_Name = name ? name : "";
  m_File = CreateFileA(m_Name.c_str(), readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       readOnly ? OPEN_EXISTING : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_NO_BUFFERING,
                       nullptr);
  if (m_File == INVALID_HANDLE_VALUE) {
    m_File = nullptr;
    return false;
  }
  m_BlockSize = BlockSizeFor(m_Path);
  if (!m_Block.Allocate(m_BlockSize)) {
    CloseHandle(m_File);
    m_File = nullptr;
    m_BlockSize = 0;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  ForgetBlock(0);
  m_WrittenEnd = -1;
  return true;
}

const char* CwStream::GetErrorText() {
  static char text[513];
  text[0] = '\0';
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(),
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 512, nullptr);
  return text;
}

void CwStream::ForgetBlock(int64_t position) {
  std::memset(m_Block.Data(), 0, m_BlockSize);
  m_Current = 0;
  m_ValidLength = 0;
  m_Dirty = false;
  m_BlockStart = position;
}

bool CwStream::WriteBlock() {
  DWORD written = 0;
  if (!SetPosition(m_File, m_BlockStart)) return false;
  return WriteFile(m_File, m_Block.Data(), m_BlockSize, &written, nullptr) && written == m_BlockSize;
}

bool CwStream::FlushDirtyBlock() {
  if (!m_Dirty) return true;
  if (!WriteBlock()) return false;
  m_Dirty = false;
  return true;
}

bool CwStream::ReadBlockAt(int64_t position) {
  ForgetBlock(position);
  DWORD read = 0;
  if (!SetPosition(m_File, position) || !ReadFile(m_File, m_Block.Data(), m_BlockSize, &read, nullptr)) return false;
  m_ValidLength = read;
  return true;
}

void CwStream::ReleaseBlock() {
  m_Block.Free();
  m_Current = 0;
  m_BlockSize = 0;
  m_ValidLength = 0;
  m_Dirty = false;
  m_BlockStart = 0;
}

void CwStream::Close() {
  if (!m_File) return;
  if (!FlushDirtyBlock()) return;
  // Cut where the data written ends: a new file gets exactly its length,
  // and a file written over a longer one loses the old tail.
  if (m_WrittenEnd >= 0 && SetPosition(m_File, m_WrittenEnd)) SetEndOfFile(m_File);
  CloseHandle(m_File);
  m_File = nullptr;
  m_WrittenEnd = -1;
  ReleaseBlock();
}

bool CwStream::Rewind() {
  if (!m_File || !FlushDirtyBlock()) return false;
  ForgetBlock(0);
  return SetPosition(m_File, 0);
}

bool CwStream::SeekToEnd() {
  if (!m_File || !FlushDirtyBlock()) return false;
  LARGE_INTEGER end{};
  LARGE_INTEGER zero{};
  if (!SetFilePointerEx(m_File, zero, &end, FILE_END)) return false;
  ForgetBlock(end.QuadPart);
  return true;
}

bool CwStream::Seek(int64_t offset, int origin) {
  if (!m_File || !FlushDirtyBlock()) return false;
  int64_t target = offset;
  if (origin == 1) target += Tell();
  if (origin == 2) target += GetSize();
  if (target < 0) return false;
  const int64_t start = target - target % m_BlockSize;
  if (!ReadBlockAt(start)) return false;
  m_Current = static_cast<uint32_t>(target - start);
  return true;
}

int64_t CwStream::Tell() {
  if (!m_File) return -1;
  return m_BlockStart + m_Current;
}

bool CwStream::Write(const void* data, uint32_t length) {
  if (!m_File) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  bool allWritten = true;
  while (length > 0) {
    const uint32_t room = m_BlockSize - m_Current;
    const uint32_t piece = length < room ? length : room;
    std::memcpy(m_Block.Data() + m_Current, bytes, piece);
    m_Current += piece;
    bytes += piece;
    length -= piece;
    m_Dirty = true;
    if (m_Current < m_BlockSize) break;
    if (!WriteBlock()) allWritten = false;
    ForgetBlock(m_BlockStart + m_BlockSize);
  }
  m_ValidLength = m_Current;
  if (Tell() > m_WrittenEnd) m_WrittenEnd = Tell();
  return allWritten;
}

bool CwStream::Read(void* buffer, uint32_t length) {
  if (!m_File) return false;
  auto* bytes = static_cast<uint8_t*>(buffer);
  while (length > 0) {
    if (m_Current >= m_ValidLength) {
      const int64_t next = m_ValidLength == 0 ? m_BlockStart : m_BlockStart + m_ValidLength;
      if (!ReadBlockAt(next)) return false;
      if (m_ValidLength == 0) {
        // Past the end of the file: zeros.
        std::memset(bytes, 0, length);
        return true;
      }
    }
    const uint32_t available = m_ValidLength - m_Current;
    const uint32_t piece = length < available ? length : available;
    std::memcpy(bytes, m_Block.Data() + m_Current, piece);
    m_Current += piece;
    bytes += piece;
    length -= piece;
  }
  return true;
}

bool CwStream::IsOpen() { return m_File != nullptr; }

bool CwStream::Delete() {
  if (m_File) {
    CloseHandle(m_File);
    m_File = nullptr;
    m_WrittenEnd = -1;
    ReleaseBlock();
  }
  return DeleteFileA(m_Name.c_str()) != FALSE;
}

const char* CwStream::GetName() { return m_Name.c_str(); }

uint32_t CwStream::GetSize() {
  // A bare drive ("C:" or "C:\") names no file.
  const std::string folderPart = std::string(m_Path.GetFolder()) + m_Path.GetName() + m_Path.GetExtension();
  if (m_Name.empty() || folderPart == "\\" || folderPart == "/" || folderPart.empty()) return 0;
  WIN32_FIND_DATAA found{};
  HANDLE find = FindFirstFileA(m_Name.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  FindClose(find);
  return found.nFileSizeHigh != 0 ? 0xFFFFFFFFu : found.nFileSizeLow;
}

uint32_t CwStream::GetFreeSpace() {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceA(FolderOf(m_Path).c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters))
    return 0;
  const uint64_t bytes = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector * freeClusters;
  return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes);
}

void CwStream::SetNoWait() {}

int16_t CwStream::Poll() { return 0; }

uint8_t* CwStream::ReadChunk(uint32_t length) {
  if (length > kChunkCapacity) return nullptr;
  if (!m_Chunk) {
    if (!m_Chunk.Allocate(kChunkCapacity)) {
      std::printf("\n*** out of memory ***\n");
      return nullptr;
    }
    m_ChunkCapacity = kChunkCapacity;
  }
  return Read(m_Chunk.Data(), length) ? m_Chunk.Data() : nullptr;
}
