// The player objects of a plug-in (kind 0), found by the host's discovery
// procedure and wrapped as CPlugInPlayer (interface version 1) or
// CPlugInPlayer2 (version 2). Each initialised wrapper is appended to
// `found` and owned by the caller from then on; the others are logged and
// deleted.
//
// Threading: the user-interface thread.
#pragma once

#include <vector>

class CPlayer;
class CPlugIn;

void DiscoverPlugInPlayers(CPlugIn& plugIn, std::vector<CPlayer*>& found);
