// Host API slots of the disk file creators. A creator handed to a plug-in
// is the host's; the slots accept only creators they handed out and that
// are not released yet. A creator released while another thread's slot
// still runs in it goes when that slot returns.
#include <memory>
#include <new>

#include "playback/diskfile/DiskFileCreator.h"
#include "pluginhost/diskfile/ThreadDiskFileCreator.h"
#include "pluginhost/handles/HandedOutObjects.h"
#include "pluginhost/hostapi/HostApiModule.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {
namespace {

using FileCreators = HandedOutObjects<CDiskFileCreator, HOST_FILECREATOR>;

// Its slot only reads the name: nothing to wake.
FileCreators& Creators() {
  static auto* creators = new FileCreators([](CDiskFileCreator* creator) noexcept {
    creator->CleanUp();
    delete creator;
  });
  return *creators;
}

}  // namespace

// The second of the two words is not read; the first is the abort event.
BOOL HOST_CreateInstantFileCreator(char** fileName, const char* url, const char* prefix, const char* suffix,
                                   HANDLE abortEvent, uintptr_t, DWORD flags, PLUGIN_HANDLE caller,
                                   HOST_FILECREATOR* creator) {
  if (!url || !caller || !creator) return FailInvalidParameter();
  std::unique_ptr<CInstantDiskFileCreator> made(new (std::nothrow) CInstantDiskFileCreator);
  if (!made) return FailWithMiscError(MISC_ERROR_OUT_OF_MEMORY);
  if (!made->Create(url, prefix, suffix, flags, abortEvent, caller)) return FALSE;
  if (fileName && !made->GetFileName(fileName)) return FALSE;
  *creator = Creators().Add(made.release());
  return TRUE;
}

BOOL HOST_CreateThreadFileCreator(const char* url, const char* prefix, const char* suffix,
                                  HOST_FileCreatorCallback callback, uintptr_t userValue, DWORD flags,
                                  PLUGIN_HANDLE caller, HOST_FILECREATOR* creator) {
  if (!url || !caller || !callback || !creator) return FailInvalidParameter();
  std::unique_ptr<CThreadDiskFileCreator> made(new (std::nothrow) CThreadDiskFileCreator);
  if (!made) return FailWithMiscError(MISC_ERROR_OUT_OF_MEMORY);
  // Handed out before the worker starts, so that its callback finds it.
  *creator = Creators().Add(made.get());
  if (!made->Create(url, prefix, suffix, callback, userValue, flags, caller, &GetDiskFileCallbackManager())) {
    made.release();
    Creators().Retire(*creator);
    *creator = nullptr;
    return FALSE;
  }
  made.release();
  return TRUE;
}

BOOL HOST_FileCreatorGetFileName(HOST_FILECREATOR handle, char** fileName) {
  FileCreators::Pin creator = Creators().Find(handle);
  if (!creator || !fileName) return FailInvalidParameter();
  return creator->GetFileName(fileName);
}

void HOST_FileCreatorRelease(HOST_FILECREATOR handle) { Creators().Retire(handle); }

}  // namespace hostapi
