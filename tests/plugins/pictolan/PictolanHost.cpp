#include "PictolanHost.h"

#include <cstdio>

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

}  // namespace

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
