// Command lines as one string, the Windows way: splitting one into
// arguments as a Windows program's C runtime does, and joining this
// process's arguments into the one string GetCommandLineA answers.
// Pure functions; any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace twl {

// The first element (the program) runs to the next blank, or when it
// starts with a double quote, to the next double quote, with no escapes.
// The others are separated by blanks and tabs outside double quotes; a
// double quote toggles quoting, "" inside quotes is one literal quote, 2n
// backslashes before a double quote give n backslashes, 2n+1 give n and a
// literal quote; other backslashes are kept.
std::vector<std::string> SplitCommandLine(std::string_view line);

// Joins with blanks; an element that is empty or holds a blank or a tab is
// put in double quotes. Nothing else is escaped.
std::string JoinCommandLine(const std::vector<std::string>& args);

}  // namespace twl
