// The Windows programming interface as this system's platform layer provides
// it on Linux. Code written against the Windows names includes this header;
// everything behind it lives in libtwlwin.so, one copy per process.
#pragma once

#include "twlwin/types.h"
#include "twlwin/errors.h"
#include "twlwin/handles.h"
#include "twlwin/sync.h"
#include "twlwin/threads.h"
#include "twlwin/time.h"
#include "twlwin/files.h"
#include "twlwin/modules.h"
#include "twlwin/text.h"
#include "twlwin/version.h"
#include "twlwin/messagebox.h"
#include "twlwin/mmsystem.h"
#include "twlwin/crash.h"
#include "twlwin/toolhelp.h"
#include "twlwin/messages.h"
#include "twlwin/windowing.h"
#include "twlwin/regions.h"
#include "twlwin/registry.h"
#include "twlwin/profile.h"
#include "twlwin/resources.h"
