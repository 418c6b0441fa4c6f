// The LZW decoder: code widths, the code table, strings written in place,
// input handed over in pieces, and codes that cannot be decoded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "foundation/bitmapfiles/LZWDecoder.h"
#include "foundation/bitmapfiles/LZWError.h"
#include "foundation/kernel/ClassManager.h"

using namespace readertest;

namespace {

// Feeds the data in pieces of the given sizes (cycled), carrying the
// unused bytes of each piece in front of the next, as the GIF readers do.
std::vector<BYTE> DecodeInPieces(CLZWDecoder& decoder, const std::string& data, size_t capacity,
                                 const std::vector<size_t>& pieces = {255}) {
  std::vector<BYTE> out(capacity + 8, 0xAB);
  std::fill(out.begin(), out.begin() + static_cast<long>(capacity), 0);
  decoder.SetOutput(out.data(), capacity, 8);
  BYTE input[260];
  size_t carried = 0;
  size_t at = 0;
  for (size_t i = 0; at < data.size(); ++i) {
    const size_t n = std::min(pieces[i % pieces.size()], data.size() - at);
    std::memcpy(input + carried, data.data() + at, n);
    at += n;
    decoder.SetInput(input);
    decoder.Decode(static_cast<DWORD>(carried + n));
    const DWORD used = decoder.GetInputOffset();
    carried = carried + n - used;
    std::memmove(input, input + used, carried);
  }
  return out;
}

std::vector<BYTE> RandomIndices(size_t count, DWORD bits, unsigned seed, bool runs) {
  std::mt19937 random(seed);
  std::vector<BYTE> indices(count);
  for (size_t i = 0; i < count; ++i) {
    // Runs give long strings, repeated patterns reuse them.
    indices[i] = runs && i > 0 && random() % 4 != 0 ? indices[i - 1] : static_cast<BYTE>(random() & ((1u << bits) - 1));
  }
  return indices;
}

TEST(LZWDecoder, SetUpFollowsTheLargestLiteral) {
  struct {
    DWORD largestLiteral;
    DWORD symbolWidth;
    DWORD codeWidth;
  } cases[] = {{0, 1, 2}, {1, 1, 2}, {3, 2, 3}, {7, 3, 4}, {15, 4, 5}, {255, 8, 9}, {5, 3, 3}};
  for (const auto& c : cases) {
    CLZWDecoder decoder;
    decoder.Init(12, c.largestLiteral, 0);
    EXPECT_EQ(decoder.GetSymbolWidth(), c.symbolWidth) << c.largestLiteral;
    EXPECT_EQ(decoder.GetCodeWidth(), c.codeWidth) << c.largestLiteral;
    EXPECT_EQ(decoder.GetEntryCount(), c.largestLiteral + 3) << c.largestLiteral;
  }
  CLZWDecoder decoder;
  decoder.Init(12, 15, 7);
  EXPECT_EQ(decoder.GetCodeWidth(), 7u) << "a given initial width";
}

TEST(LZWDecoder, ParametersWhoseCodesDoNotFitTheTableAreRefused) {
  struct {
    DWORD maxCodeWidth;
    DWORD largestLiteral;
    INT initialCodeWidth;
  } cases[] = {{12, 4095, 0}, {12, 4094, 0}, {8, 255, 0}, {12, 255, 13}, {17, 3, 0}};
  for (const auto& c : cases) {
    CLZWDecoder decoder;
    try {
      decoder.Init(c.maxCodeWidth, c.largestLiteral, c.initialCodeWidth);
      ADD_FAILURE() << c.maxCodeWidth << "/" << c.largestLiteral << "/" << c.initialCodeWidth << " was taken";
    } catch (CLZWError* error) {
      EXPECT_EQ(error->GetCode(), CLZWError::kCodeTooBig);
      DisposeError(error);
    }
  }
}

// Code size 1 is left out: its first entry is already one past the
// initial width, so the string of the second code after a clear (which may
// be that entry) cannot be written at that width. GIF asks for at least 2.
TEST(LZWDecoder, EncodedIndicesOfEveryCodeSizeDecodeBackInAnyPieces) {
  const std::vector<std::vector<size_t>> pieceSizes = {{255}, {1}, {2, 3, 1, 7}, {254, 1}};
  for (DWORD codeSize = 2; codeSize <= 8; ++codeSize) {
    for (const bool runs : {false, true}) {
      const std::vector<BYTE> indices = RandomIndices(20000, codeSize, codeSize * 7 + runs, runs);
      const std::string data = EncodeLZW(indices, codeSize);
      for (const auto& pieces : pieceSizes) {
        CLZWDecoder decoder;
        decoder.Init(12, (1u << codeSize) - 1, 0);
        const std::vector<BYTE> out = DecodeInPieces(decoder, data, indices.size(), pieces);
        EXPECT_TRUE(std::equal(indices.begin(), indices.end(), out.begin()))
            << "code size " << codeSize << (runs ? " with runs" : "") << ", pieces of " << pieces[0];
        EXPECT_TRUE(decoder.HasEnded()) << codeSize;
        EXPECT_EQ(decoder.GetSymbolCount(), indices.size()) << codeSize;
      }
    }
  }
}

TEST(LZWDecoder, SymbolsGoToFieldsOfTheOutputWidthMaskedAndLeastSignificantFirst) {
  // Codes at width 4 after the clear: literals 5, 3, 6 (the table grows to
  // width 5 only later).
  const std::string data = PackCodes({{8, 4}, {5, 4}, {3, 4}, {6, 4}, {9, 4}});
  CLZWDecoder decoder;
  decoder.Init(12, 7, 0);
  BYTE out[4] = {};
  decoder.SetOutput(out, 3, 2, 0x3);
  std::string input = data;
  decoder.SetInput(reinterpret_cast<BYTE*>(input.data()));
  EXPECT_EQ(decoder.Decode(static_cast<DWORD>(input.size())), 3u);
  // 5 & 3 = 1, 3, 6 & 3 = 2 at bits 0, 2, 4.
  EXPECT_EQ(out[0], 1 | 3 << 2 | 2 << 4);
  EXPECT_EQ(out[1], 0);
}

TEST(LZWDecoder, NarrowFieldsHoldTheSameSymbolsAsBytesAlsoForStringsOfThousandsOfSymbols) {
  // A run of 700000 equal indices makes strings over 1000 symbols long.
  std::vector<BYTE> indices(700000, 5);
  const std::vector<BYTE> tail = RandomIndices(5000, 4, 9, true);
  indices.insert(indices.end(), tail.begin(), tail.end());
  const std::string data = EncodeLZW(indices, 4);
  for (const DWORD width : {1u, 2u, 4u}) {
    const size_t capacity = indices.size() - 77;  // the last string is cut
    std::vector<BYTE> fields((capacity * width + 7) / 8 + 4, 0);
    CLZWDecoder decoder;
    decoder.Init(12, 15, 0);
    decoder.SetOutput(fields.data(), capacity, width, 0xF);
    std::string input;
    BYTE buffer[260];
    size_t carried = 0;
    for (size_t at = 0; at < data.size(); at += 255) {
      const size_t n = std::min<size_t>(255, data.size() - at);
      std::memcpy(buffer + carried, data.data() + at, n);
      decoder.SetInput(buffer);
      decoder.Decode(static_cast<DWORD>(carried + n));
      carried = carried + n - decoder.GetInputOffset();
      std::memmove(buffer, buffer + decoder.GetInputOffset(), carried);
    }
    size_t differing = 0;
    for (size_t i = 0; i < capacity; ++i) {
      const size_t bit = i * width;
      const DWORD value = (fields[bit / 8] >> (bit % 8)) & ((1u << width) - 1);
      if (value != (indices[i] & ((1u << width) - 1))) ++differing;
    }
    EXPECT_EQ(differing, 0u) << width << "-bit fields";
    EXPECT_EQ(fields[fields.size() - 4], 0) << width << "-bit fields: nothing behind the capacity";
  }
}

TEST(LZWDecoder, ACodeBeyondTheNextFreeEntryIsAnError) {
  struct {
    const char* name;
    std::vector<std::pair<DWORD, DWORD>> codes;
  } cases[] = {
      {"a code two beyond the next entry", {{4, 3}, {1, 3}, {7, 3}}},
      {"the next entry with no string before it", {{4, 3}, {6, 3}}},
      {"the next entry right after a clear", {{4, 3}, {1, 3}, {4, 3}, {6, 3}}},
  };
  for (const auto& c : cases) {
    CLZWDecoder decoder;
    decoder.Init(12, 3, 0);
    BYTE out[16] = {};
    decoder.SetOutput(out, sizeof out, 8);
    std::string data = PackCodes(c.codes);
    decoder.SetInput(reinterpret_cast<BYTE*>(data.data()));
    try {
      decoder.Decode(static_cast<DWORD>(data.size()));
      ADD_FAILURE() << c.name << ": decoded";
    } catch (CLZWError* error) {
      EXPECT_EQ(error->GetCode(), CLZWError::kCodeTooBig) << c.name;
      EXPECT_EQ(std::string(error->GetCaption().c_str()), "LZW error") << c.name;
      EXPECT_EQ(std::string(error->GetText().c_str()), "The code value is too big.") << c.name;
      DisposeError(error);
    }
  }
}

TEST(LZWDecoder, AFullTableKeepsTwelveBitCodesAndAddsNothing) {
  // Literals only: after the first, each adds an entry, until 4096.
  std::vector<std::pair<DWORD, DWORD>> codes = {{256, 9}};
  std::vector<BYTE> expected;
  DWORD entries = 258;
  DWORD width = 9;
  for (DWORD i = 0; i < 5000; ++i) {
    const BYTE literal = static_cast<BYTE>(i * 13);
    codes.push_back({literal, width});
    expected.push_back(literal);
    if (i > 0 && entries < 4096) {
      ++entries;
      if (entries > (1u << width) - 1 && width < 12) ++width;
    }
  }
  // Entry 4095 was made from the literals read as the 3838th and 3839th.
  codes.push_back({4095, 12});
  expected.push_back(static_cast<BYTE>(3837 * 13));
  expected.push_back(static_cast<BYTE>(3838 * 13));
  codes.push_back({257, 12});
  const std::string data = PackCodes(codes);

  CLZWDecoder decoder;
  decoder.Init(12, 255, 0);
  const std::vector<BYTE> out = DecodeInPieces(decoder, data, expected.size());
  EXPECT_EQ(decoder.GetEntryCount(), 4096u);
  EXPECT_EQ(decoder.GetCodeWidth(), 12u);
  EXPECT_TRUE(decoder.HasEnded());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()));
}

