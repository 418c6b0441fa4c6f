// Starting other programs and this program's own command line. A child is
// started directly (no shell); its process handle is waitable and reports
// its exit code. Any thread.
#pragma once

#include "types.h"

#define DETACHED_PROCESS 0x00000008
#define CREATE_NEW_CONSOLE 0x00000010
#define NORMAL_PRIORITY_CLASS 0x00000020
#define CREATE_NEW_PROCESS_GROUP 0x00000200
#define CREATE_NO_WINDOW 0x08000000

typedef struct _STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

// Starts a program. Without an application name the program is the first
// element of the command line: a path (with \ or /), or a bare name looked
// for in the program's folder and then on PATH. The command line is split
// into the child's arguments by the rules of a Windows program's C runtime
// (quotes group, backslashes escape quotes). DETACHED_PROCESS starts the child in a
// session of its own; CREATE_NEW_PROCESS_GROUP in a process group of its
// own; NORMAL_PRIORITY_CLASS, CREATE_NEW_CONSOLE and CREATE_NO_WINDOW change
// nothing; other flags are refused. Without inherited handles the child gets
// no open descriptor beyond standard input, output and error. The
// environment is a block of "NAME=value" strings ended by an empty one.
// The start-up record is not read. hThread is a second handle to the child,
// whose id is also dwThreadId.
TWLAPI BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                           LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                           LPPROCESS_INFORMATION processInformation);
// STILL_ACTIVE (259) while the child runs; then its exit status, or 128
// plus the signal number when a signal ended it.
TWLAPI BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);

// This program's command line: its arguments as it was started, joined by
// blanks, each that is empty or holds a blank or a tab in double quotes.
// The string lives as long as the process.
TWLAPI LPSTR GetCommandLineA();
