#include "app/core/UserInterfaceLink.h"

namespace {

CUserInterfaceLink* installed = nullptr;

}  // namespace

void SetUserInterfaceLink(CUserInterfaceLink* link) { installed = link; }
CUserInterfaceLink* GetUserInterfaceLink() { return installed; }
