#include "kilnar/app/LogicalBlockSize.h"

namespace {

uint16_t logicalBlockSize = 2048;

}  // namespace

uint16_t GetLogicalBlockSize() { return logicalBlockSize; }
void SetLogicalBlockSize(uint16_t size) { logicalBlockSize = size; }
