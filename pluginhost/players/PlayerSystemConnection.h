// Joins the player system and the plug-in host: the player system finds
// its players among the plug-ins' player objects (wrapped as CPlugInPlayer
// and CPlugInPlayer2), binds, owns, aborts and closes the data system's
// session slot 0 for the file it plays (so the streams its player opens
// through the host go through that slot), and the host's player slots and
// sound buffers report to it and ask it for the current player, the volume
// and the playing entry; the player system gets the mixer manager behind
// the host's mixer slots. The program connects once, before the player
// system's Init; the
// connection lasts until Disconnect.
//
// Threading: connect and disconnect on the user-interface thread while no
// player plays; the reports arrive on the players' own threads, and the
// player system takes its own locks.
#pragma once

class CPlayerSystem;

void ConnectPlayerSystemToHost(CPlayerSystem& system);
void DisconnectPlayerSystemFromHost(CPlayerSystem& system);
