#include "SkinTestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstring>
#include <fstream>

#include "foundation/bitmaps/ColorPalette.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "support/TestPaths.h"

namespace skintest {

Bytes& Bytes::U32(uint32_t value) {
  for (int i = 0; i < 4; ++i) m_Bytes.push_back(static_cast<char>(value >> (8 * i)));
  return *this;
}

Bytes& Bytes::Raw(const std::string& bytes) {
  m_Bytes += bytes;
  return *this;
}

Bytes& Bytes::Chunk(const char (&tag)[5], const std::string& data) { return Chunk(std::string(tag, 4), data); }

Bytes& Bytes::Chunk(const std::string& tag, const std::string& data) {
  Raw(tag).U32(static_cast<uint32_t>(data.size()));
  return Raw(data);
}

BytesStream::BytesStream(const std::string& bytes) {
  BYTE* block = new BYTE[bytes.size() ? bytes.size() : 1];
  std::memcpy(block, bytes.data(), bytes.size());
  m_Stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
}

void OpenWritable(CMemoryStream& stream) {
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 4096, false);
}

std::string StreamBytes(CMemoryStream& stream) {
  return std::string(reinterpret_cast<const char*>(stream.GetBuffer()),
                     static_cast<size_t>(stream.GetLength(true, nullptr)));
}

std::string ExpectError(const std::function<void()>& call, const std::string& text) {
  try {
    call();
  } catch (CError* error) {
    const std::string caption = error->GetCaption().c_str();
    const std::string got = error->GetText().c_str();
    DisposeError(error);
    EXPECT_NE(got.find(text), std::string::npos) << "expected \"" << text << "\", got \"" << got << "\"";
    return caption;
  }
  ADD_FAILURE() << "nothing was thrown; expected \"" << text << "\"";
  return std::string();
}

std::string Quote(const std::string& text) { return "'" + text + "'"; }

std::string Twltool() { return Quote(twltest::ProgramPath("twltool")); }

int Shell(const std::string& commandLine, std::string* output) {
  const int status = twltest::RunCommand(commandLine + " 2>&1", output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string DifferingPixels(const std::string& a, const std::string& b) {
  const std::string dir = twltest::MakeTempDir("compare");
  std::string output;
  if (Shell("convert " + Quote(a) + " -alpha off " + Quote(dir + "/a.ppm"), &output) != 0 ||
      Shell("convert " + Quote(b) + " -alpha off " + Quote(dir + "/b.ppm"), &output) != 0)
    return "convert failed: " + output;
  Shell("compare -metric AE " + Quote(dir + "/a.ppm") + " " + Quote(dir + "/b.ppm") + " null:", &output);
  return output;
}

int RunTool(const std::string& commandLine, std::string* out, std::string* err) {
  const std::string errFile = twltest::MakeTempDir("stderr") + "/stderr";
  const int status = twltest::RunCommand(commandLine + " 2>" + Quote(errFile), out);
  if (err) *err = twltest::ReadFile(errFile);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void RequireImageMagick() {
  ASSERT_EQ(Shell("convert -version >/dev/null && compare -version >/dev/null"), 0)
      << "ImageMagick (convert, compare) is missing: install the package imagemagick (scripts/deps.sh test)";
}

void RequirePython() { ASSERT_EQ(Shell("python3 -c 'import struct, zlib'"), 0) << "python3 is missing"; }

std::string TestSource(const std::string& relative) { return twltest::SourceDir() + "/" + relative; }

namespace {

void Put16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value));
  out.push_back(static_cast<char>(value >> 8));
}
void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

void WriteBMP(const CDIBitmap& picture, const std::string& path) {
  const CPixelFormat& format = picture.GetFormat();
  const uint32_t width = picture.GetWidth(), height = picture.GetHeight(), bits = format.bitsPerPixel;
  const uint32_t rowBytes = (width * bits + 7) / 8;
  const uint32_t stride = (rowBytes + 3) & ~3u;
  std::string table;
  uint32_t compression = 0;
  if (format.IsPalettized()) {
    const CColorPalette* palette = format.GetPalette();
    for (DWORD i = 0; palette && i < palette->GetCount(); ++i) {
      const DWORD c = palette->GetEntries()[i];  // 0x00BBGGRR
      Put32(table, (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
    }
  } else if (bits != 24) {
    compression = 3;  // bit fields
    Put32(table, format.redMask);
    Put32(table, format.greenMask);
    Put32(table, format.blueMask);
  }
  std::string header;
  const uint32_t offset = 14 + 40 + static_cast<uint32_t>(table.size());
  header += "BM";
  Put32(header, offset + stride * height);
  Put32(header, 0);
  Put32(header, offset);
  Put32(header, 40);
  Put32(header, width);
  Put32(header, static_cast<uint32_t>(-static_cast<int32_t>(height)));
  Put16(header, 1);
  Put16(header, bits);
  Put32(header, compression);
  Put32(header, stride * height);
  Put32(header, 2835);
  Put32(header, 2835);
  Put32(header, format.IsPalettized() ? static_cast<uint32_t>(table.size() / 4) : 0);
  Put32(header, 0);
  std::string pixels;
  const size_t sourceStride = static_cast<size_t>(picture.GetBytesPerRow()) + picture.GetRowPadding();
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t row = picture.IsTopDown() ? y : height - 1 - y;
    pixels.append(reinterpret_cast<const char*>(picture.GetPixels()) + sourceStride * row, rowBytes);
    pixels.append(stride - rowBytes, '\0');
  }
  std::ofstream out(path, std::ios::binary);
  out << header << table << pixels;
  ASSERT_TRUE(out.good()) << path;
}

std::string RunLengthBMP(uint32_t width, uint32_t height) {
  std::string palette;
  Put32(palette, 0x000000);
  Put32(palette, 0xFFFFFF);
  const std::string runs("\0\1", 2);  // the end of the picture, at once
  const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size());
  std::string header = "BM";
  Put32(header, offset + static_cast<uint32_t>(runs.size()));
  Put32(header, 0);
  Put32(header, offset);
  Put32(header, 40);
  Put32(header, width);
  Put32(header, height);
  Put16(header, 1);
  Put16(header, 8);
  Put32(header, 1);  // RLE8
  Put32(header, static_cast<uint32_t>(runs.size()));
  Put32(header, 2835);
  Put32(header, 2835);
  Put32(header, 2);
  Put32(header, 0);
  return header + palette + runs;
}

}  // namespace skintest
