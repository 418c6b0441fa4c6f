#include "pluginhost/visualizers/PlugInVisualizerDiscovery.h"

#include "pluginhost/plugins/ObjectDiscovery.h"
#include "pluginhost/visualizers/PlugInVisualizer.h"

void CPlugInVisualizerDiscovery::DiscoverVisualizers(CPlugIn& plugIn, std::vector<CVisualizer*>& found) {
  DiscoverObjects<CPlugInVisualizer, CPlugInVisualizer2>(
      plugIn, PLUGINOBJ_VISUALIZER, [&found](CVisualizer* visualizer) { found.push_back(visualizer); });
}

CPlugInVisualizerDiscovery& GetPlugInVisualizerDiscovery() {
  static CPlugInVisualizerDiscovery discovery;
  return discovery;
}
