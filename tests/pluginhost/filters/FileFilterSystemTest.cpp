// The file filter system with scripted filters beside the built-in
// playlist filter: the description list, which filters a group asks, the
// combined failure, and the playlist filter's own answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/errors/ThreadErrorState.h"
#include "playback/playlist/PlayListFileFilter.h"
#include "pluginhost/filters/FileFilterDesc.h"
#include "pluginhost/filters/FileFilterSystem.h"
#include "support/RecordingLogFront.h"
#include "support/StubConfigurableObject.h"

namespace {

// A filter that offers the descriptions it is given, marks the names that
// end in its extension and fails (after marking) when told to.
class ScriptedFilter : public twltest::StubConfigurableObject<CFileFilter> {
 public:
  ScriptedFilter(std::string name, std::vector<std::string> descs, std::string extension)
      : StubConfigurableObject(std::move(name)), m_Descs(std::move(descs)), m_Extension(std::move(extension)) {}

  std::string failure;       // FilterFiles fails with this text when set
  bool enumFails = false;    // EnumFilterDescs fails after its first description
  bool restoreFails = false;
  std::vector<std::vector<FILEFILTER_DESCRIPTION>> asked;  // the values of each FilterFiles call
  std::vector<std::string>* skinCalls = nullptr;

  bool EnumFilterDescs(CFileFilterDescEnum& collector) override {
    for (size_t i = 0; i < m_Descs.size(); ++i) {
      collector.AddDesc(m_Descs[i].c_str(), 10 + i, this);
      if (enumFails) {
        SetThreadError(THREAD_ERROR_GENERAL, 0, "enumeration broke");
        return false;
      }
    }
    return true;
  }
  bool FilterFiles(int32_t count, const FILEFILTER_DESCRIPTION* values, int32_t nameCount, const char* const* names,
                   DWORD* results) override {
    asked.emplace_back(values, values + count);
    for (int32_t i = 0; i < nameCount; ++i) {
      const std::string name = names[i];
      if (name.size() > m_Extension.size() && name.ends_with(m_Extension)) results[i] = 1;
    }
    if (failure.empty()) return true;
    SetThreadError(THREAD_ERROR_GENERAL, 0, failure.c_str());
    return false;
  }
  void BeginSkinChange() override {
    if (skinCalls) skinCalls->push_back("begin " + Name());
  }
  void EndSkinChange() override {
    if (skinCalls) skinCalls->push_back("end " + Name());
  }
  bool RestoreSurfaces() override {
    if (restoreFails) SetThreadError(THREAD_ERROR_GENERAL, 0, "surface gone");
    return !restoreFails;
  }

 private:
  std::vector<std::string> m_Descs;
  std::string m_Extension;
};

std::vector<std::string> DescNames(const CFileFilterSystem& system) {
  std::vector<std::string> names;
  for (INT i = 0; i < system.GetDescCount(); ++i) names.emplace_back(system.GetDesc(i)->GetName().c_str());
  return names;
}

// The playlist filter and two scripted ones, the list built.
class FilterSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system.Init(nullptr);
    first = new ScriptedFilter("First", {"First A", "First B"}, ".fa");
    second = new ScriptedFilter("Second", {"Second A"}, ".sa");
    system.AddFilter(first);
    system.AddFilter(second);
    system.RebuildDescs();
  }
  void TearDown() override { system.Exit(); }

  twltest::RecordingLogFront log;
  CFileFilterSystem system;
  ScriptedFilter* first = nullptr;
  ScriptedFilter* second = nullptr;
};

TEST(FileFilterSystem, WithoutPlugInFiltersTheListHoldsExactlyThePlayListDescription) {
  twltest::RecordingLogFront log;
  CFileFilterSystem system;
  system.Init(nullptr);
  ASSERT_EQ(system.GetDescCount(), 1);
  const CFileFilterDesc* desc = system.GetDesc(0);
  EXPECT_STREQ(desc->GetName().c_str(), "PlayList Files (*.p4u, *.pp4u, *.vp4u, *.m3u, *.pls, *.wpl)");
  EXPECT_EQ(desc->GetValue(), 0u);
  ASSERT_EQ(system.GetFilterCount(), 1);
  EXPECT_EQ(desc->GetFilterHandle(), system.GetFilter(0)->GetHandle());
  EXPECT_STREQ(system.GetFilter(0)->GetName(), "PlayList File Filter");
  EXPECT_EQ(system.GetDesc(1), nullptr);
  ASSERT_FALSE(log.Entries().empty());
  EXPECT_EQ(log.Entries()[0].text, "-------- initializing file filter(s) --------\n");
  system.Exit();
  EXPECT_EQ(system.GetDescCount(), 0);
  EXPECT_EQ(system.GetFilterCount(), 0);
}

TEST_F(FilterSystemTest, DescriptionsFollowTheFilterOrder) {
  EXPECT_EQ(DescNames(system), (std::vector<std::string>{"PlayList Files (*.p4u, *.pp4u, *.vp4u, *.m3u, *.pls, *.wpl)",
                                                         "First A", "First B", "Second A"}));
  EXPECT_EQ(system.GetDesc(2)->GetValue(), 11u);
  EXPECT_EQ(system.GetDesc(2)->GetFilterHandle(), first);
}

