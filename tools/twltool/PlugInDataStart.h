// The data system's start with a folder's plug-ins, as the player runs it,
// for the twltool commands that open URLs through plug-ins: the folder is
// the host's plug-ins folder, its plug-ins are loaded, the stored
// connection time-out is read and the plug-ins' stream providers join the
// file system; the proxy start-up follows when the command asks for it.
// The end is the player's order: the providers exit, then the plug-ins
// unload.
//
// Threading: the thread that runs the command.
#pragma once

#include <string>

#include "playback/data/DataSystem.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/plugins/PlugInLoader.h"

namespace twltool {

// Answers slot 60's plug-ins folder with the folder given.
class PlugInsFolderEnvironment : public CHostEnvironment {
 public:
  explicit PlugInsFolderEnvironment(const std::string& folder);
  ~PlugInsFolderEnvironment() override;
  PlugInsFolderEnvironment(const PlugInsFolderEnvironment&) = delete;
  PlugInsFolderEnvironment& operator=(const PlugInsFolderEnvironment&) = delete;
  CStr GetPlugInsFolder() override { return m_Folder; }

 private:
  CStr m_Folder;
};

class PlugInDataStart {
 public:
  // An empty folder loads nothing and leaves the data system alone.
  explicit PlugInDataStart(const std::string& folder);
  ~PlugInDataStart();
  PlugInDataStart(const PlugInDataStart&) = delete;
  PlugInDataStart& operator=(const PlugInDataStart&) = delete;

  // The proxy start-up as the player runs it; a stored setting that cannot
  // be read is logged and leaves the registrations.
  void StartProxies();

 private:
  bool m_Started = false;
  PlugInsFolderEnvironment m_Environment;
  CPlugInLoader m_Loader;
};

}  // namespace twltool
