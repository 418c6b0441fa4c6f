#include "ScriptedIdentifier.h"

#include <algorithm>
#include <chrono>

namespace identifiertest {

bool ScriptedIdentifier::Identify(const char* url) {
  {
    std::unique_lock lock(m_Lock);
    m_Calls.push_back(url);
    if (!m_HoldUrl.empty() && m_HoldUrl == url) {
      m_Holding = true;
      m_Changed.notify_all();
      m_Changed.wait(lock, [this] { return m_HoldUrl.empty(); });
      m_Holding = false;
    }
  }
  m_Files.UpdateFileInfo(url, Name().c_str(), m_TextPriority, 3, m_IconPriority, -1, 0);
  return true;
}

void ScriptedIdentifier::HoldAt(const std::string& url) {
  std::lock_guard lock(m_Lock);
  m_HoldUrl = url;
}

bool ScriptedIdentifier::WaitUntilHeld() {
  std::unique_lock lock(m_Lock);
  return m_Changed.wait_for(lock, std::chrono::minutes(2), [this] { return m_Holding; });
}

void ScriptedIdentifier::Release() {
  std::lock_guard lock(m_Lock);
  m_HoldUrl.clear();
  m_Changed.notify_all();
}

int ScriptedIdentifier::CallsFor(const std::string& url) {
  std::lock_guard lock(m_Lock);
  return static_cast<int>(std::count(m_Calls.begin(), m_Calls.end(), url));
}

}  // namespace identifiertest
