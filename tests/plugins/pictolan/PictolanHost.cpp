#include "PictolanHost.h"

#include <chrono>
#include <cstdio>
#include <utility>

#include "pluginhost/hostapi/HostApi.h"

namespace pictolantest {
namespace {

std::string Shown(const char* text) { return text ? text : "(null)"; }

int32_t RecordAddIcon(HICON icon) {
  Recording().calls.push_back(std::string("add icon ") + (icon ? "given" : "none"));
  return Recording().iconIndex;
}

BOOL RecordSetFileInfo(const char* path, const char* type, DWORD typePriority, int32_t icon, DWORD iconPriority,
                       int32_t third, DWORD thirdPriority, PLUGIN_HANDLE caller) {
  char line[512];
  std::snprintf(line, sizeof line, "file info %s|%s|%u|%d|%u|%d|%u|%p", Shown(path).c_str(), Shown(type).c_str(),
                typePriority, icon, iconPriority, third, thirdPriority, caller);
  Recording().calls.push_back(line);
  return FALSE;  // the answer must not matter
}

BOOL RecordAddFileFilterPattern(HOST_FILEFILTERLIST list, const char* text, FILEFILTER_DESCRIPTION description,
                                PLUGIN_HANDLE caller) {
  PictolanRecord& record = Recording();
  ++record.patternCalls;
  char line[512];
  std::snprintf(line, sizeof line, "filter %p|%s|%p", static_cast<void*>(list), Shown(text).c_str(), caller);
  record.calls.push_back(line);
  record.calls.push_back("description " + std::to_string(description));
  if (record.refusePatternsFrom && record.patternCalls >= record.refusePatternsFrom) {
    GetHostApiTable()->HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  return TRUE;
}

char* CountedAllocString(const char* text) {
  PictolanRecord& record = Recording();
  ++record.allocations;
  if (record.refuseFrom && record.allocations >= record.refuseFrom) {
    GetHostApiTable()->HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
    return nullptr;
  }
  char* copy = GetHostApiTable()->HOST_AllocString(text);
  if (copy) record.live.insert(copy);
  return copy;
}

void CountedFree(void* block) {
  if (!block) return;
  PictolanRecord& record = Recording();
  if (record.live.erase(block) == 0) {
    ++record.strayFrees;
    return;  // never handed to the real heap twice
  }
  GetHostApiTable()->HOST_Free(block);
}

// The path is the real host's copy; counted like the strings above, so
// that its free reaches the real heap.
BOOL CountedStreamGetPath(HOST_STREAM stream, char** path) {
  const BOOL got = GetHostApiTable()->HOST_StreamGetPath(stream, path);
  if (got && path && *path) Recording().live.insert(*path);
  return got;
}

constexpr const char* kPluginDataKey = "Software\\Velbrook\\Velbrook Tunewell\\PluginData\\Pictolan";

BOOL OpenPluginDataKey(REGSAM access, HKEY* key, PLUGIN_HANDLE) {
  *key = nullptr;
  return RegOpenKeyExA(HKEY_CURRENT_USER, kPluginDataKey, 0, access, key) == ERROR_SUCCESS;
}

BOOL RecordAddFileExtension(HOST_FILEEXTENSIONLIST, const char* extension, const char* description, DWORD fileType,
                            PLUGIN_HANDLE) {
  Recording().calls.push_back("extension " + Shown(extension) + "|" + Shown(description) + "|" +
                              std::to_string(fileType));
  return TRUE;
}

void RecordWillPlay(PLUGIN_HANDLE) { Reports().Add("will play @" + std::to_string(timeGetTime())); }

void RecordFinished(DWORD result, PLUGIN_HANDLE) {
  // The reason matters only when the file could not play.
  const std::string reason =
      result == HOST_PLAYBACK_FINISHED ? "" : " misc " + std::to_string(GetHostApiTable()->HOST_GetMiscErrorCode());
  Reports().Add("finished " + std::to_string(result) + reason + " @" + std::to_string(timeGetTime()));
}

}  // namespace

void PlayerReports::Add(std::string report) {
  std::lock_guard<std::mutex> lock(mutex_);
  reports_.push_back(std::move(report));
  arrived_.notify_all();
}

bool PlayerReports::WaitFor(size_t count) {
  std::unique_lock<std::mutex> lock(mutex_);
  return arrived_.wait_for(lock, std::chrono::minutes(1), [&] { return reports_.size() >= count; });
}

std::vector<std::string> PlayerReports::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(reports_, {});
}

size_t PlayerReports::Count() {
  std::lock_guard<std::mutex> lock(mutex_);
  return reports_.size();
}

void StoreDisplayTime(const void* bytes, DWORD size, DWORD type) {
  if (!bytes) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kPluginDataKey);
    return;
  }
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPluginDataKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, "DisplayTime", 0, type, static_cast<const BYTE*>(bytes), size), ERROR_SUCCESS);
  RegCloseKey(key);
}

PlayerReports& Reports() {
  static PlayerReports reports;
  return reports;
}

PictolanRecord& Recording() {
  static PictolanRecord record;
  return record;
}

PictolanModule::PictolanModule(const char* path) {
  table_ = *GetHostApiTable();
  table_.HOST_AddIcon = &RecordAddIcon;
  table_.HOST_SetFileInfo = &RecordSetFileInfo;
  table_.HOST_AddFileFilterPattern = &RecordAddFileFilterPattern;
  table_.HOST_AllocString = &CountedAllocString;
  table_.HOST_Free = &CountedFree;
  table_.HOST_AddFileExtension = &RecordAddFileExtension;
  table_.HOST_StreamGetPath = &CountedStreamGetPath;
  table_.reserved237_239[238 - 237] =
      reinterpret_cast<HOST_ReservedSlot>(reinterpret_cast<void (*)()>(&OpenPluginDataKey));
  table_.HOST_PlayerWillPlay = &RecordWillPlay;
  table_.HOST_PlayerFinished = &RecordFinished;
  module_ = LoadLibraryA(path);
  EXPECT_NE(module_, nullptr) << path;
  if (!module_) return;
  auto get = reinterpret_cast<PLUGIN_GetMainInterfaceFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(module_, PLUGIN_MAIN_INTERFACE_EXPORT)));
  EXPECT_NE(get, nullptr);
  main_ = get ? get() : nullptr;
}

PictolanModule::~PictolanModule() {
  if (main_) main_->PLUGIN_Exit();
  if (module_) FreeLibrary(module_);
}

std::string TakeHostText(const HostApiTable& table, char* text) {
  std::string copy = text ? text : "(null)";
  table.HOST_Free(text);
  return copy;
}

}  // namespace pictolantest
