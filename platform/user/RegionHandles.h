// HRGN handles: a process-wide table of regions. Each region has its own
// lock, so handles may be used from any thread.
#pragma once

#include <optional>

#include "Region.h"
#include "twlwin/types.h"

namespace twl::user {

HRGN NewRegionHandle(Region region);
std::optional<Region> CopyRegion(HRGN handle);
// Sets the region behind the handle; returns its complexity, or ERROR (0)
// for a bad handle.
int ReplaceRegion(HRGN handle, const Region& region);
// Removes the handle and hands back its region (SetWindowRgn takes regions
// over this way).
std::optional<Region> TakeRegion(HRGN handle);
int Complexity(const Region& region);
// DeleteObject's work for region handles (the GDI layer owns DeleteObject).
bool DeleteRegionHandle(HGDIOBJ object);

}  // namespace twl::user