TEST_F(FilterSystemTest, AGroupAsksOnlyTheFiltersThatMadeItsDescriptionsWithTheirValuesInGroupOrder) {
  CFileFilterDesc* group[] = {system.GetDesc(2), system.GetDesc(1)};
  const char* names[] = {"x.fa", "y.sa", "z.p4u"};
  DWORD results[3] = {0, 0, 0};
  EXPECT_TRUE(system.FilterFiles(2, group, 3, names, results));
  EXPECT_EQ(first->asked, (std::vector<std::vector<FILEFILTER_DESCRIPTION>>{{11, 10}}));
  EXPECT_TRUE(second->asked.empty()) << "none of its descriptions was chosen";
  EXPECT_EQ(results[0], 1u);
  EXPECT_EQ(results[1], 0u);
  EXPECT_EQ(results[2], 0u) << "the playlist filter was not asked either";
}

TEST_F(FilterSystemTest, TwoFailuresMakeOneErrorAndEveryMarkStands) {
  first->failure = "first broke";
  second->failure = "second broke";
  std::vector<CFileFilterDesc*> all;
  for (INT i = 0; i < system.GetDescCount(); ++i) all.push_back(system.GetDesc(i));
  const char* names[] = {"x.fa", "y.sa", "z.P4U", "w.txt"};
  DWORD results[4] = {0, 0, 0, 7};
  EXPECT_FALSE(system.FilterFiles(static_cast<INT>(all.size()), all.data(), 4, names, results));
  EXPECT_EQ(results[0], 1u);
  EXPECT_EQ(results[1], 1u);
  EXPECT_EQ(results[2], 1u);
  EXPECT_EQ(results[3], 7u) << "a result is never cleared";
  const ThreadErrorState* error = GetThreadErrorState();
  EXPECT_EQ(error->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
  EXPECT_EQ(error->code, 0u);
  EXPECT_STREQ(error->text, "Error during file filtering:\nfirst broke\nsecond broke\n");

  second->failure.clear();
  EXPECT_FALSE(system.FilterFiles(static_cast<INT>(all.size()), all.data(), 4, names, results));
  EXPECT_STREQ(GetThreadErrorState()->text, "Error during file filtering:\nfirst broke\n");
}

TEST_F(FilterSystemTest, AFilterThatFailsToEnumerateIsLoggedAndKeepsWhatItAdded) {
  first->enumFails = true;
  system.RebuildDescs();
  EXPECT_EQ(DescNames(system), (std::vector<std::string>{"PlayList Files (*.p4u, *.pp4u, *.vp4u, *.m3u, *.pls, *.wpl)",
                                                         "First A", "Second A"}));
  bool logged = false;
  for (const auto& entry : log.Entries())
    logged |= entry.category == 0x100 && entry.text.find("error during file filter enumeration") != std::string::npos &&
              entry.text.find("enumeration broke") != std::string::npos;
  EXPECT_TRUE(logged);
}

TEST_F(FilterSystemTest, SurfacesAndSkinChangesReachEveryFilterInOrder) {
  second->restoreFails = true;
  EXPECT_FALSE(system.RestoreSurfaces());
  bool logged = false;
  for (const auto& entry : log.Entries())
    logged |= entry.category == 0x400 && entry.text.find("Second") != std::string::npos;
  EXPECT_TRUE(logged);
  second->restoreFails = false;
  EXPECT_TRUE(system.RestoreSurfaces());

  std::vector<std::string> calls;
  first->skinCalls = &calls;
  second->skinCalls = &calls;
  system.BeginSkinChange();
  system.EndSkinChange();
  EXPECT_EQ(calls, (std::vector<std::string>{"begin First", "begin Second", "end First", "end Second"}));
}

TEST(PlayListFileFilter, MarksPlayListExtensionsWithoutCaseAndNeverClearsAResult) {
  CPlayListFileFilter filter;
  const struct {
    const char* name;
    DWORD expected;
  } rows[] = {
      {"a.p4u", 1}, {"b.PP4U", 1}, {"c.Vp4u", 1}, {"d.m3u", 1}, {"e.PLS", 1}, {"f.wpl", 1},
      {".pls", 1},                  // the text after the dot is all that counts
      {"g.m3u8", 0},                // a longer extension
      {"h.p4u.txt", 0},             // only the last dot counts
      {"dir.m3u/track", 0},         // a dot before the last slash
      {"noextension", 0}, {"trailing.", 0}, {"", 0},
  };
  std::vector<const char*> names;
  for (const auto& row : rows) names.push_back(row.name);
  std::vector<DWORD> results(names.size(), 0);
  const FILEFILTER_DESCRIPTION value = 0;
  EXPECT_TRUE(filter.FilterFiles(1, &value, static_cast<int32_t>(names.size()), names.data(), results.data()));
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(results[i], rows[i].expected) << rows[i].name;

  std::vector<DWORD> untouched(names.size(), 5);
  EXPECT_TRUE(filter.FilterFiles(0, nullptr, static_cast<int32_t>(names.size()), names.data(), untouched.data()));
  EXPECT_EQ(untouched, std::vector<DWORD>(names.size(), 5)) << "no description of it chosen";
  EXPECT_TRUE(filter.FilterFiles(1, &value, static_cast<int32_t>(names.size()), names.data(), untouched.data()));
  for (size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(untouched[i], rows[i].expected ? 1u : 5u) << rows[i].name << ": other names keep their results";

  EXPECT_STREQ(filter.GetDescription(), "Checks if a given file's extension identifies it as a playlist.");
  EXPECT_EQ(filter.GetImageIndex(), -1);
  EXPECT_FALSE(filter.HasConfigure());
  EXPECT_TRUE(filter.RestoreSurfaces());
}

}  // namespace
