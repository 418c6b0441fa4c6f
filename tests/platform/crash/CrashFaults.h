// Instructions that fault, at known addresses, so that a test can compare
// what the crash filter got with where the fault was. Written in assembly
// so that no sanitizer check or optimisation stands in front of the fault.
#pragma once

extern "C" {
int twltest_read_0x10();        // loads from address 0x10
void twltest_write_0x20();      // stores to address 0x20
int twltest_read_noncanonical();  // loads from an address no page can have
void twltest_noncanonical_at();   // its faulting instruction
int twltest_divide_by_zero();
void twltest_divide_at();
void twltest_illegal_instruction();
// Loads from 0x10 and returns eax; twltest_after_read is the `ret` after
// the load, where a filter may let the thread go on.
int twltest_read_then_return();
void twltest_after_read();
}
