// The engine's file stream: reads and writes a file in whole blocks of at
// least 32000 bytes (a multiple of the disk's sector size; 32768 on disks
// of 512- or 2048-byte sectors). It is also the root of the drive classes,
// whose first operations these virtual ones are. A stream is written
// sequentially from its start, or read, with Seek and Rewind to move the
// reading position. Belongs to one thread at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "kilnar/recorder/GlobalBlock.h"
#include "kilnar/recorder/SplitPath.h"

class CwStream {
 public:
  static constexpr uint32_t kChunkCapacity = 65535;

  CwStream();
  CwStream(const char* name, bool readOnly);
  CwStream(const CwStream&) = delete;
  CwStream& operator=(const CwStream&) = delete;
  virtual ~CwStream();

  // The system's text for the last system error, at most 512 characters,
  // in one buffer shared by all streams.
  virtual const char* GetErrorText();
  // Writes the last block and cuts the file at the end of the data written
  // (a shorter file written over a longer one keeps no stale tail). When
  // that last write fails, the file stays open.
  virtual void Close();
  virtual bool Rewind();
  virtual bool SeekToEnd();
  // Origin 0 from the start, 1 from Tell, 2 from GetSize; reading
  // continues at the target.
  virtual bool Seek(int64_t offset, int origin);
  // The file position of the next byte read or written; -1 when closed.
  virtual int64_t Tell();
  virtual bool Write(const void* data, uint32_t length);
  // Past the end of the file the bytes delivered are zeros, and the read
  // still succeeds: callers read only what GetSize says the file holds.
  virtual bool Read(void* buffer, uint32_t length);
  virtual bool IsOpen();
  // Closes without writing the buffered block and deletes the file.
  virtual bool Delete();
  virtual const char* GetName();
  // The size the file system records (buffered bytes not counted); 0 when
  // there is no such file; 0xFFFFFFFF for files of 4 GiB or more.
  virtual uint32_t GetSize();
  // Free bytes on the file system of the path, 0xFFFFFFFF when more are
  // free.
  virtual uint32_t GetFreeSpace();
  virtual void SetNoWait();
  virtual int16_t Poll();
  // Reads `length` bytes (at most 65535) into the stream's chunk buffer;
  // null when the read fails or there is no memory for the buffer.
  virtual uint8_t* ReadChunk(uint32_t length);

  bool Open(const char* name, bool readOnly);
  uint32_t GetBlockSize() const { return m_BlockSize; }
  const SplitPath& GetPath() const { return m_Path; }

 private:
  bool WriteBlock();
  bool FlushDirtyBlock();
  bool ReadBlockAt(int64_t position);
  void ForgetBlock(int64_t position);
  void ReleaseBlock();
  uint32_t CurrentOffset() const { return m_Current; }

  HANDLE m_File = nullptr;
  SplitPath m_Path;
  std::string m_Name;
  GlobalBlock m_Chunk;
  uint32_t m_ChunkCapacity = 0;
  GlobalBlock m_Block;
  uint32_t m_Current = 0;  // offset of the next byte in the block
  uint32_t m_BlockSize = 0;
  uint32_t m_ValidLength = 0;
  bool m_Dirty = false;
  // Where the block lies in the file, and how far data has been written.
  int64_t m_BlockStart = 0;
  int64_t m_WrittenEnd = -1;
};
