// The common controls as a library under their Windows name, so that
// programs checking its version find the one these controls match.
#include "platform/modules/SystemModules.h"
#include "twlwin/commctrl.h"

static const twl::SystemLibraryRegistration kCommonControls("comctl32.dll", twl::SystemVersion{0x00050052, 0}, {
    {"InitCommonControls", twl::ExportAddress(&InitCommonControls)},
});
