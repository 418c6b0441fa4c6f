// A log front for twltool's subcommands: each entry goes to stdout as it
// is written, without a category mark.
#pragma once

#include <cstdarg>
#include <cstdio>

#include "foundation/appcore/LogFront.h"

namespace twltool {

class StdoutLogFront : public CLogFront {
 public:
  StdoutLogFront() { SetLogFront(this); }
  ~StdoutLogFront() override { SetLogFront(nullptr); }
  StdoutLogFront(const StdoutLogFront&) = delete;
  StdoutLogFront& operator=(const StdoutLogFront&) = delete;

  void LogFormatV(DWORD, const char* format, va_list args) override {
    std::vfprintf(stdout, format, args);
    std::fflush(stdout);
  }
};

}  // namespace twltool
