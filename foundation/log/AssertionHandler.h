// The calling thread's assertion handler: a routine that takes a source
// file name and a line and answers an int. A thread starts with none; code
// that installs one puts the previous one back afterwards.
#pragma once

typedef int (*AssertionHandler)(const char* fileName, int line);

void SetThreadAssertionHandler(AssertionHandler handler);
AssertionHandler GetThreadAssertionHandler();
