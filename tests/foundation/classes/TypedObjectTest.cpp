#include <gtest/gtest.h>

#include <memory>

#include "foundation/kernel/ClassManager.h"
#include "foundation/kernel/DirectDrawError.h"
#include "foundation/kernel/DynamicObject.h"
#include "foundation/kernel/MemoryError.h"

// Classes of this test program register from its own static initialisers,
// before or after the library's: they must complete either way.
class CTestShape : public CDynamicObject {
  TWL_DECLARE_CLASS(CTestShape)
};
class CTestCircle : public CTestShape {
  TWL_DECLARE_CLASS(CTestCircle)
 public:
  static int destroyed;
  ~CTestCircle() override { ++destroyed; }
};
int CTestCircle::destroyed = 0;

TWL_IMPLEMENT_CREATABLE_CLASS(CTestCircle, CTestShape)
TWL_IMPLEMENT_CREATABLE_CLASS(CTestShape, CDynamicObject)

namespace {

TEST(TypedObject, ClassesOfLibraryAndProgramAreCompletedBeforeMain) {
  for (const CClassRecord* record : {&CTypedObject::ClassRecord, &CDynamicObject::ClassRecord, &CError::ClassRecord,
                                     &CMemoryError::ClassRecord, &CDirectDrawError::ClassRecord,
                                     &CTestShape::ClassRecord, &CTestCircle::ClassRecord}) {
    EXPECT_TRUE(record->IsCompleted()) << record->className;
    EXPECT_EQ(GetClassManager().FindClass(record->className), record) << record->className;
  }
  EXPECT_EQ(CTypedObject::ClassRecord.depth, 1u);
  EXPECT_EQ(CTestCircle::ClassRecord.depth, 4u);
}

TEST(TypedObject, TypeTestFollowsTheClassTree) {
  CTestCircle circle;
  CMemoryError memory;
  EXPECT_TRUE(IsKindOf<CTestCircle>(&circle));
  EXPECT_TRUE(IsKindOf<CTestShape>(&circle));
  EXPECT_TRUE(IsKindOf<CDynamicObject>(&circle));
  EXPECT_TRUE(IsKindOf<CTypedObject>(&circle));
  EXPECT_FALSE(IsKindOf<CError>(&circle));
  EXPECT_TRUE(IsKindOf<CError>(&memory));
  EXPECT_FALSE(IsKindOf<CDirectDrawError>(&memory));
  EXPECT_FALSE(IsKindOf<CTestShape>(nullptr));
  CTypedObject root;
  EXPECT_FALSE(IsKindOf<CError>(&root));
}

TEST(TypedObject, RecordCallbacksMakeObjectsOfTheClass) {
  std::unique_ptr<CTypedObject> made(CTestCircle::ClassRecord.create());
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetClassRecord(), &CTestCircle::ClassRecord);

  alignas(CTestCircle) unsigned char storage[sizeof(CTestCircle)];
  CTestCircle::ClassRecord.constructInPlace(storage);
  auto* inPlace = std::launder(reinterpret_cast<CTestCircle*>(storage));
  EXPECT_EQ(inPlace->GetReferenceCount(), 1);
  inPlace->~CTestCircle();
  CTestCircle::ClassRecord.constructInPlace(nullptr);  // does nothing

  EXPECT_EQ(CDirectDrawError::ClassRecord.create, nullptr);
  EXPECT_EQ(CDirectDrawError::ClassRecord.constructInPlace, nullptr);
  EXPECT_EQ(CTestCircle::ClassRecord.objectSize, sizeof(CTestCircle));
}

TEST(DynamicObject, ReleaseOfTheLastReferenceDeletesTheObject) {
  CTestCircle::destroyed = 0;
  auto* circle = new CTestCircle;
  EXPECT_EQ(circle->AddRef(), 2);
  EXPECT_EQ(circle->Release(), 1);
  EXPECT_EQ(CTestCircle::destroyed, 0);
  EXPECT_EQ(circle->Release(), 0);
  EXPECT_EQ(CTestCircle::destroyed, 1);
}

TEST(DynamicObject, AssigningAReferenceMovesOneCount) {
  CTestCircle::destroyed = 0;
  auto* first = new CTestCircle;
  auto* second = new CTestCircle;
  CTestShape* member = nullptr;

  AssignReference<CTestShape>(member, first);
  EXPECT_EQ(first->GetReferenceCount(), 2);
  AssignReference<CTestShape>(member, first);  // the same object again
  EXPECT_EQ(first->GetReferenceCount(), 2);
  AssignReference<CTestShape>(member, second);
  EXPECT_EQ(first->GetReferenceCount(), 1);
  EXPECT_EQ(second->GetReferenceCount(), 2);

  first->Release();
  second->Release();
  EXPECT_EQ(CTestCircle::destroyed, 1);  // the member still holds the second
  AssignReference<CTestShape>(member, nullptr);
  EXPECT_EQ(CTestCircle::destroyed, 2);
  EXPECT_EQ(member, nullptr);
}

}  // namespace
