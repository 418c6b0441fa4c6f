// `twltool mixer control`: a line's volume control driven as the current
// player drives it through the host, with the host's mixer manager behind
// it.
#pragma once

#include "driver/Command.h"

namespace twltool {

// The arguments after "control"; the exit code.
int RunMixerControl(const tool::Args& args);

}  // namespace twltool
