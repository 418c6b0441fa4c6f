#include "pluginhost/players/PlayerDiscovery.h"

#include "pluginhost/players/PlugInPlayer.h"
#include "pluginhost/plugins/ObjectDiscovery.h"

void DiscoverPlugInPlayers(CPlugIn& plugIn, std::vector<CPlayer*>& found) {
  DiscoverObjects<CPlugInPlayer, CPlugInPlayer2>(plugIn, PLUGINOBJ_PLAYER,
                                                 [&found](CPlayer* player) { found.push_back(player); });
}
