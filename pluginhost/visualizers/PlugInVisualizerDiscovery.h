// The visualizer system's way to find visualizers: the visualizer objects
// of a plug-in (kind 3), found by the host's discovery procedure and
// wrapped as CPlugInVisualizer (interface version 1) or CPlugInVisualizer2
// (version 2). The program installs the one instance before the visualizer
// system's Init.
//
// Threading: the user-interface thread.
#pragma once

#include "playback/visualizer/VisualizerSystem.h"

class CPlugInVisualizerDiscovery : public CVisualizerDiscovery {
 public:
  void DiscoverVisualizers(CPlugIn& plugIn, std::vector<CVisualizer*>& found) override;
};

// The program's instance.
CPlugInVisualizerDiscovery& GetPlugInVisualizerDiscovery();
