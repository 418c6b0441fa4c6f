// A file identifier for the identifier system's tests: it reports its own
// name as the type text with the priorities it is given, records every
// call, and can be held inside Identify for one URL until the test lets
// it go, so that a test acts while identification runs.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/identifiers/FileIdentifier.h"
#include "support/StubConfigurableObject.h"

namespace identifiertest {

class ScriptedIdentifier : public twltest::StubConfigurableObject<CFileIdentifier> {
 public:
  ScriptedIdentifier(std::string name, CFileInfoDataBase& files, int textPriority, int iconPriority)
      : StubConfigurableObject(std::move(name)), m_Files(files), m_TextPriority(textPriority),
        m_IconPriority(iconPriority) {}

  bool RestoreSurfaces() override { return true; }
  void BeginSkinChange() override {}
  void EndSkinChange() override {}
  bool Identify(const char* url) override;

  // Holds the next Identify of `url` until Release.
  void HoldAt(const std::string& url);
  // Waits until Identify holds (generously; false when it never did).
  bool WaitUntilHeld();
  void Release();
  // How often Identify was called for the URL.
  int CallsFor(const std::string& url);

 private:
  CFileInfoDataBase& m_Files;
  int m_TextPriority;
  int m_IconPriority;
  std::mutex m_Lock;
  std::condition_variable m_Changed;
  std::vector<std::string> m_Calls;
  std::string m_HoldUrl;
  bool m_Holding = false;
};

}  // namespace identifiertest
