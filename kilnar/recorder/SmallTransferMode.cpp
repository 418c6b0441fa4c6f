#include "kilnar/recorder/SmallTransferMode.h"

namespace {
bool smallTransfers = false;
}

bool GetSmallTransferMode() { return smallTransfers; }

void SetSmallTransferMode(bool on) { smallTransfers = on; }
