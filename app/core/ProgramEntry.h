// The player's entry on the user-interface (main) thread: 0 after a normal
// run, 1 when the start was refused or failed, the command line went to
// another instance, or the message loop failed. Every way out runs the
// ordered shut-down.
#pragma once

#include <windows.h>

#include <string>

// The first start phase; false when the process must end (its commands
// were forwarded, or the start failed and was shown and taken down).
bool StartSystem(HINSTANCE instance, const char* commandLine);

int RunProgram(HINSTANCE instance, const char* commandLine);

// `commandLine` holds the arguments after the program's name, joined by
// blanks.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

// The command line WinMain gets: the arguments after the program's name,
// joined by blanks; an argument holding a blank or a tab (or empty) is put
// in double quotes so that it stays whole. Several arguments none of which
// starts with "-" are files: each becomes an add item in quotes (the first
// one made current), followed by play.
std::string JoinArguments(int argc, char** argv);
