#include "foundation/appcore/ThreadErrorLog.h"

#include "foundation/appcore/LogFront.h"
#include "foundation/log/Log.h"

namespace {

// A sink that hands every entry to the log front under one category, so
// that CLog's formatting serves the front's sinks.
class CLogFrontSink : public CLog {
 public:
  explicit CLogFrontSink(DWORD category) : m_Category(category) {}
  void Write(const char* text, DWORD /*severity*/) override { LogFormat(m_Category, "%s", text ? text : ""); }

 private:
  DWORD m_Category;
};

}  // namespace

void LogThreadError(DWORD category, const char* leadingText) {
  CLogFrontSink sink(category);
  sink.WriteThreadError(leadingText, GetLogSeverity(category));
}
