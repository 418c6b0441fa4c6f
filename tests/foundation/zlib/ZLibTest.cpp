// The compression wrapper: whole blocks packed to a stream and unpacked,
// zlib's failures as errors naming the call, and ends that report their
// failure while the destructor stays quiet.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/streams/MemoryStream.h"
#include "foundation/zlib/ZLib.h"
#include "foundation/zlib/ZLibError.h"

namespace {

std::vector<BYTE> SampleData(size_t size) {
  // Half random, half repeated text: zlib must store and match.
  std::vector<BYTE> data(size);
  std::mt19937 random(7);
  for (size_t i = 0; i < size; ++i) data[i] = i < size / 2 ? static_cast<BYTE>(random()) : "skin data "[i % 10];
  return data;
}

// The bytes written to a growing memory stream.
std::vector<BYTE> Compress(const std::vector<BYTE>& data, DWORD* crc = nullptr) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 4096, false);
  CZLib zlib;
  const DWORD total = zlib.CompressBlock(data.data(), static_cast<DWORD>(data.size()), stream, crc);
  EXPECT_FALSE(zlib.IsCompressing());
  EXPECT_EQ(stream.GetLength(true, nullptr), total);
  std::vector<BYTE> packed(stream.GetBuffer(), stream.GetBuffer() + total);
  stream.Close();
  return packed;
}

// Runs `body`, expecting it to throw a CZLibError; returns result and context.
template <class Body>
std::pair<INT, DWORD> ExpectZLibError(Body body, std::string* text = nullptr) {
  try {
    body();
  } catch (CZLibError* error) {
    const std::pair<INT, DWORD> codes{error->GetResult(), error->GetContext()};
    if (text) *text = error->GetText().c_str();
    DisposeError(error);
    return codes;
  }
  ADD_FAILURE() << "no CZLibError was thrown";
  return {0, 0};
}

TEST(ZLib, PackedBlockUnpacksToTheSameBytesAndItsCrcIsTheWrittenBytes) {
  for (size_t size : {size_t{1}, size_t{100}, size_t{70000}}) {
    const std::vector<BYTE> data = SampleData(size);
    DWORD crc = crc32(0, nullptr, 0);
    const std::vector<BYTE> packed = Compress(data, &crc);
    EXPECT_EQ(crc, crc32(0, packed.data(), static_cast<uInt>(packed.size()))) << size;

    std::vector<BYTE> unpacked(size);
    CZLib zlib;
    EXPECT_TRUE(zlib.DecompressBlock(packed.data(), static_cast<DWORD>(packed.size()), unpacked.data(),
                                     static_cast<DWORD>(unpacked.size())))
        << size;
    EXPECT_FALSE(zlib.IsDecompressing());
    EXPECT_EQ(unpacked, data) << size;
  }
}

TEST(ZLib, UnpackingReportsDataLeftOverOnEitherSideAsCorrupt) {
  const std::vector<BYTE> data = SampleData(5000);
  std::vector<BYTE> packed = Compress(data);
  CZLib zlib;

  std::vector<BYTE> larger(data.size() + 1);
  EXPECT_FALSE(zlib.DecompressBlock(packed.data(), static_cast<DWORD>(packed.size()), larger.data(),
                                    static_cast<DWORD>(larger.size())))
      << "an unfilled byte of the buffer";

  packed.push_back(0);
  std::vector<BYTE> exact(data.size());
  EXPECT_FALSE(zlib.DecompressBlock(packed.data(), static_cast<DWORD>(packed.size()), exact.data(),
                                    static_cast<DWORD>(exact.size())))
      << "an unused byte after the stream";
  EXPECT_FALSE(zlib.IsDecompressing());
}

