// A file read or written as raw bytes through the platform layer, so that
// paths may use "\" as well as "/" and playlists made on Windows find their
// files without regard to case. Closed with the object. Belongs to one
// thread at a time.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

class BinaryFile {
 public:
  BinaryFile() = default;
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;
  ~BinaryFile();

  // An existing file, for reading.
  bool OpenForReading(const std::string& path);
  // A new file for writing; with `replace` an existing file is emptied,
  // else it is left alone and the answer is false.
  bool Create(const std::string& path, bool replace);
  void Close();
  bool IsOpen() const { return m_File != nullptr; }

  // True only when every byte was read or written.
  bool Read(void* buffer, size_t length);
  bool Write(const void* data, size_t length);
  // Moves the position on by `length` bytes; false past the file's end.
  bool Skip(uint64_t length);
  bool SeekTo(uint64_t position);
  uint64_t Position() const;
  // Bytes between the position and the file's end.
  uint64_t Remaining() const;

 private:
  HANDLE m_File = nullptr;
};
