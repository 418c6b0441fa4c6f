// A log front for twltool's subcommands: each entry goes to stdout (or the
// stream given) as it is written, without a category mark.
#pragma once

#include <cstdarg>
#include <cstdio>

#include "foundation/appcore/LogFront.h"

namespace twltool {

class StdoutLogFront : public CLogFront {
 public:
  explicit StdoutLogFront(FILE* to = stdout) : m_To(to) { SetLogFront(this); }
  ~StdoutLogFront() override { SetLogFront(nullptr); }
  StdoutLogFront(const StdoutLogFront&) = delete;
  StdoutLogFront& operator=(const StdoutLogFront&) = delete;

  void LogFormatV(DWORD, const char* format, va_list args) override {
    std::vfprintf(m_To, format, args);
    std::fflush(m_To);
  }

 private:
  FILE* m_To;
};

}  // namespace twltool
