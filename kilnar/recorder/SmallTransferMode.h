// The program-wide small-transfer flag: set while the recorder sits on a
// host adapter that only takes small transfers, so that the engine, the
// image writer and the burn job move their data in smaller pieces. False at
// start. Read and set on the user-interface thread only.
#pragma once

bool GetSmallTransferMode();
void SetSmallTransferMode(bool on);
