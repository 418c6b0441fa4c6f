#include <gtest/gtest.h>

#include <type_traits>

#include "foundation/kernel/ClassManager.h"
#include "foundation/kernel/Error.h"
#include "pluginhost/objects/ConfigurableObject.h"

namespace {

// A built-in object as the program makes them: itself as handle, no image,
// no dialogs.
class CTestFilter : public CConfigurableObject {
  TWL_DECLARE_CLASS(CTestFilter)
 public:
  void* GetHandle() override { return this; }
  const char* GetName() override { return "Test filter"; }
  const char* GetDescription() override { return "Filters nothing"; }
  int GetImageIndex() override { return -1; }
  bool HasConfigure() override { return false; }
  bool Configure(HWND) override { return true; }
  bool HasInfo() override { return false; }
  bool ShowInfo(HWND) override { return true; }
};

}  // namespace

TWL_IMPLEMENT_CLASS(CTestFilter, CConfigurableObject)

namespace {

TEST(ConfigurableObject, IsRegisteredDirectlyOnTheRootClass) {
  const CClassRecord* record = GetClassManager().FindClass("CConfigurableObject");
  ASSERT_EQ(record, &CConfigurableObject::ClassRecord);
  ASSERT_TRUE(record->IsCompleted());
  EXPECT_EQ(record->depth, 2u);
  EXPECT_TRUE(record->IsDerivedFrom(&CTypedObject::ClassRecord));
  // Abstract: the record cannot make objects of the class.
  EXPECT_EQ(record->create, nullptr);
  EXPECT_TRUE(std::is_abstract_v<CConfigurableObject>);
}

TEST(ConfigurableObject, DerivedObjectsAnswerThroughTheBaseAndPassTheTypeTest) {
  CTestFilter filter;
  CConfigurableObject& object = filter;
  EXPECT_TRUE(IsKindOf<CConfigurableObject>(&filter));
  EXPECT_FALSE(IsKindOf<CError>(&filter));
  EXPECT_EQ(object.GetHandle(), &filter);
  EXPECT_STREQ(object.GetName(), "Test filter");
  EXPECT_LT(object.GetImageIndex(), 0);
  EXPECT_FALSE(object.HasConfigure());
  EXPECT_TRUE(object.Configure(nullptr));
}

}  // namespace
