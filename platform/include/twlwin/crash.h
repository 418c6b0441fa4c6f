// Crashes: faults of the processor and aborts, on any thread, reach the
// program's unhandled-exception filter as an exception record and the
// register context of the faulting thread.
//
// The filter runs inside a signal handler on the crashing thread, on an
// alternate stack where the thread has one: it may only use calls that are
// safe there (write(2) into buffers it prepared before, no malloc, no
// stdio). Reports of several threads do not mix: a second crashing thread
// waits until the first one's filter is done. What the filter answers:
// - EXCEPTION_EXECUTE_HANDLER: the process ends at once, killed by the
//   signal of the fault, as it would have been without a filter;
// - EXCEPTION_CONTINUE_SEARCH: whatever handled the signal before the filter
//   was installed (a debugger's or a sanitizer's report) gets it, else the
//   process ends the same way;
// - EXCEPTION_CONTINUE_EXECUTION: the thread goes on with the registers of
//   the context as the filter left them (not for a noncontinuable record).
#pragma once

#include "types.h"

#define EXCEPTION_MAXIMUM_PARAMETERS 15
#define EXCEPTION_NONCONTINUABLE 0x1u

typedef struct _EXCEPTION_RECORD {
  DWORD ExceptionCode;
  DWORD ExceptionFlags;
  struct _EXCEPTION_RECORD* ExceptionRecord;
  PVOID ExceptionAddress;
  DWORD NumberParameters;
  ULONG_PTR ExceptionInformation[EXCEPTION_MAXIMUM_PARAMETERS];
} EXCEPTION_RECORD, *PEXCEPTION_RECORD;

#define SIZE_OF_80387_REGISTERS 80
#define MAXIMUM_SUPPORTED_EXTENSION 512

// The x87 state in the layout of the 32-bit FSAVE area.
typedef struct _FLOATING_SAVE_AREA {
  DWORD ControlWord;
  DWORD StatusWord;
  DWORD TagWord;
  DWORD ErrorOffset;
  DWORD ErrorSelector;
  DWORD DataOffset;
  DWORD DataSelector;
  BYTE RegisterArea[SIZE_OF_80387_REGISTERS];  // ST(0) to ST(7), 10 bytes each
  DWORD Cr0NpxState;
} FLOATING_SAVE_AREA, *PFLOATING_SAVE_AREA;

// The register context of a crashed thread. The 32-bit register names hold
// the low halves of the 64-bit registers, which follow in full at the end;
// ExtendedRegisters is the FXSAVE image of the x87, MMX and SSE state.
// Debug registers cannot be read on this system and stay zero.
typedef struct _CONTEXT {
  DWORD ContextFlags;
  DWORD Dr0;
  DWORD Dr1;
  DWORD Dr2;
  DWORD Dr3;
  DWORD Dr6;
  DWORD Dr7;
  FLOATING_SAVE_AREA FloatSave;
  DWORD SegGs;
  DWORD SegFs;
  DWORD SegEs;
  DWORD SegDs;
  DWORD Edi;
  DWORD Esi;
  DWORD Ebx;
  DWORD Edx;
  DWORD Ecx;
  DWORD Eax;
  DWORD Ebp;
  DWORD Eip;
  DWORD SegCs;
  DWORD EFlags;
  DWORD Esp;
  DWORD SegSs;
  BYTE ExtendedRegisters[MAXIMUM_SUPPORTED_EXTENSION];
  DWORD64 Rax;
  DWORD64 Rbx;
  DWORD64 Rcx;
  DWORD64 Rdx;
  DWORD64 Rsi;
  DWORD64 Rdi;
  DWORD64 Rbp;
  DWORD64 Rsp;
  DWORD64 R8;
  DWORD64 R9;
  DWORD64 R10;
  DWORD64 R11;
  DWORD64 R12;
  DWORD64 R13;
  DWORD64 R14;
  DWORD64 R15;
  DWORD64 Rip;
} CONTEXT, *PCONTEXT;

#define CONTEXT_i386 0x00010000u
#define CONTEXT_CONTROL (CONTEXT_i386 | 0x01u)
#define CONTEXT_INTEGER (CONTEXT_i386 | 0x02u)
#define CONTEXT_SEGMENTS (CONTEXT_i386 | 0x04u)
#define CONTEXT_FLOATING_POINT (CONTEXT_i386 | 0x08u)
#define CONTEXT_DEBUG_REGISTERS (CONTEXT_i386 | 0x10u)
#define CONTEXT_EXTENDED_REGISTERS (CONTEXT_i386 | 0x20u)
#define CONTEXT_FULL (CONTEXT_CONTROL | CONTEXT_INTEGER | CONTEXT_SEGMENTS)

typedef struct _EXCEPTION_POINTERS {
  PEXCEPTION_RECORD ExceptionRecord;
  PCONTEXT ContextRecord;
} EXCEPTION_POINTERS, *PEXCEPTION_POINTERS, *LPEXCEPTION_POINTERS;

typedef LONG(WINAPI* PTOP_LEVEL_EXCEPTION_FILTER)(PEXCEPTION_POINTERS exception);
typedef PTOP_LEVEL_EXCEPTION_FILTER LPTOP_LEVEL_EXCEPTION_FILTER;

#define EXCEPTION_EXECUTE_HANDLER 1
#define EXCEPTION_CONTINUE_SEARCH 0
#define EXCEPTION_CONTINUE_EXECUTION (-1)

// Codes of the faults a crash reports. An access violation and a stack
// overflow carry two parameters: 0 for a read, 1 for a write or 8 for an
// instruction fetch, then the address (all bits set when the processor did
// not tell it). An abort is reported as a fatal application exit.
#define EXCEPTION_DATATYPE_MISALIGNMENT 0x80000002u
#define EXCEPTION_BREAKPOINT 0x80000003u
#define EXCEPTION_SINGLE_STEP 0x80000004u
#define EXCEPTION_ACCESS_VIOLATION 0xC0000005u
#define EXCEPTION_IN_PAGE_ERROR 0xC0000006u
#define EXCEPTION_ILLEGAL_INSTRUCTION 0xC000001Du
#define EXCEPTION_NONCONTINUABLE_EXCEPTION 0xC0000025u
#define EXCEPTION_INVALID_DISPOSITION 0xC0000026u
#define EXCEPTION_ARRAY_BOUNDS_EXCEEDED 0xC000008Cu
#define EXCEPTION_FLT_DENORMAL_OPERAND 0xC000008Du
#define EXCEPTION_FLT_DIVIDE_BY_ZERO 0xC000008Eu
#define EXCEPTION_FLT_INEXACT_RESULT 0xC000008Fu
#define EXCEPTION_FLT_INVALID_OPERATION 0xC0000090u
#define EXCEPTION_FLT_OVERFLOW 0xC0000091u
#define EXCEPTION_FLT_STACK_CHECK 0xC0000092u
#define EXCEPTION_FLT_UNDERFLOW 0xC0000093u
#define EXCEPTION_INT_DIVIDE_BY_ZERO 0xC0000094u
#define EXCEPTION_INT_OVERFLOW 0xC0000095u
#define EXCEPTION_PRIV_INSTRUCTION 0xC0000096u
#define EXCEPTION_STACK_OVERFLOW 0xC00000FDu
#define STATUS_FATAL_APP_EXIT 0x40000015u

// Installs the process-wide filter (null: none) and answers the one it
// replaces. The first call sets up the signal handlers and an alternate
// stack for the calling thread.
TWLAPI LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter);
