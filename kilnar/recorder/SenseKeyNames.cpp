#include "kilnar/recorder/SenseKeyNames.h"

namespace {

constexpr const char* kSenseKeyNames[16] = {
    "No Sense",     "Recovered Error", "Not Ready",       "Medium Error",    "Hardware Error", "Illegal Request",
    "Unit Attention", "Data Protect",  "Blank Check",     "Device Busy",     "Copy Aborted",   "Aborted Command",
    "Equal",        "Volume Overflow", "Miscompare",      "Unknown Error"};

}  // namespace

const char* SenseKeyName(uint8_t senseKey) { return kSenseKeyNames[senseKey & 0x0F]; }
