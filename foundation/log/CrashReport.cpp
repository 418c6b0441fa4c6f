#include "foundation/log/CrashReport.h"

#include <cstring>

#include "foundation/log/Log.h"
#include "foundation/log/ReportText.h"

namespace {

struct ExceptionCodeRow {
  DWORD code;
  const char* text;
};

constexpr ExceptionCodeRow kExceptionTexts[] = {
    {0x80000002, "The thread tried to read or write data that is misaligned on hardware that does not provide "
                 "alignment. For example, 16-bit values must be aligned on 2-byte boundaries; 32-bit values on "
                 "4-byte boundaries, and so on."},
    {0x80000003, "A breakpoint was encountered."},
    {0x80000004, "A trace trap or other single-instruction mechanism signaled that one instruction has been "
                 "executed."},
    {0xC0000005, "The thread tried to read from or write to a virtual address for which it does not have the "
                 "appropriate access."},
    {0xC0000006, "The thread tried to access a page that was not present, and the system was unable to load the "
                 "page. For example, this exception might occur if a network connection is lost while running a "
                 "program over the network."},
    {0xC000001D, "The thread tried to execute an invalid instruction."},
    {0xC0000025, "The thread tried to continue execution after a noncontinuable exception occurred."},
    {0xC0000026, "An exception handler returned an invalid disposition to the exception dispatcher. Programmers "
                 "using a high-level language such as C should never encounter this exception."},
    {0xC000008C, "The thread tried to access an array element that is out of bounds and the underlying hardware "
                 "supports bounds checking."},
    {0xC000008D, "One of the operands in a floating-point operation is denormal. A denormal value is one that is "
                 "too small to represent as a standard floating-point value."},
    {0xC000008E, "The thread tried to divide a floating-point value by a floating-point divisor of zero."},
    {0xC000008F, "The result of a floating-point operation cannot be represented exactly as a decimal fraction."},
    {0xC0000090, "This exception represents any floating-point exception not included in this list."},
    {0xC0000091, "The exponent of a floating-point operation is greater than the magnitude allowed by the "
                 "corresponding type."},
    {0xC0000092, "The stack overflowed or underflowed as the result of a floating-point operation."},
    {0xC0000093, "The exponent of a floating-point operation is less than the magnitude allowed by the "
                 "corresponding type."},
    {0xC0000094, "The thread tried to divide an integer value by an integer divisor of zero."},
    {0xC0000095, "The result of an integer operation caused a carry out of the most significant bit of the "
                 "result."},
    {0xC0000096, "The thread tried to execute an instruction whose operation is not allowed in the current "
                 "machine mode."},
    {0xC00000FD, "The thread used up its stack."},
};

constexpr DWORD kAccessViolation = 0xC0000005;

// A report is a few kilobytes; the largest part is the 512-byte register
// dump written as text.
constexpr size_t kReportCapacity = 16384;
char reportBuffer[kReportCapacity];

bool Selects(const CONTEXT& context, DWORD section) { return (context.ContextFlags & section) == section; }

void Line(CReportText& out, const char* label, uint64_t value) {
  out.Append(label);
  out.Append("0x");
  out.AppendHex(value, 8);
  out.Append("\n");
}

// An address the processor did not tell (0, or all bits set in 32 or 64
// bits) is shown as the fixed unknown address.
bool IsUnknownAddress(ULONG_PTR address) {
  return address == 0 || address == 0xFFFFFFFFu || address == static_cast<ULONG_PTR>(-1);
}

void AppendParameters(CReportText& out, const EXCEPTION_RECORD& record) {
  // The count comes from the faulting side; never read past the array.
  const DWORD count = record.NumberParameters < EXCEPTION_MAXIMUM_PARAMETERS ? record.NumberParameters
                                                                             : EXCEPTION_MAXIMUM_PARAMETERS;
  if (count == 0) return;
  out.Append("Additional Information:\n");
  DWORD first = 0;
  if (record.ExceptionCode == kAccessViolation && count >= 2) {
    const ULONG_PTR address = record.ExceptionInformation[1];
    if (IsUnknownAddress(address)) {
      out.Append("Attempted to read/write at 0x00000000\n");
    } else {
      out.Append(record.ExceptionInformation[0] != 0 ? "Attempted to write at " : "Attempted to read at ");
      Line(out, "", address);
    }
    first = 2;
  }
  for (DWORD i = first; i < count; ++i) Line(out, "", record.ExceptionInformation[i]);
  out.Append("\n");
}

void AppendFlags(CReportText& out, DWORD flags) {
  if (flags == 0) {
    out.Append("The exception is continuable.");
  } else if (flags == EXCEPTION_NONCONTINUABLE) {
    out.Append("The exception is noncontinuable.");
  } else {
    out.Append("Unknown exception flags: 0x");
    out.AppendHex(flags, 8);
  }
  out.Append("\n\n");
}

double X87RegisterValue(const BYTE* bytes) {
  long double value = 0;
  std::memcpy(&value, bytes, 10);  // the 80-bit extended format of long double
  return static_cast<double>(value);
}

void AppendDebugRegisters(CReportText& out, const CONTEXT& c) {
  out.Append("Debug Registers:\n");
  Line(out, "Dr0: ", c.Dr0);
  Line(out, "Dr1: ", c.Dr1);
  Line(out, "Dr2: ", c.Dr2);
  Line(out, "Dr3: ", c.Dr3);
  Line(out, "Dr6: ", c.Dr6);
  Line(out, "Dr7: ", c.Dr7);
  out.Append("\n");
}

void AppendFloatingPoint(CReportText& out, const CONTEXT& c) {
  const FLOATING_SAVE_AREA& f = c.FloatSave;
  out.Append("Floating Point State:\n");
  Line(out, "Control:      ", f.ControlWord);
  Line(out, "Status:       ", f.StatusWord);
  Line(out, "Tag:          ", f.TagWord);
  Line(out, "ErrorOffset:  ", f.ErrorOffset);
  Line(out, "DataOffset:   ", f.DataOffset);
  Line(out, "DataSelector: ", f.DataSelector);
  out.Append("Registers:\n");
  for (int i = 0; i < 8; ++i) {
    out.Append("  ");
    out.AppendDecimal(i);
    out.Append(": ");
    out.AppendScientific(X87RegisterValue(f.RegisterArea + 10 * i));
    out.Append("\n");
  }
  Line(out, "Cr0NpxState: ", f.Cr0NpxState);
  out.Append("\n");
}

void AppendSegmentRegisters(CReportText& out, const CONTEXT& c) {
  out.Append("Segment registers:\n");
  Line(out, "GS: ", c.SegGs);
  Line(out, "FS: ", c.SegFs);
  Line(out, "ES: ", c.SegEs);
  Line(out, "DS: ", c.SegDs);
  out.Append("\n");
}

void AppendIntegerRegisters(CReportText& out, const CONTEXT& c) {
  out.Append("Integer registers:\n");
  Line(out, "EAX: ", c.Eax);
  Line(out, "EBX: ", c.Ebx);
  Line(out, "ECX: ", c.Ecx);
  Line(out, "EDX: ", c.Edx);
  Line(out, "EDI: ", c.Edi);
  Line(out, "ESI: ", c.Esi);
  out.Append("\n");
}

void AppendControlRegisters(CReportText& out, const CONTEXT& c) {
  out.Append("Control registers:\n");
  Line(out, "EBP:    ", c.Ebp);
  Line(out, "EIP:    ", c.Eip);
  Line(out, "ESP:    ", c.Esp);
  Line(out, "SegCS:  ", c.SegCs);
  Line(out, "SegSS:  ", c.SegSs);
  Line(out, "EFlags: ", c.EFlags);
  out.Append("\n");
}

void AppendExtendedRegisters(CReportText& out, const CONTEXT& c) {
  out.Append("Extended registers:");
  for (int i = 0; i < MAXIMUM_SUPPORTED_EXTENSION; ++i) {
    if (i % 16 == 0) {
      out.Append("\n");
    } else if (i % 4 == 0) {
      out.Append(" ");
    }
    out.AppendHex(c.ExtendedRegisters[i], 2);
  }
  out.Append("\n\n");
}

void AppendContext(CReportText& out, const CONTEXT& c) {
  if (Selects(c, CONTEXT_DEBUG_REGISTERS)) AppendDebugRegisters(out, c);
  if (Selects(c, CONTEXT_FLOATING_POINT)) AppendFloatingPoint(out, c);
  if (Selects(c, CONTEXT_SEGMENTS)) AppendSegmentRegisters(out, c);
  if (Selects(c, CONTEXT_INTEGER)) AppendIntegerRegisters(out, c);
  if (Selects(c, CONTEXT_CONTROL)) AppendControlRegisters(out, c);
  if (Selects(c, CONTEXT_EXTENDED_REGISTERS)) AppendExtendedRegisters(out, c);
}

}  // namespace

const char* GetExceptionCodeText(DWORD code) {
  for (const auto& row : kExceptionTexts)
    if (row.code == code) return row.text;
  return "Unknown exception code.";
}

void CLog::WriteCrashReport(const struct _EXCEPTION_POINTERS* exception, const char* moduleName, const void* moduleBase,
                            DWORD severity) {
  if (!exception || !exception->ExceptionRecord) return;
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  CReportText out(reportBuffer, sizeof reportBuffer);
  out.Append("\n\nFatal Exception at 0x");
  out.AppendHex(reinterpret_cast<uintptr_t>(record.ExceptionAddress), 8);
  out.Append(" (");
  out.Append(moduleName ? moduleName : "unknown module");
  out.Append(", base address: 0x");
  out.AppendHex(reinterpret_cast<uintptr_t>(moduleBase), 8);
  out.Append("):\n\n");
  out.Append(GetExceptionCodeText(record.ExceptionCode));
  out.Append("\n\n");
  AppendParameters(out, record);
  AppendFlags(out, record.ExceptionFlags);
  out.Append("Context:\n\n");
  if (exception->ContextRecord) AppendContext(out, *exception->ContextRecord);
  WriteReportText(out.GetText(), severity);
}
