// The registry of plug-in object handles: replacing entries, looking up,
// and the kind each wrapper class gives.
#include <gtest/gtest.h>

#include <deque>

#include "foundation/kernel/ClassManager.h"
#include "pluginhost/objects/ConfigurableObject.h"
#include "pluginhost/plugins/PlugInRegistry.h"

namespace {

PLUGIN_HANDLE Handle(uintptr_t value) { return reinterpret_cast<PLUGIN_HANDLE>(value); }

TEST(PlugInRegistry, RegisteringAHandleAgainLeavesOneEntryWithTheNewValuesAtTheEnd) {
  CPlugInRegistry registry;
  registry.Register(Handle(1), "one", "Plug<one>", "Plug", nullptr, nullptr);
  registry.Register(Handle(2), "two", "Plug<two>", "Plug", nullptr, nullptr);
  registry.Register(Handle(1), "uno", "Other<uno>", "Other", nullptr, nullptr);
  ASSERT_EQ(registry.GetCount(), 2);
  PlugInRegistryEntry entry;
  ASSERT_TRUE(registry.GetEntry(0, entry));
  EXPECT_EQ(entry.handle, Handle(2));
  ASSERT_TRUE(registry.GetEntry(1, entry));
  EXPECT_EQ(entry.handle, Handle(1));
  EXPECT_EQ(entry.name, "uno");
  EXPECT_EQ(entry.key, "Other<uno>");
  EXPECT_EQ(entry.plugInName, "Other");
}

TEST(PlugInRegistry, LookupCopiesAKnownEntryAndLeavesTheRecordAloneOtherwise) {
  CPlugInRegistry registry;
  int wrapper = 0;
  registry.Register(Handle(7), "seven", nullptr, nullptr, nullptr, reinterpret_cast<CTypedObject*>(&wrapper));
  PlugInRegistryEntry entry;
  ASSERT_TRUE(registry.Lookup(Handle(7), entry));
  EXPECT_EQ(entry.key, "") << "a null key is empty";
  EXPECT_EQ(entry.plugInName, "") << "a null plug-in name is the key";
  EXPECT_EQ(entry.wrapper, reinterpret_cast<CTypedObject*>(&wrapper));

  PlugInRegistryEntry untouched;
  untouched.name = "mine";
  EXPECT_FALSE(registry.Lookup(Handle(8), untouched));
  EXPECT_EQ(untouched.name, "mine");

  registry.Unregister(Handle(8));  // unknown: nothing happens
  registry.Unregister(Handle(7));
  EXPECT_FALSE(registry.Lookup(Handle(7), entry));
  EXPECT_EQ(registry.GetCount(), 0);
}

TEST(PlugInRegistry, TheKindIsTheFirstKindBaseClassTheWrapperDerivesFrom) {
  // Records of the kinds' base classes as the host systems register them,
  // and wrapper classes on them.
  // Records outlive the class manager, which reads them at exit.
  static auto& records = *new std::deque<CClassRecord>;
  auto classRecord = [](const char* name, const char* base) {
    if (const CClassRecord* existing = GetClassManager().FindClass(name)) return existing;
    CClassRecord& record = records.emplace_back(CClassRecord{nullptr, 0, name, nullptr, nullptr, 0});
    GetClassManager().RegisterClass(&record, base);
    return static_cast<const CClassRecord*>(&record);
  };
  classRecord("CControlWindowUser", "CConfigurableObject");
  classRecord("CPlayer", "CControlWindowUser");
  classRecord("CVisualizer", "CControlWindowUser");
  classRecord("CFileFilter", "CConfigurableObject");
  struct Row {
    const char* wrapperClass;
    const char* base;
    INT kind;
  };
  const Row rows[] = {
      {"CTestKindPlayer", "CPlayer", PLUGIN_REGISTRY_PLAYER},
      {"CTestKindVisualizer", "CVisualizer", PLUGIN_REGISTRY_VISUALIZER},
      {"CTestKindStreamProvider", "CStreamProvider", PLUGIN_REGISTRY_STREAMPROVIDER},
      {"CTestKindFilter", "CFileFilter", PLUGIN_REGISTRY_FILEFILTER},
      {"CTestKindUser", "CControlWindowUser", PLUGIN_REGISTRY_UNKNOWN},
      {"CTestKindOther", "CConfigurableObject", PLUGIN_REGISTRY_UNKNOWN},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.wrapperClass);
    const CClassRecord* record = classRecord(row.wrapperClass, row.base);
    ASSERT_TRUE(record->IsCompleted());
    EXPECT_EQ(CPlugInRegistry::KindOf(record), row.kind);
    CPlugInRegistry registry;
    registry.Register(Handle(1), "x", "k", "p", record, nullptr);
    PlugInRegistryEntry entry;
    ASSERT_TRUE(registry.Lookup(Handle(1), entry));
    EXPECT_EQ(entry.kind, row.kind);
    EXPECT_EQ(entry.classRecord, record);
  }
  EXPECT_EQ(CPlugInRegistry::KindOf(nullptr), PLUGIN_REGISTRY_UNKNOWN);
}

}  // namespace
