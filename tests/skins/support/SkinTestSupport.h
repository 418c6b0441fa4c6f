// Helpers of the skin tests: building little-endian byte strings for
// hostile records, streams over them, expecting the one skin error a
// reader must give, running ImageMagick and python3, and writing a
// decoded picture back as a BMP file for ImageMagick to compare.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <windows.h>

#include "foundation/streams/MemoryStream.h"

class CDIBitmap;

namespace skintest {

// Little-endian bytes, built field by field.
class Bytes {
 public:
  Bytes& U32(uint32_t value);
  Bytes& I32(int32_t value) { return U32(static_cast<uint32_t>(value)); }
  Bytes& Tag(const char (&tag)[5]) { return Raw(std::string(tag, 4)); }
  Bytes& Raw(const std::string& bytes);
  Bytes& Zeros(size_t count) { return Raw(std::string(count, '\0')); }
  // A chunk: tag, length, data.
  Bytes& Chunk(const char (&tag)[5], const std::string& data);
  Bytes& Chunk(const char (&tag)[5], const Bytes& data) { return Chunk(tag, data.str()); }
  Bytes& Chunk(const std::string& tag, const std::string& data);
  const std::string& str() const { return m_Bytes; }
  size_t size() const { return m_Bytes.size(); }

 private:
  std::string m_Bytes;
};

// A readable, seekable memory stream over a copy of the bytes.
class BytesStream {
 public:
  explicit BytesStream(const std::string& bytes);
  CMemoryStream& operator*() { return m_Stream; }
  CMemoryStream* operator->() { return &m_Stream; }

 private:
  CMemoryStream m_Stream;
};
// The bytes written to a growable memory stream.
std::string StreamBytes(CMemoryStream& stream);
// A writable, seekable, growable memory stream.
void OpenWritable(CMemoryStream& stream);

// Runs the call and expects it to throw a CError whose text contains
// `text`; fails the test otherwise (with what was thrown). Returns the
// caption.
std::string ExpectError(const std::function<void()>& call, const std::string& text);
inline constexpr const char* kCorrupted = "Corrupted file";
inline constexpr const char* kEndOfStream = "The end of the stream was reached.";

// Shell commands; exit code, -1 when it did not exit; stdout and stderr
// in `output`.
std::string Quote(const std::string& text);
// twltool of this build, quoted for the shell.
std::string Twltool();
int Shell(const std::string& commandLine, std::string* output = nullptr);
// ImageMagick's "compare -metric AE" count of differing pixels, of the
// colours alone (an opaque alpha channel and none count the same).
std::string DifferingPixels(const std::string& a, const std::string& b);
// Runs a program's command line; exit code, -1 when it did not exit;
// what it wrote to stdout and to stderr apart.
int RunTool(const std::string& commandLine, std::string* out, std::string* err);
// Fails the test when ImageMagick's convert or python3 is missing.
void RequireImageMagick();
void RequirePython();
// A path of a file in this test folder's source folder.
std::string TestSource(const std::string& relative);

// Writes the picture as a top-down BMP file in its own pixel format
// (palette or bit fields as it has them).
void WriteBMP(const CDIBitmap& picture, const std::string& path);
// An 8-bit run-length BMP file of a few bytes claiming the size: its
// runs end the picture at once, all of it black.
std::string RunLengthBMP(uint32_t width, uint32_t height);

}  // namespace skintest
