// The stock objects of GetStockObject, made once per process and never
// deleted. Thread-safe.
#pragma once

#include "twlwin/gdi.h"

namespace twl::gdi {

// Null for an unknown index, or for a stock font when the font files are
// missing.
HGDIOBJ StockObject(int index);
// The 1 x 1 monochrome bitmap every memory DC starts with.
HGDIOBJ StockBitmap();

}  // namespace twl::gdi
