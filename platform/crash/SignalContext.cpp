#include "SignalContext.h"

#include <cstring>

namespace twl::crash {
namespace {

// x86 exception vectors as the kernel reports them in the trap number.
constexpr greg_t kPageFault = 14;
// Bits of the page fault error code.
constexpr greg_t kFaultWasWrite = 0x2;
constexpr greg_t kFaultWasFetch = 0x10;
// How near the stack pointer a fault counts as running off the stack.
constexpr uintptr_t kStackReach = 64 * 1024;
constexpr ULONG_PTR kUnknownAddress = ~ULONG_PTR{0};

void SetParameters(EXCEPTION_RECORD& record, ULONG_PTR access, ULONG_PTR address) {
  record.NumberParameters = 2;
  record.ExceptionInformation[0] = access;
  record.ExceptionInformation[1] = address;
}

void DescribeSegmentationFault(const siginfo_t& info, const greg_t* registers, EXCEPTION_RECORD& record) {
  record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
  if (registers[REG_TRAPNO] != kPageFault || info.si_code == SI_KERNEL) {
    // A general protection fault (a non-canonical address, a privileged
    // access): the processor names no address.
    SetParameters(record, 0, kUnknownAddress);
    return;
  }
  greg_t error = registers[REG_ERR];
  ULONG_PTR access = (error & kFaultWasFetch) ? 8 : (error & kFaultWasWrite) ? 1 : 0;
  auto address = reinterpret_cast<uintptr_t>(info.si_addr);
  auto stackPointer = static_cast<uintptr_t>(registers[REG_RSP]);
  if (address + kStackReach >= stackPointer && address <= stackPointer + kStackReach) {
    record.ExceptionCode = EXCEPTION_STACK_OVERFLOW;
  }
  SetParameters(record, access, address);
}

void DescribeBusError(const siginfo_t& info, const greg_t* registers, EXCEPTION_RECORD& record) {
  if (info.si_code == BUS_ADRALN) {
    record.ExceptionCode = EXCEPTION_DATATYPE_MISALIGNMENT;
    return;
  }
  // A page of a mapped file that cannot be read any more (a truncated file,
  // a failing disk).
  record.ExceptionCode = EXCEPTION_IN_PAGE_ERROR;
  ULONG_PTR access = (registers[REG_ERR] & kFaultWasWrite) ? 1 : 0;
  SetParameters(record, access, reinterpret_cast<uintptr_t>(info.si_addr));
}

DWORD ArithmeticCode(int code) {
  switch (code) {
    case FPE_INTDIV: return EXCEPTION_INT_DIVIDE_BY_ZERO;
    case FPE_INTOVF: return EXCEPTION_INT_OVERFLOW;
    case FPE_FLTDIV: return EXCEPTION_FLT_DIVIDE_BY_ZERO;
    case FPE_FLTOVF: return EXCEPTION_FLT_OVERFLOW;
    case FPE_FLTUND: return EXCEPTION_FLT_UNDERFLOW;
    case FPE_FLTRES: return EXCEPTION_FLT_INEXACT_RESULT;
    case FPE_FLTSUB: return EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
    default: return EXCEPTION_FLT_INVALID_OPERATION;
  }
}

void DescribeRecord(int signal, const siginfo_t& info, const greg_t* registers, EXCEPTION_RECORD& record) {
  record.ExceptionAddress = reinterpret_cast<PVOID>(registers[REG_RIP]);
  switch (signal) {
    case SIGSEGV: DescribeSegmentationFault(info, registers, record); break;
    case SIGBUS: DescribeBusError(info, registers, record); break;
    case SIGILL:
      record.ExceptionCode = info.si_code == ILL_PRVOPC || info.si_code == ILL_PRVREG ? EXCEPTION_PRIV_INSTRUCTION
                                                                                      : EXCEPTION_ILLEGAL_INSTRUCTION;
      break;
    case SIGFPE: record.ExceptionCode = ArithmeticCode(info.si_code); break;
    default:
      record.ExceptionCode = STATUS_FATAL_APP_EXIT;
      record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
      break;
  }
}

// The FSAVE tag word (two bits per physical register: 0 valid, 1 zero,
// 2 special, 3 empty) from the FXSAVE image, which keeps only one bit per
// register (in use or not) and the registers in stack order.
DWORD FullTagWord(const _libc_fpstate& state) {
  unsigned top = (state.swd >> 11) & 7;
  DWORD tags = 0;
  for (unsigned physical = 0; physical < 8; ++physical) {
    DWORD tag = 3;
    if (state.ftw & (1u << physical)) {
      const _libc_fpxreg& reg = state._st[(physical - top) & 7];
      unsigned exponent = reg.exponent & 0x7FFF;
      uint64_t mantissa = 0;
      for (int i = 3; i >= 0; --i) mantissa = (mantissa << 16) | reg.significand[i];
      bool integerBit = (mantissa >> 63) != 0;
      if (exponent == 0 && mantissa == 0) {
        tag = 1;
      } else if (exponent == 0x7FFF || exponent == 0 || !integerBit) {
        tag = 2;
      } else {
        tag = 0;
      }
    }
    tags |= tag << (2 * physical);
  }
  return tags;
}

void DescribeFloatingPoint(const _libc_fpstate& state, CONTEXT& context) {
  FLOATING_SAVE_AREA& area = context.FloatSave;
  area.ControlWord = state.cwd;
  area.StatusWord = state.swd;
  area.TagWord = FullTagWord(state);
  area.ErrorOffset = static_cast<DWORD>(state.rip);
  area.ErrorSelector = static_cast<DWORD>(state.fop & 0x7FF) << 16;  // the opcode beside a code selector of 0
  area.DataOffset = static_cast<DWORD>(state.rdp);
  for (int i = 0; i < 8; ++i) std::memcpy(area.RegisterArea + 10 * i, &state._st[i], 10);
  static_assert(sizeof(_libc_fpstate) == MAXIMUM_SUPPORTED_EXTENSION, "the FXSAVE image is 512 bytes");
  std::memcpy(context.ExtendedRegisters, &state, MAXIMUM_SUPPORTED_EXTENSION);
  context.ContextFlags |= CONTEXT_FLOATING_POINT | CONTEXT_EXTENDED_REGISTERS;
}

DWORD ReadSegment(int which) {
  unsigned short value = 0;
  switch (which) {
    case 0: asm volatile("mov %%ds, %0" : "=r"(value)); break;
    case 1: asm volatile("mov %%es, %0" : "=r"(value)); break;
    default: asm volatile("mov %%ss, %0" : "=r"(value)); break;
  }
  return value;
}

void DescribeRegisters(const ucontext_t& thread, CONTEXT& context) {
  const greg_t* registers = thread.uc_mcontext.gregs;
  auto full = [&](int index) { return static_cast<DWORD64>(registers[index]); };
  context.Rax = full(REG_RAX);
  context.Rbx = full(REG_RBX);
  context.Rcx = full(REG_RCX);
  context.Rdx = full(REG_RDX);
  context.Rsi = full(REG_RSI);
  context.Rdi = full(REG_RDI);
  context.Rbp = full(REG_RBP);
  context.Rsp = full(REG_RSP);
  context.R8 = full(REG_R8);
  context.R9 = full(REG_R9);
  context.R10 = full(REG_R10);
  context.R11 = full(REG_R11);
  context.R12 = full(REG_R12);
  context.R13 = full(REG_R13);
  context.R14 = full(REG_R14);
  context.R15 = full(REG_R15);
  context.Rip = full(REG_RIP);
  context.Eax = static_cast<DWORD>(context.Rax);
  context.Ebx = static_cast<DWORD>(context.Rbx);
  context.Ecx = static_cast<DWORD>(context.Rcx);
  context.Edx = static_cast<DWORD>(context.Rdx);
  context.Esi = static_cast<DWORD>(context.Rsi);
  context.Edi = static_cast<DWORD>(context.Rdi);
  context.Ebp = static_cast<DWORD>(context.Rbp);
  context.Esp = static_cast<DWORD>(context.Rsp);
  context.Eip = static_cast<DWORD>(context.Rip);
  context.EFlags = static_cast<DWORD>(registers[REG_EFL]);

  // Code, GS and FS selectors (and SS, on kernels that save it) are packed
  // in one word of the saved state.
  auto selectors = static_cast<uint64_t>(registers[REG_CSGSFS]);
  context.SegCs = selectors & 0xFFFF;
  context.SegGs = (selectors >> 16) & 0xFFFF;
  context.SegFs = (selectors >> 32) & 0xFFFF;
  constexpr unsigned long kSavesStackSegment = 0x2;  // UC_SIGCONTEXT_SS
  context.SegSs = (thread.uc_flags & kSavesStackSegment) ? (selectors >> 48) & 0xFFFF : ReadSegment(2);
  context.SegDs = ReadSegment(0);
  context.SegEs = ReadSegment(1);
  context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER | CONTEXT_SEGMENTS;
}

// `saved` still holds the register as it was at the fault: a 32-bit name
// that differs from its low half is one the filter changed.
void Merge(DWORD narrow, DWORD64 wide, greg_t& saved) {
  if (narrow != static_cast<DWORD>(saved)) wide = (wide & ~DWORD64{0xFFFFFFFF}) | narrow;
  saved = static_cast<greg_t>(wide);
}

}  // namespace

void DescribeSignal(int signal, const siginfo_t& info, const ucontext_t& thread, EXCEPTION_RECORD& record,
                    CONTEXT& context) {
  std::memset(&record, 0, sizeof record);
  std::memset(&context, 0, sizeof context);
  DescribeRecord(signal, info, thread.uc_mcontext.gregs, record);
  DescribeRegisters(thread, context);
  if (thread.uc_mcontext.fpregs) DescribeFloatingPoint(*thread.uc_mcontext.fpregs, context);
}

void ApplyContext(const CONTEXT& context, ucontext_t& thread) {
  greg_t* registers = thread.uc_mcontext.gregs;
  Merge(context.Eax, context.Rax, registers[REG_RAX]);
  Merge(context.Ebx, context.Rbx, registers[REG_RBX]);
  Merge(context.Ecx, context.Rcx, registers[REG_RCX]);
  Merge(context.Edx, context.Rdx, registers[REG_RDX]);
  Merge(context.Esi, context.Rsi, registers[REG_RSI]);
  Merge(context.Edi, context.Rdi, registers[REG_RDI]);
  Merge(context.Ebp, context.Rbp, registers[REG_RBP]);
  Merge(context.Esp, context.Rsp, registers[REG_RSP]);
  Merge(context.Eip, context.Rip, registers[REG_RIP]);
  registers[REG_R8] = static_cast<greg_t>(context.R8);
  registers[REG_R9] = static_cast<greg_t>(context.R9);
  registers[REG_R10] = static_cast<greg_t>(context.R10);
  registers[REG_R11] = static_cast<greg_t>(context.R11);
  registers[REG_R12] = static_cast<greg_t>(context.R12);
  registers[REG_R13] = static_cast<greg_t>(context.R13);
  registers[REG_R14] = static_cast<greg_t>(context.R14);
  registers[REG_R15] = static_cast<greg_t>(context.R15);
  // Only the arithmetic and direction flags and the trap flag are the
  // thread's to change.
  constexpr greg_t kUserFlags = 0x0CD5 | 0x0100;
  registers[REG_EFL] = (registers[REG_EFL] & ~kUserFlags) | (static_cast<greg_t>(context.EFlags) & kUserFlags);
}

}  // namespace twl::crash
