// The texts of zlib failures: each result in the context of each call,
// looked up by key with its English default.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "foundation/kernel/ClassManager.h"
#include "foundation/kernel/Localizer.h"
#include "foundation/zlib/ZLibError.h"

namespace {

struct CodeTextCase {
  INT result;
  DWORD context;
  const char* key;
  const char* text;
};

// Every row of the text table, the contexts that share a row included.
const CodeTextCase kCodeTexts[] = {
    {Z_OK, 5, "CZLibError.Z_OK", "No error occurred"},
    {Z_STREAM_END, 2, "CZLibError.Z_STREAM_END", "End of stream reached"},
    {Z_NEED_DICT, 5, "CZLibError.Z_NEED_DICT", "Dictionary needed"},
    {Z_ERRNO, 0, "CZLibError.Z_ERRNO", "File system error"},
    {Z_STREAM_ERROR, 1, "CZLibError.Z_STREAM_ERROR.CompLevel", "Invalid compression level"},
    {Z_STREAM_ERROR, 9, "CZLibError.Z_STREAM_ERROR.DeflateDict",
     "An invalid parameter was passed to deflateSetDictionary or the stream state as inconsistent"},
    {Z_STREAM_ERROR, 10, "CZLibError.Z_STREAM_ERROR.InflateDict",
     "An invalid parameter was passed to inflateSetDictionary or the stream state as inconsistent"},
    {Z_STREAM_ERROR, 2, "CZLibError.Z_STREAM_ERROR.StreamState", "Inconsistent stream state"},
    {Z_STREAM_ERROR, 3, "CZLibError.Z_STREAM_ERROR.StreamState", "Inconsistent stream state"},
    {Z_STREAM_ERROR, 5, "CZLibError.Z_STREAM_ERROR.StreamState", "Inconsistent stream state"},
    {Z_STREAM_ERROR, 6, "CZLibError.Z_STREAM_ERROR.StreamState", "Inconsistent stream state"},
    {Z_STREAM_ERROR, 7, "CZLibError.Z_STREAM_ERROR.StreamState", "Inconsistent stream state"},
    {Z_STREAM_ERROR, 8, "CZLibError.Z_STREAM_ERROR.StreamState", "Inconsistent stream state"},
    {Z_STREAM_ERROR, 11, "CZLibError.Z_STREAM_ERROR.StreamState", "Inconsistent stream state"},
    {Z_STREAM_ERROR, 4, "CZLibError.Z_STREAM_ERROR.UnknownContext", "Z_STREAM_ERROR"},
    {Z_STREAM_ERROR, 0, "CZLibError.Z_STREAM_ERROR.UnknownContext", "Z_STREAM_ERROR"},
    {Z_DATA_ERROR, 3, "CZLibError.Z_DATA_ERROR.deflateEnd",
     "Stream was freed prematurely (some input or output was discarded)"},
    {Z_DATA_ERROR, 5, "CZLibError.Z_DATA_ERROR.inflate", "Input data is corrupted"},
    {Z_DATA_ERROR, 10, "CZLibError.Z_DATA_ERROR.inflateSetDict",
     "An invalid dictionary was passed to inflateSetDictionary."},
    {Z_DATA_ERROR, 11, "CZLibError.Z_DATA_ERROR.inflateSync", "No flush point has been found"},
    {Z_DATA_ERROR, 6, "CZLibError.Z_DATA_ERROR.UnknownContext", "Z_DATA_ERROR"},
    {Z_MEM_ERROR, 1, "CZLibError.Z_MEM_ERROR", "Not enough memory"},
    {Z_BUF_ERROR, 2, "CZLibError.Z_BUF_ERROR.deflate",
     "No progress possible (no input data available or no output memory left)"},
    {Z_BUF_ERROR, 5, "CZLibError.Z_BUF_ERROR.inflate",
     "No progress possible (no input data available or not enough output memory left)"},
    {Z_BUF_ERROR, 11, "CZLibError.Z_BUF_ERROR.inflateSync", "Flush error: no more input was provided"},
    {Z_BUF_ERROR, 4, "CZLibError.Z_BUF_ERROR.UnknownContext", "Z_BUF_ERROR"},
    {Z_VERSION_ERROR, 4, "CZLibError.Z_VERSION_ERROR", "Invalid ZLib version"},
    {-7, 0, "CZLibError.Unknown", "An unknown error occurred."},
    {3, 5, "CZLibError.Unknown", "An unknown error occurred."},
};

std::string Describe(const CodeTextCase& c) {
  return "result " + std::to_string(c.result) + " in context " + std::to_string(c.context);
}

// Answers every key with the key itself, to show which key a text came from.
class KeyEchoProvider : public CTextProvider {
 public:
  const char* Lookup(const char* key, const char*) override { return key; }
};

TEST(ZLibError, EachResultInEachContextHasItsDefaultText) {
  for (const CodeTextCase& c : kCodeTexts) EXPECT_STREQ(CZLibError::GetCodeText(c.result, c.context), c.text) << Describe(c);
}

TEST(ZLibError, EachTextIsLookedUpByItsKey) {
  KeyEchoProvider provider;
  GetLocalizer().SetProvider(&provider);
  for (const CodeTextCase& c : kCodeTexts) EXPECT_STREQ(CZLibError::GetCodeText(c.result, c.context), c.key) << Describe(c);
  EXPECT_STREQ(CZLibError(Z_DATA_ERROR, nullptr, 5).GetCaption(), "CZLibError.Caption");
  GetLocalizer().SetProvider(nullptr);
}

TEST(ZLibError, TextIsZlibsMessageWhenGivenElseTheTableText) {
  const CZLibError withoutMessage(Z_DATA_ERROR, nullptr, CZLibError::kInflate);
  EXPECT_STREQ(withoutMessage.GetCaption(), "ZLib Error");
  EXPECT_STREQ(withoutMessage.GetText(), "Input data is corrupted");
  EXPECT_EQ(withoutMessage.GetResult(), Z_DATA_ERROR);
  EXPECT_EQ(withoutMessage.GetContext(), 5u);

  const CZLibError withMessage(Z_DATA_ERROR, "incorrect header check", CZLibError::kInflate);
  EXPECT_STREQ(withMessage.GetText(), "incorrect header check");

  const CZLibError empty;
  EXPECT_STREQ(empty.GetText(), "No error occurred");
  EXPECT_EQ(empty.GetResult(), 0);
  EXPECT_EQ(empty.GetContext(), 0u);
}

TEST(ZLibError, CloneKeepsCaptionTextAndBothCodes) {
  KeyEchoProvider provider;
  CZLibError* original = new CZLibError(Z_BUF_ERROR, "buffer error", CZLibError::kDeflate);
  // Texts fetched now would differ: the clone must copy, not rebuild.
  GetLocalizer().SetProvider(&provider);
  CError* copy = original->Clone();
  GetLocalizer().SetProvider(nullptr);
  ASSERT_TRUE(IsKindOf<CZLibError>(copy));
  EXPECT_TRUE(copy->IsHeapObject());
  EXPECT_STREQ(copy->GetCaption(), "ZLib Error");
  EXPECT_STREQ(copy->GetText(), "buffer error");
  EXPECT_EQ(static_cast<CZLibError*>(copy)->GetResult(), Z_BUF_ERROR);
  EXPECT_EQ(static_cast<CZLibError*>(copy)->GetContext(), 2u);
  DisposeError(copy);
  DisposeError(original);
}

TEST(ZLibError, RegisteredAsACreatableError) {
  const CClassRecord* record = GetClassManager().FindClass("CZLibError");
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->IsDerivedFrom(&CError::ClassRecord));
  ASSERT_NE(record->create, nullptr);
  CTypedObject* made = record->create();
  EXPECT_STREQ(static_cast<CError*>(made)->GetText(), "No error occurred");
  DisposeError(static_cast<CError*>(made));

  const CClassRecord* wrapper = GetClassManager().FindClass("CZLib");
  ASSERT_NE(wrapper, nullptr);
  EXPECT_NE(wrapper->create, nullptr);
}

}  // namespace
