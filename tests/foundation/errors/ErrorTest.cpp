#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "CountingNew.h"
#include "foundation/kernel/DirectDrawError.h"
#include "foundation/kernel/DirectSoundError.h"
#include "foundation/kernel/Localizer.h"
#include "foundation/kernel/MemoryError.h"

// Huge allocations must come back null here, as they do without a
// sanitizer, so that the out-of-memory path can be shown.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
extern "C" const char* __tsan_default_options() { return "allocator_may_return_null=1"; }

namespace {

// An error too large to allocate.
class CHugeError : public CError {
 public:
  CHugeError() : CError("never", "built") {}
  char payload[size_t(1) << 45];
};

TEST(Error, HeapFlagIsSetOnlyForErrorsMadeByTheErrorAllocator) {
  CError* thrown = new CError("Caption", "Text");
  EXPECT_TRUE(thrown->IsHeapObject());
  CError local("Caption", "Text");
  EXPECT_FALSE(local.IsHeapObject());
  static CError staticError("Caption", "Text");
  EXPECT_FALSE(staticError.IsHeapObject());
  CError* clone = local.Clone();
  EXPECT_TRUE(clone->IsHeapObject());
  DisposeError(clone);
  DisposeError(thrown);
  DisposeError(&local);  // not a heap object: left alone
  EXPECT_EQ(local.GetText(), "Text");
}

TEST(Error, AllocationOnOneThreadDoesNotMarkErrorsOfAnother) {
  void* memory = CError::operator new(sizeof(CError));
  ASSERT_NE(memory, nullptr);
  bool otherThreadsFlag = true;
  std::thread other([&] {
    CError error("Caption", "Text");
    otherThreadsFlag = error.IsHeapObject();
  });
  other.join();
  EXPECT_FALSE(otherThreadsFlag);
  CError* error = ::new (memory) CError("Caption", "Text");
  EXPECT_TRUE(error->IsHeapObject());
  DisposeError(error);
}

TEST(Error, ConstructorThatThrowsLeavesNoMarkBehind) {
  auto failingCaption = []() -> CStr { throw 42; };
  EXPECT_THROW((void)new CError(failingCaption(), "Text"), int);
  CError next("Caption", "Text");
  EXPECT_FALSE(next.IsHeapObject());
}

TEST(Error, BuildingAnErrorKeepsTheLastWin32Error) {
  SetLastError(ERROR_SHARING_VIOLATION);
  CError* heap = new CMemoryError;
  CError local("Caption", "Text");
  CDirectSoundError sound("Caption", "Text", 0x88780078);
  CError* clone = sound.Clone();
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  DisposeError(clone);
  DisposeError(heap);
}

TEST(Error, OutOfMemoryErrorIsThrownWithoutAllocatingAndSurvivesItsCatcher) {
  for (int round = 0; round < 2; ++round) {
    NewCounter counter;
    try {
      ThrowMemoryError();
    } catch (CError* error) {
      EXPECT_EQ(error, &GetOutOfMemoryError());
      EXPECT_TRUE(IsKindOf<CMemoryError>(error));
      EXPECT_FALSE(error->IsHeapObject());
      EXPECT_EQ(error->GetCaption(), "Memory error");
      EXPECT_EQ(error->GetText(), "Not enough memory.");
      DisposeError(error);
    }
    EXPECT_EQ(counter.Allocations(), 0);
  }
}

TEST(Error, ThrowerWithoutMemoryThrowsTheOutOfMemoryError) {
  try {
    ThrowError<CHugeError>();
  } catch (CMemoryError* error) {
    EXPECT_EQ(error, &GetOutOfMemoryError());
  }
  CError next("Caption", "Text");
  EXPECT_FALSE(next.IsHeapObject());  // the failed allocation left no mark
}

TEST(Error, ThrownErrorIsCaughtAsItsClassAndAsCError) {
  try {
    ThrowError<CDirectDrawError>("DirectDraw error", "Surface lost.", 0x887601C2u);
  } catch (CError* error) {
    ASSERT_TRUE(IsKindOf<CDirectDrawError>(error));
    EXPECT_EQ(static_cast<CDirectDrawError*>(error)->GetCode(), 0x887601C2u);
    EXPECT_EQ(error->GetCaption(), "DirectDraw error");
    EXPECT_TRUE(error->IsHeapObject());
    DisposeError(error);
  }
}

TEST(Error, CloneKeepsTheClassOnlyWhereTheClassClonesItself) {
  CMemoryError memory("Memory error", "Not enough memory.");
  CError* memoryCopy = memory.Clone();
  EXPECT_EQ(memoryCopy->GetClassRecord(), &CMemoryError::ClassRecord);
  EXPECT_EQ(memoryCopy->GetCaption(), memory.GetCaption());
  EXPECT_EQ(memoryCopy->GetText(), memory.GetText());
  EXPECT_TRUE(memoryCopy->IsHeapObject());
  DisposeError(memoryCopy);

  for (CError* error : {static_cast<CError*>(new CDirectDrawError("A", "B", 1)),
                        static_cast<CError*>(new CDirectSoundError("A", "B", 2))}) {
    CError* copy = error->Clone();
    EXPECT_EQ(copy->GetClassRecord(), &CError::ClassRecord);
    EXPECT_EQ(copy->GetCaption(), "A");
    EXPECT_EQ(copy->GetText(), "B");
    DisposeError(copy);
    DisposeError(error);
  }
}

TEST(Error, MemoryErrorTextsComeFromTheLocalizer) {
  GetLocalizer().AddString("CMemoryError.Text", "Kein Speicher.");
  CMemoryError error;
  EXPECT_EQ(error.GetCaption(), "Memory error");
  EXPECT_EQ(error.GetText(), "Kein Speicher.");
}

TEST(Error, RegisteredUnderCError) {
  for (const CClassRecord* record :
       {&CMemoryError::ClassRecord, &CDirectDrawError::ClassRecord, &CDirectSoundError::ClassRecord}) {
    EXPECT_TRUE(record->IsDerivedFrom(&CError::ClassRecord)) << record->className;
    EXPECT_EQ(record->depth, 3u) << record->className;
  }
  std::unique_ptr<CTypedObject> made(CError::ClassRecord.create());
  ASSERT_TRUE(IsKindOf<CError>(made.get()));
  EXPECT_TRUE(static_cast<CError*>(made.get())->IsHeapObject());
}

}  // namespace
