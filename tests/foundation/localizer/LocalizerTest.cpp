#include "foundation/kernel/Localizer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

class MapProvider : public CTextProvider {
 public:
  std::map<std::string, std::string> texts;
  const char* Lookup(const char* key, const char*) override {
    auto found = texts.find(key);
    return found == texts.end() ? nullptr : found->second.c_str();
  }
};

TEST(Localizer, UnknownKeyAnswersTheDefaultPointerItself) {
  static const char kDefault[] = "Thread Error";
  EXPECT_EQ(GetLocalizer().GetString("CreateThreadFailed.Caption", kDefault), kDefault);
  CStringLocalizer own;
  own.AddString("Other.Key", "x");
  EXPECT_EQ(own.GetString("CreateThreadFailed.Caption", kDefault), kDefault);
}

TEST(Localizer, ProviderComesBeforeKeyTableBeforeDefault) {
  CStringLocalizer localizer;
  MapProvider provider;
  provider.texts["Both"] = "from provider";
  localizer.AddString("Both", "from table");
  localizer.AddString("TableOnly", "from table");
  localizer.SetProvider(&provider);

  EXPECT_STREQ(localizer.GetString("Both", "default"), "from provider");
  EXPECT_STREQ(localizer.GetString("TableOnly", "default"), "from table");
  EXPECT_STREQ(localizer.GetString("Neither", "default"), "default");
  EXPECT_STREQ(localizer.GetString("both", "default"), "default");  // keys are case-sensitive

  localizer.SetProvider(nullptr);
  EXPECT_STREQ(localizer.GetString("Both", "default"), "from table");
}

TEST(Localizer, KeyTableKeepsItsOwnCopies) {
  CStringLocalizer localizer;
  std::string text = "first";
  localizer.AddString("Key", text.c_str());
  text = "changed";
  const char* first = localizer.GetString("Key", "default");
  EXPECT_STREQ(first, "first");
  localizer.AddString("Key", "second");
  EXPECT_STREQ(localizer.GetString("Key", "default"), "second");
  EXPECT_STREQ(first, "first");  // an answer stays valid while the localizer lives
}

TEST(Localizer, AnswersEveryThread) {
  CStringLocalizer localizer;
  localizer.AddString("Shared", "value");
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        if (t == 0 && i % 100 == 0) localizer.AddString(("Key" + std::to_string(i)).c_str(), "v");
        if (std::string(localizer.GetString("Shared", "default")) != "value") ++wrong;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_STREQ(localizer.GetString("Key1900", "default"), "v");
}

TEST(Localizer, IsARegisteredClass) {
  EXPECT_TRUE(IsKindOf<CStringLocalizer>(&GetLocalizer()));
  EXPECT_TRUE(CStringLocalizer::ClassRecord.IsDerivedFrom(&CTypedObject::ClassRecord));
}

}  // namespace
