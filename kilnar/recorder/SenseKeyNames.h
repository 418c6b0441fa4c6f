// The names of the sixteen SCSI sense keys, as failure texts show them.
#pragma once

#include <cstdint>

const char* SenseKeyName(uint8_t senseKey);