TEST(LZWDecoder, SymbolsBeyondTheOutputAreDroppedAndInputAfterTheEndCodeIsIgnored) {
  const std::vector<BYTE> indices = RandomIndices(300, 4, 5, true);
  std::string data = EncodeLZW(indices, 4);
  data += std::string(40, '\xFF');  // codes beyond the next entry, were they read
  CLZWDecoder decoder;
  decoder.Init(12, 15, 0);
  const std::vector<BYTE> out = DecodeInPieces(decoder, data, 100, {17});
  EXPECT_TRUE(std::equal(indices.begin(), indices.begin() + 100, out.begin()));
  EXPECT_EQ(out[100], 0xAB) << "nothing is written behind the output";
  EXPECT_EQ(decoder.GetSymbolCount(), 300u);
  EXPECT_TRUE(decoder.HasEnded());
}

TEST(LZWDecoder, TheErrorMadeThroughItsClassRecordHasTheCaptionAndCodeZero) {
  const CClassRecord* record = GetClassManager().FindClass("CLZWError");
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->IsDerivedFrom(&CError::ClassRecord));
  CTypedObject* object = record->create();
  ASSERT_NE(object, nullptr);
  auto* error = static_cast<CLZWError*>(object);
  EXPECT_EQ(std::string(error->GetCaption().c_str()), "LZW error");
  EXPECT_EQ(std::string(error->GetText().c_str()), "");
  EXPECT_EQ(error->GetCode(), 0u);
  delete object;
  EXPECT_EQ(std::string(CLZWError::GetCodeText(0).c_str()), "No error occurred.");
  EXPECT_EQ(std::string(CLZWError::GetCodeText(7).c_str()), "An unknown error occurred.");
}

}  // namespace
