// CStorage: a buffered binary archive over a stream, bound either for
// loading or for storing. Objects serialise themselves through it (their
// Serialize), field by field: values of 1, 2 and 4 bytes, little-endian;
// texts as a 16-bit length followed by the bytes, without terminator; raw
// blocks whose length the reader knows from earlier fields. No header, no
// alignment, no padding.
//
// The archive never owns or closes its stream: open the stream, bind the
// archive, serialise, Close the archive (to see errors of the last flush),
// then close the stream. Too little data for a value, a text or a refill
// throws CStorageError kEndOfStream, with what was read so far consumed;
// stream errors pass through unchanged. One thread at a time.
//
// Reading and writing need a bound archive in the matching direction.
#pragma once

#include <windows.h>

#include <memory>

#include "foundation/kernel/Str.h"

class CStream;

class CStorage {
 public:
  static constexpr DWORD kLoad = 1;   // the direction of Open that loads
  static constexpr DWORD kStore = 0;  // any other direction stores
  static constexpr DWORD kMinBufferSize = 8;
  static constexpr DWORD kMaxTextLength = 0xFFFF;

  CStorage() noexcept = default;
  CStorage(const CStorage&) = delete;
  CStorage& operator=(const CStorage&) = delete;
  // Closes as CloseNoThrow: an error of the final flush is lost.
  ~CStorage();

  // Binds the archive (closing it first when bound). A loading archive asks
  // the stream at once for 0 bytes, so that a stream that cannot be read
  // fails here; the archive then stays unbound. `flag` is kept; callers
  // pass 1. The buffer holds max(bufferSize, 8) bytes; callers use 4096.
  void Open(CStream* stream, DWORD direction, BYTE flag, DWORD bufferSize);
  bool IsLoading() const { return m_Loading; }
  bool IsBound() const { return m_Stream != nullptr; }

  // Up to `size` bytes, fewer only at the end of the stream.
  DWORD Read(void* buffer, DWORD size);
  void Write(const void* buffer, DWORD size);

  void ReadValue(BYTE& value);
  void ReadValue(WORD& value);
  void ReadValue(SHORT& value);
  void ReadValue(DWORD& value);
  void ReadValue(INT& value);
  void WriteValue(BYTE value);
  void WriteValue(WORD value);
  void WriteValue(SHORT value);
  void WriteValue(DWORD value);
  void WriteValue(INT value);

  // Loads a text; a short one is kept as read and throws kEndOfStream.
  void ReadString(CStr& text);
  // Stores the bytes before the text's first NUL. More than 65535 of them
  // cannot be counted by the length field: kTextTooLong, nothing written.
  void WriteString(const char* text);

  // Loading: keeps the unread bytes, reads as much as fits behind them, and
  // throws kEndOfStream when fewer than `needed` bytes are then at hand.
  void FillBuffer(DWORD needed);
  // Storing: hands the buffered bytes to the stream.
  void Flush();
  // Flushes a storing archive (an error passes on) and unbinds; the archive
  // is unbound afterwards in any case.
  void Close();
  void CloseNoThrow() noexcept;

 private:
  template <class T>
  void ReadLittleEndian(T& value);
  template <class T>
  void WriteLittleEndian(T value);
  void Unbind() noexcept;

  CStream* m_Stream = nullptr;
  bool m_Loading = false;
  BYTE m_Flag = 0;
  std::unique_ptr<BYTE[]> m_Buffer;
  DWORD m_Capacity = 0;
  DWORD m_Position = 0;
  DWORD m_DataEnd = 0;  // loading: end of the valid bytes; storing: the capacity
};
