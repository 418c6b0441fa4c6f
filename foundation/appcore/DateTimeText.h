// Date and time as the program shows them (in the log, for example): the
// localised patterns with %WEEKDAY%, %MONTH%, %DAY%, %YEAR%, %HOUR%,
// %MINUTE%, %SECOND%, %HOUR12% and %HOUR12SUFFIX% filled in.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

CStr FormatDate(const SYSTEMTIME& time, bool withWeekday);
CStr FormatTime(const SYSTEMTIME& time);
CStr FormatDateAndTime(const SYSTEMTIME& time, bool withWeekday);
