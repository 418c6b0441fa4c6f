#include "foundation/kernel/ClassManager.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/TestPaths.h"

namespace {

struct Registration {
  const char* name;
  const char* base;  // "" for a root
};

struct RegistrationCase {
  const char* behaviour;
  std::vector<Registration> order;
  // Expected ancestor list of each class; an empty list means parked.
  std::map<std::string, std::vector<DWORD>> expected;
};

// A fresh manager with one record per class of the case, registered in the
// case's order.
class Registry {
 public:
  explicit Registry(const std::vector<Registration>& order) {
    for (const Registration& r : order) m_Records[r.name] = CClassRecord{nullptr, 0, r.name, nullptr, nullptr, 8};
    for (const Registration& r : order) m_Manager.RegisterClass(&m_Records[r.name], r.base);
  }
  CClassRecord& operator[](const std::string& name) { return m_Records.at(name); }
  std::map<std::string, CClassRecord>& Records() { return m_Records; }
  CClassManager& Manager() { return m_Manager; }

 private:
  std::map<std::string, CClassRecord> m_Records;  // map nodes do not move
  CClassManager m_Manager;
};

std::vector<DWORD> ListOf(const CClassRecord& record) {
  return std::vector<DWORD>(record.ancestors, record.ancestors + record.depth);
}

const RegistrationCase kCases[] = {
    {"root first, then a chain",
     {{"CTypedObject", ""}, {"A", "CTypedObject"}, {"B", "A"}},
     {{"CTypedObject", {0}}, {"A", {1, 0}}, {"B", {2, 1, 0}}}},
    {"subclass before its base, base before the root",
     {{"B", "A"}, {"A", "CTypedObject"}, {"CTypedObject", ""}},
     {{"CTypedObject", {0}}, {"A", {1, 0}}, {"B", {2, 1, 0}}}},
    {"two classes parked under one base complete in reverse order",
     {{"First", "CTypedObject"}, {"Second", "CTypedObject"}, {"CTypedObject", ""}},
     {{"CTypedObject", {0}}, {"Second", {1, 0}}, {"First", {2, 0}}}},
    {"completion is depth first",
     {{"A", "CTypedObject"}, {"AChild", "A"}, {"C", "CTypedObject"}, {"CTypedObject", ""}},
     {{"CTypedObject", {0}}, {"C", {1, 0}}, {"A", {2, 0}}, {"AChild", {3, 2, 0}}}},
    {"a class whose base never registers stays parked",
     {{"CTypedObject", ""}, {"CAuxWindowSkin", "CVarSizeWindowSkin"}, {"CControlWindowSkin", "CVarSizeWindowSkin"},
      {"A", "CTypedObject"}},
     {{"CTypedObject", {0}}, {"A", {1, 0}}, {"CAuxWindowSkin", {}}, {"CControlWindowSkin", {}}}},
    {"base names compare case-sensitively",
     {{"CTypedObject", ""}, {"a", "A"}, {"A", "CTypedObject"}},
     {{"CTypedObject", {0}}, {"A", {1, 0}}, {"a", {2, 1, 0}}}},
    {"a name that differs in case is a base of its own",
     {{"CTypedObject", ""}, {"x", "ctypedobject"}},
     {{"CTypedObject", {0}}, {"x", {}}}},
};

TEST(ClassManager, RegistrationGivesIdsAndAncestorLists) {
  for (const RegistrationCase& c : kCases) {
    SCOPED_TRACE(c.behaviour);
    Registry registry(c.order);
    size_t completed = 0;
    for (const auto& [name, list] : c.expected) {
      SCOPED_TRACE(name);
      EXPECT_EQ(ListOf(registry[name]), list);
      EXPECT_EQ(registry[name].IsCompleted(), !list.empty());
      EXPECT_EQ(registry.Manager().FindClass(name.c_str()), list.empty() ? nullptr : &registry[name]);
      if (!list.empty()) ++completed;
    }
    EXPECT_EQ(registry.Manager().GetClassCount(), completed);
  }
}

// The type test answers from the lists alone: a derives from b exactly when
// both are completed and b's id is in a's list.
TEST(ClassManager, TypeTestAgreesWithAncestorLists) {
  for (const RegistrationCase& c : kCases) {
    SCOPED_TRACE(c.behaviour);
    Registry registry(c.order);
    for (auto& [nameA, a] : registry.Records()) {
      for (auto& [nameB, b] : registry.Records()) {
        const std::vector<DWORD> listA = ListOf(a);
        const bool expected = b.IsCompleted() && a.IsCompleted() &&
                              std::find(listA.begin(), listA.end(), b.ancestors[0]) != listA.end();
        EXPECT_EQ(a.IsDerivedFrom(&b), expected) << nameA << " from " << nameB;
      }
    }
  }
}

TEST(ClassManager, TypeTestAgainstTheRoot) {
  Registry registry({{"CTypedObject", ""}, {"A", "CTypedObject"}, {"B", "A"}, {"P", "Missing"}});
  for (const char* name : {"CTypedObject", "A", "B"}) {
    EXPECT_TRUE(registry[name].IsDerivedFrom(&registry["CTypedObject"])) << name;
    EXPECT_TRUE(registry[name].IsDerivedFrom(&registry[name])) << name;
  }
  EXPECT_FALSE(registry["CTypedObject"].IsDerivedFrom(&registry["A"]));
  EXPECT_FALSE(registry["A"].IsDerivedFrom(&registry["B"]));
  EXPECT_FALSE(registry["P"].IsDerivedFrom(&registry["P"]));
  EXPECT_FALSE(registry["P"].IsDerivedFrom(&registry["CTypedObject"]));
  EXPECT_FALSE(registry["CTypedObject"].IsDerivedFrom(&registry["P"]));
  EXPECT_FALSE(registry["A"].IsDerivedFrom(nullptr));
}

TEST(ClassManager, DestroyedManagerLeavesRecordsUnrelated) {
  CClassRecord root{nullptr, 0, "CTypedObject", nullptr, nullptr, 8};
  CClassRecord a{nullptr, 0, "A", nullptr, nullptr, 8};
  {
    CClassManager manager;
    manager.RegisterClass(&root, nullptr);
    manager.RegisterClass(&a, "CTypedObject");
    ASSERT_TRUE(a.IsDerivedFrom(&root));
  }
  EXPECT_EQ(a.ancestors, nullptr);
  EXPECT_FALSE(a.IsDerivedFrom(&root));
}

TWLTEST_CHILD(RegisterWithDestroyedManager) {
  alignas(CClassManager) static unsigned char storage[sizeof(CClassManager)];
  auto* manager = new (storage) CClassManager;
  manager->~CClassManager();
  static CClassRecord record{nullptr, 0, "Late", nullptr, nullptr, 8};
  manager->RegisterClass(&record, "");
  return 0;  // not reached: registration ends the process
}

TEST(ClassManager, UseAfterDestructionEndsTheProcessWithCode1) {
  const int status = twltest::WaitChild(twltest::SpawnChild("RegisterWithDestroyedManager"));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
