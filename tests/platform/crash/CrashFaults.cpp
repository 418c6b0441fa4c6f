#include "CrashFaults.h"

asm(R"(
  .text
  .globl twltest_read_0x10
  .type twltest_read_0x10, @function
twltest_read_0x10:
  movl 0x10, %eax
  ret

  .globl twltest_write_0x20
  .type twltest_write_0x20, @function
twltest_write_0x20:
  movl $1, 0x20
  ret

  .globl twltest_read_noncanonical
  .type twltest_read_noncanonical, @function
twltest_read_noncanonical:
  movabsq $0x8000000000001000, %rax
  .globl twltest_noncanonical_at
twltest_noncanonical_at:
  movl (%rax), %eax
  ret

  .globl twltest_divide_by_zero
  .type twltest_divide_by_zero, @function
twltest_divide_by_zero:
  xorl %ecx, %ecx
  movl $1, %eax
  cltd
  .globl twltest_divide_at
twltest_divide_at:
  idivl %ecx
  ret

  .globl twltest_illegal_instruction
  .type twltest_illegal_instruction, @function
twltest_illegal_instruction:
  ud2
  ret

  .globl twltest_read_then_return
  .type twltest_read_then_return, @function
twltest_read_then_return:
  movl 0x10, %eax
  .globl twltest_after_read
twltest_after_read:
  ret
)");
