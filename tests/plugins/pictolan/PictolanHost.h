// Pictolan loaded into a test process with a host table that records what
// it reports: the real host's table with the icon, file information and
// filter slots recording, and string allocation counted (and, when asked,
// refused from a given call on).
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "pluginhost/abi/PlugInAbi.h"

namespace pictolantest {

struct PictolanRecord {
  std::vector<std::string> calls;  // "add icon given", "file info PATH|...", "filter TEXT|..."
  int allocations = 0;             // HOST_AllocString calls so far
  int refuseFrom = 0;              // 1-based call from which allocation fails; 0 never
  std::set<void*> live;            // strings handed out and not yet freed
  int strayFrees = 0;              // frees of what was not handed out (or twice)
  int32_t iconIndex = 7;
  int refusePatternsFrom = 0;      // HOST_AddFileFilterPattern fails from this call; 0 never
  int patternCalls = 0;
};
PictolanRecord& Recording();

// What the player reports, from any thread: "will play @CLOCK",
// "finished RESULT @CLOCK", with " misc CODE" after
// the result when it is not 0 (the clock is timeGetTime's).
class PlayerReports {
 public:
  void Add(std::string report);
  // Waits until at least `count` reports are in; false after a minute.
  bool WaitFor(size_t count);
  std::vector<std::string> Take();
  size_t Count();

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::string> reports_;
};
PlayerReports& Reports();

// The plug-in data key the test host gives Pictolan (slot 238):
// "DisplayTime" stored with these bytes and type; null removes the key.
void StoreDisplayTime(const void* bytes, DWORD size, DWORD type);

class PictolanModule {
 public:
  // Loads the module; PLUGIN_Init is left to the test.
  explicit PictolanModule(const char* path = TWL_PICTOLAN_PATH);
  ~PictolanModule();

  const PlugInMainInterface* Main() const { return main_; }
  const HostApiTable* Table() const { return &table_; }
  bool Init() { return main_ && main_->PLUGIN_Init(&table_, module_) != FALSE; }
  // The object's table and context, or null.
  template <class Table>
  const Table* Object(DWORD kind, PLUGIN_CONTEXT* context, DWORD index = 0) const {
    const void* table = nullptr;
    if (!main_ || !main_->PLUGIN_EnumObjects(kind, index, &table, context)) return nullptr;
    return static_cast<const Table*>(table);
  }

 private:
  HMODULE module_ = nullptr;
  const PlugInMainInterface* main_ = nullptr;
  HostApiTable table_{};
};

// A host string's text, freed through the recording table.
std::string TakeHostText(const HostApiTable& table, char* text);

}  // namespace pictolantest
