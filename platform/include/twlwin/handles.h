// Closing kernel handles (files, events, mutexes, threads, find handles).
// A handle stays valid until its last CloseHandle; the object behind it
// lives on while any handle or owner still refers to it.
#pragma once

#include "types.h"

TWLAPI BOOL CloseHandle(HANDLE handle);
