// The switches of Kilnar's command line (the argument text after the
// program): `-n` the playlist's display name, `-p` the path of the
// playlist to burn. The line is split into arguments as the layer splits
// every command line, so a quoted value is one argument whatever it holds
// ("-n "Top-picks"" is no `-p`), and a value the shell passed without
// quotes counts as well. Switches are case-sensitive.
#pragma once

#include <string>

// The argument after the first argument that is exactly the switch; empty
// when there is none, or when the switch is last or followed by another
// switch.
std::string GetSwitchValue(const std::string& commandLine, const char* switchText);
std::string GetNameArgument(const std::string& commandLine);
std::string GetPlaylistArgument(const std::string& commandLine);
