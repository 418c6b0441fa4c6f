#include "kilnar/recorder/CwProgressStream.h"

CwProgressStream::CwProgressStream(const char* name, uint32_t total, ProgressCallback callback)
    : CwStream(name, false), m_Total(total), m_Callback(callback) {}

bool CwProgressStream::Write(const void* data, uint32_t length) {
  m_Done += length;
  const bool done = CwStream::Write(data, length);
  Report();
  return done;
}

bool CwProgressStream::Read(void* buffer, uint32_t length) {
  m_Done += length;
  const bool done = CwStream::Read(buffer, length);
  Report();
  return done;
}

void CwProgressStream::Report() {
  if (m_Total == 0 || !m_Callback) return;
  const double percent = static_cast<double>(m_Done) / m_Total * 100.0;
  m_Callback(percent >= 100.0 ? 100u : static_cast<uint32_t>(percent));
}
