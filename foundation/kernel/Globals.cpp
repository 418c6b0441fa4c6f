#include "foundation/kernel/Globals.h"

#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/ClassManager.h"
#include "foundation/kernel/LibraryTls.h"
#include "foundation/kernel/Localizer.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Threads.h"

namespace {

struct ThreadModuleStart {
  ThreadModuleStart() {
    InitThreadModule();
    InitLibraryTlsSlots();
  }
};

}  // namespace

// Members are built in this order and destroyed in the reverse one.
struct FoundationGlobals {
  CStringLocalizer localizer;
  ThreadModuleStart threadModule;
  CClassManager classManager;
  CMemoryError outOfMemory{localizer.GetString(CMemoryError::kCaptionKey, CMemoryError::kCaptionDefault),
                           localizer.GetString(CMemoryError::kTextKey, CMemoryError::kTextDefault)};
  // Built with the disk provider; every read of a file by URL goes through it.
  CFileSystem fileSystem;

  ~FoundationGlobals() { ShutdownThreadModule(); }
};

FoundationGlobals& GetFoundationGlobals() {
  static FoundationGlobals globals;
  return globals;
}

CStringLocalizer& GetLocalizer() { return GetFoundationGlobals().localizer; }
CClassManager& GetClassManager() { return GetFoundationGlobals().classManager; }
CMemoryError& GetOutOfMemoryError() { return GetFoundationGlobals().outOfMemory; }
CFileSystem& GetFileSystem() { return GetFoundationGlobals().fileSystem; }
