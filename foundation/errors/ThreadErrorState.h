// The calling thread's last error, as plug-ins and the host pass it across
// their boundary of plain functions: a function that fails returns false or
// null and leaves the reason here. Each thread reads and writes only its own
// record, without locking; records live until the process ends (they
// outlive their threads, so a copy taken on the way out stays valid).
//
// StoreThreadError turns a caught error object into the record;
// RaiseThreadError turns the record back into an error object of the
// matching class and throws it.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

class CError;

// Families of thread errors.
enum ThreadErrorType : DWORD {
  THREAD_ERROR_NONE = 0,
  THREAD_ERROR_GENERAL = 1,
  THREAD_ERROR_DIRECTDRAW = 2,
  THREAD_ERROR_DIRECTSOUND = 3,
  THREAD_ERROR_STREAM = 4,
  THREAD_ERROR_WINMM = 5,
  THREAD_ERROR_MCI = 6,
  THREAD_ERROR_MISC = 7,
};

// Codes of the miscellaneous family (type 7).
enum MiscErrorCode : DWORD {
  MISC_ERROR_NONE = 0,
  MISC_ERROR_INVALID_PARAM = 1,
  MISC_ERROR_OUT_OF_MEMORY = 2,
  MISC_ERROR_ABORTED = 3,
  MISC_ERROR_BUSY = 4,
  MISC_ERROR_ACCESS_DENIED = 5,
  MISC_ERROR_UNSUPPORTED_FILE_FORMAT = 6,
  MISC_ERROR_CORRUPTED_FILE = 7,
  MISC_ERROR_MIXER_CONTROL_UNAVAILABLE = 8,
};

struct ThreadErrorState {
  DWORD type;
  DWORD code;
  char* text;  // the record's own heap copy (DuplicateString), or null
};

// The calling thread's record, created as {0, 0, null} on first use.
// Leaves the thread's last Win32 error as it was.
ThreadErrorState* GetThreadErrorState();

// Stores the three values; the text is copied, the old one freed.
void SetThreadError(DWORD type, DWORD code, const char* text);

// Stores a caught error; the error object stays the caller's.
void StoreThreadError(const CError* error);

// A heap copy of the record, for saving across a call. The owner frees it
// with FreeThreadErrorCopy (or puts it back with SetThreadError first).
ThreadErrorState* CopyThreadError();
void FreeThreadErrorCopy(ThreadErrorState* copy);

// Replaces the text by prefix + text + suffix; null counts as empty.
void WrapThreadErrorText(const char* prefix, const char* suffix);

CStr GetMiscErrorText(DWORD code);
// The caption of a family; empty for types 0, 1, 7 and unknown types.
CStr GetErrorTypeCaption(DWORD type);
// "caption: text" when the family has a caption, else the text alone.
CStr GetThreadErrorText();

// Throws the record as a heap error object of the family's class. The
// record stays as it is.
[[noreturn]] void RaiseThreadError();

// A new heap copy of a zero-terminated text (free with delete[]); null for
// null, and null when memory is short.
char* DuplicateString(const char* text);