TEST(ZLib, FailuresOfTheStepsNameTheCallThatFailed) {
  const std::vector<BYTE> data = SampleData(5000);
  const std::vector<BYTE> packed = Compress(data);
  std::vector<BYTE> buffer(data.size());
  std::string text;

  // Compressing nothing leaves no room for output, so the first step fails.
  CMemoryStream sink;
  sink.Open(nullptr, 0, kStreamWrite, 4096, false);
  CZLib empty;
  EXPECT_EQ(ExpectZLibError([&] { empty.CompressBlock(nullptr, 0, sink); }), std::make_pair(Z_BUF_ERROR, 2u));
  sink.Close();

  std::vector<BYTE> damaged = packed;
  damaged[0] ^= 0xFF;
  CZLib zlib;
  EXPECT_EQ(ExpectZLibError(
                [&] {
                  zlib.DecompressBlock(damaged.data(), static_cast<DWORD>(damaged.size()), buffer.data(),
                                       static_cast<DWORD>(buffer.size()));
                },
                &text),
            std::make_pair(Z_DATA_ERROR, 5u));
  EXPECT_EQ(text, "incorrect header check") << "zlib's own message is the text";

  // Cut short: with Z_FINISH zlib can make no more progress.
  EXPECT_EQ(ExpectZLibError(
                [&] {
                  zlib.DecompressBlock(packed.data(), static_cast<DWORD>(packed.size() / 2), buffer.data(),
                                       static_cast<DWORD>(buffer.size()));
                },
                &text),
            std::make_pair(Z_BUF_ERROR, 5u));
  EXPECT_EQ(text, "No progress possible (no input data available or not enough output memory left)");

  CZLib badLevel;
  EXPECT_EQ(ExpectZLibError([&] { badLevel.StartCompression(42); }), std::make_pair(Z_STREAM_ERROR, 1u));
  EXPECT_FALSE(badLevel.IsCompressing());
}

// No caller sets a dictionary, so a stream that asks for one is an error
// of the step, not a result to try again with.
TEST(ZLib, AStreamAskingForAPresetDictionaryFailsAtTheFirstStep) {
  const BYTE wantsDictionary[] = {0x78, 0xBB, 0x00, 0x00, 0x00, 0x01};
  BYTE buffer[16];
  std::string text;
  CZLib block;
  EXPECT_EQ(ExpectZLibError(
                [&] { block.DecompressBlock(wantsDictionary, sizeof wantsDictionary, buffer, sizeof buffer); }, &text),
            std::make_pair(Z_NEED_DICT, 5u));
  EXPECT_EQ(text, "Dictionary needed");

  CZLib steps;
  steps.StartDecompression();
  z_stream& stream = steps.GetStream();
  stream.next_in = const_cast<BYTE*>(wantsDictionary);
  stream.avail_in = sizeof wantsDictionary;
  stream.next_out = buffer;
  stream.avail_out = sizeof buffer;
  EXPECT_EQ(ExpectZLibError([&] { steps.Inflate(Z_NO_FLUSH); }), std::make_pair(Z_NEED_DICT, 5u));
}

TEST(ZLib, EndingACompressionWithOutputPendingReportsItOnceAndLeavesNothingOpen) {
  const std::vector<BYTE> data = SampleData(70000);
  BYTE output[16];
  CZLib zlib;
  zlib.StartCompression();
  z_stream& stream = zlib.GetStream();
  stream.next_in = const_cast<BYTE*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = output;
  stream.avail_out = sizeof output;
  zlib.Deflate(Z_NO_FLUSH);  // a stream under way, its output unfinished

  std::string text;
  EXPECT_EQ(ExpectZLibError([&] { zlib.End(); }, &text), std::make_pair(Z_DATA_ERROR, 3u));
  EXPECT_FALSE(zlib.IsCompressing()) << "zlib freed the stream: it must not be ended twice";
  EXPECT_NO_THROW(zlib.End());
}

TEST(ZLib, DestroyingAnOpenStreamEndsItQuietly) {
  // AddressSanitizer's leak check sees a stream that is never ended.
  const std::vector<BYTE> data = SampleData(70000);
  BYTE output[16];
  {
    CZLib compressing;
    compressing.StartCompression();
    z_stream& stream = compressing.GetStream();
    stream.next_in = const_cast<BYTE*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = output;
    stream.avail_out = sizeof output;
    compressing.Deflate(Z_NO_FLUSH);
    // deflateEnd fails here with Z_DATA_ERROR; the destructor must not throw.
  }
  {
    CZLib decompressing;
    decompressing.StartDecompression();
  }
  {
    CZLib neverStarted;
    EXPECT_FALSE(neverStarted.IsCompressing());
    EXPECT_FALSE(neverStarted.IsDecompressing());
  }
}

TEST(ZLib, StartingAgainEndsTheStreamStillOpen) {
  CZLib zlib;
  zlib.StartCompression();
  zlib.StartDecompression();
  EXPECT_FALSE(zlib.IsCompressing());
  EXPECT_TRUE(zlib.IsDecompressing());
  zlib.StartCompression();
  EXPECT_TRUE(zlib.IsCompressing());
  EXPECT_FALSE(zlib.IsDecompressing());
  zlib.End();
  EXPECT_FALSE(zlib.IsCompressing());
}

}  // namespace
