// Host API slots of the disk file creators. A creator handed to a plug-in
// is the host's; the slots accept only creators they handed out and that
// are not released yet.
#include <memory>
#include <mutex>
#include <new>
#include <unordered_set>

#include "playback/diskfile/DiskFileCreator.h"
#include "pluginhost/diskfile/ThreadDiskFileCreator.h"
#include "pluginhost/hostapi/HostApiModule.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {
namespace {

class LiveCreators {
 public:
  HOST_FILECREATOR Add(CDiskFileCreator* creator) {
    std::lock_guard guard(m_Lock);
    m_Creators.insert(creator);
    return reinterpret_cast<HOST_FILECREATOR>(creator);
  }
  CDiskFileCreator* Find(HOST_FILECREATOR handle) {
    std::lock_guard guard(m_Lock);
    auto found = m_Creators.find(reinterpret_cast<CDiskFileCreator*>(handle));
    return found == m_Creators.end() ? nullptr : *found;
  }
  CDiskFileCreator* Take(HOST_FILECREATOR handle) {
    std::lock_guard guard(m_Lock);
    auto found = m_Creators.find(reinterpret_cast<CDiskFileCreator*>(handle));
    if (found == m_Creators.end()) return nullptr;
    CDiskFileCreator* creator = *found;
    m_Creators.erase(found);
    return creator;
  }

 private:
  std::mutex m_Lock;
  std::unordered_set<CDiskFileCreator*> m_Creators;
};

LiveCreators& Creators() {
  static LiveCreators creators;
  return creators;
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
    Creators().Take(*creator);
    *creator = nullptr;
    return FALSE;
  }
  made.release();
  return TRUE;
}

BOOL HOST_FileCreatorGetFileName(HOST_FILECREATOR handle, char** fileName) {
  CDiskFileCreator* creator = Creators().Find(handle);
  if (!creator || !fileName) return FailInvalidParameter();
  return creator->GetFileName(fileName);
}

void HOST_FileCreatorRelease(HOST_FILECREATOR handle) {
  CDiskFileCreator* creator = Creators().Take(handle);
  if (!creator) return;
  creator->CleanUp();
  delete creator;
}

}  // namespace hostapi
