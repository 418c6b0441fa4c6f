// A log front for tests of code that logs: it keeps every entry (category
// and formatted text) and installs itself for its lifetime. Entries may
// come from any thread.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/appcore/LogFront.h"

namespace twltest {

class RecordingLogFront : public CLogFront {
 public:
  struct Entry {
    DWORD category;
    std::string text;
  };

  RecordingLogFront() { SetLogFront(this); }
  ~RecordingLogFront() override { SetLogFront(nullptr); }
  RecordingLogFront(const RecordingLogFront&) = delete;
  RecordingLogFront& operator=(const RecordingLogFront&) = delete;

  void LogFormatV(DWORD category, const char* format, va_list args) override {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    std::lock_guard guard(m_Lock);
    m_Entries.push_back({category, std::move(text)});
  }

  std::vector<Entry> Entries() const {
    std::lock_guard guard(m_Lock);
    return m_Entries;
  }
  // Every entry's text, in order, as one text.
  std::string Text() const {
    std::lock_guard guard(m_Lock);
    std::string all;
    for (const auto& entry : m_Entries) all += entry.text;
    return all;
  }
  void Clear() {
    std::lock_guard guard(m_Lock);
    m_Entries.clear();
  }

 private:
  mutable std::mutex m_Lock;
  std::vector<Entry> m_Entries;
};

}  // namespace twltest
