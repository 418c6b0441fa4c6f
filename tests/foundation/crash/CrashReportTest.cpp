#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/log/CrashReport.h"
#include "foundation/log/Log.h"
#include "foundation/log/ReportText.h"

namespace {

// A sink that keeps every piece and the grouping calls around them.
class CRecordingLog : public CLog {
 public:
  const CClassRecord* GetClassRecord() const override { return &CLog::ClassRecord; }
  void Write(const char* text, DWORD severity) override {
    calls += "W";
    text_ += text;
    severities.push_back(severity);
  }
  bool BeginWrite() override {
    calls += "[";
    return true;
  }
  void EndWrite() override { calls += "]"; }
  const std::string& Text() const { return text_; }

  std::string calls;
  std::vector<DWORD> severities;

 private:
  std::string text_;
};

struct Crash {
  EXCEPTION_RECORD record{};
  CONTEXT context{};
  EXCEPTION_POINTERS pointers{&record, &context};
};

Crash AccessViolation(ULONG_PTR readOrWrite, ULONG_PTR address) {
  Crash crash;
  crash.record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
  crash.record.ExceptionAddress = reinterpret_cast<PVOID>(0x401a2bu);
  crash.record.NumberParameters = 2;
  crash.record.ExceptionInformation[0] = readOrWrite;
  crash.record.ExceptionInformation[1] = address;
  return crash;
}

std::string Report(const Crash& crash, const char* module = "fndtool", const void* base = nullptr) {
  CRecordingLog log;
  log.WriteCrashReport(&crash.pointers, module, base, LOG_SEVERITY_ERROR);
  EXPECT_EQ(log.calls, "[W]");  // one group
  for (DWORD severity : log.severities) EXPECT_EQ(severity, DWORD{LOG_SEVERITY_ERROR});
  return log.Text();
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(CrashReport, HeadExceptionTextAndAccessViolationAddress) {
  const std::string report = Report(AccessViolation(0, 0x10), "fndtool", reinterpret_cast<void*>(0x400000));
  const std::string head =
      "\n\nFatal Exception at 0x00401a2b (fndtool, base address: 0x00400000):\n\n"
      "The thread tried to read from or write to a virtual address for which it does not have the appropriate "
      "access.\n\n"
      "Additional Information:\nAttempted to read at 0x00000010\n\n"
      "The exception is continuable.\n\nContext:\n\n";
  EXPECT_EQ(report, head);  // flags 0: no section of the context
}

TEST(CrashReport, AccessViolationForms) {
  const struct {
    ULONG_PTR readOrWrite;
    ULONG_PTR address;
    const char* line;
  } cases[] = {
      {0, 0x10, "Attempted to read at 0x00000010\n"},
      {1, 0x10, "Attempted to write at 0x00000010\n"},
      {8, 0x7fff12345678, "Attempted to write at 0x7fff12345678\n"},
      {1, 0, "Attempted to read/write at 0x00000000\n"},
      {0, 0xFFFFFFFFu, "Attempted to read/write at 0x00000000\n"},
      {0, ~ULONG_PTR{0}, "Attempted to read/write at 0x00000000\n"},
  };
  for (const auto& c : cases) {
    const std::string report = Report(AccessViolation(c.readOrWrite, c.address));
    EXPECT_TRUE(Contains(report, std::string("Additional Information:\n") + c.line + "\n")) << report;
  }
}

TEST(CrashReport, ParametersFlagsAndUnknownCodes) {
  Crash crash;
  crash.record.ExceptionCode = 0x12345678;
  crash.record.ExceptionFlags = 1;
  crash.record.NumberParameters = 2;
  crash.record.ExceptionInformation[0] = 0xabc;
  crash.record.ExceptionInformation[1] = 7;
  std::string report = Report(crash, nullptr);
  EXPECT_TRUE(Contains(report, "(unknown module, base address: 0x00000000)")) << report;
  EXPECT_TRUE(Contains(report, ":\n\nUnknown exception code.\n\nAdditional Information:\n0x00000abc\n0x00000007\n\n"
                               "The exception is noncontinuable.\n\n"))
      << report;

  crash.record.NumberParameters = 0;
  crash.record.ExceptionFlags = 6;
  report = Report(crash);
  EXPECT_FALSE(Contains(report, "Additional Information:"));
  EXPECT_TRUE(Contains(report, "Unknown exception code.\n\nUnknown exception flags: 0x00000006\n\nContext:\n\n"));
}

// The count comes from the faulting side and is never trusted beyond the
// record's fifteen parameters.
TEST(CrashReport, ParameterCountIsClampedToTheRecord) {
  Crash crash;
  crash.record.ExceptionCode = EXCEPTION_BREAKPOINT;
  crash.record.NumberParameters = 0xFFFFFFFF;
  for (int i = 0; i < EXCEPTION_MAXIMUM_PARAMETERS; ++i) crash.record.ExceptionInformation[i] = i;
  const std::string report = Report(crash);
  EXPECT_TRUE(Contains(report, "0x0000000e\n\nThe exception is continuable.")) << report;
  size_t lines = 0;
  for (size_t at = report.find("\n0x"); at != std::string::npos; at = report.find("\n0x", at + 1)) ++lines;
  EXPECT_EQ(lines, 15u);
}

TEST(CrashReport, ExceptionCodeTexts) {
  EXPECT_STREQ(GetExceptionCodeText(0xC0000094), "The thread tried to divide an integer value by an integer divisor of zero.");
  EXPECT_STREQ(GetExceptionCodeText(0xC00000FD), "The thread used up its stack.");
  EXPECT_STREQ(GetExceptionCodeText(0x80000003), "A breakpoint was encountered.");
  EXPECT_STREQ(GetExceptionCodeText(0x12345678), "Unknown exception code.");
}

TEST(CrashReport, SelectedSectionsInOrder) {
  Crash crash;
  crash.record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
  crash.context.ContextFlags = 0x10007;  // control, integer, segments
  crash.context.SegGs = 0x2b;
  crash.context.Eax = 0xdeadbeef;
  crash.context.Eip = 0x401a2b;
  crash.context.EFlags = 0x10246;
  const std::string report = Report(crash);
  const std::string context = report.substr(report.find("Context:\n\n"));
  EXPECT_EQ(context,
            "Context:\n\n"
            "Segment registers:\nGS: 0x0000002b\nFS: 0x00000000\nES: 0x00000000\nDS: 0x00000000\n\n"
            "Integer registers:\nEAX: 0xdeadbeef\nEBX: 0x00000000\nECX: 0x00000000\nEDX: 0x00000000\n"
            "EDI: 0x00000000\nESI: 0x00000000\n\n"
            "Control registers:\nEBP:    0x00000000\nEIP:    0x00401a2b\nESP:    0x00000000\n"
            "SegCS:  0x00000000\nSegSS:  0x00000000\nEFlags: 0x00010246\n\n");

  // a section needs the processor bit as well as its own
  crash.context.ContextFlags = 0x07;
  EXPECT_EQ(Report(crash).substr(report.find("Context:\n\n")), "Context:\n\n");
}

TEST(CrashReport, DebugFloatingPointAndExtendedSections) {
  Crash crash;
  crash.context.ContextFlags = 0x10010 | 0x10008 | 0x10020;
  crash.context.Dr7 = 0x400;
  crash.context.FloatSave.ControlWord = 0x37f;
  crash.context.FloatSave.ErrorSelector = 0x1234;  // not part of the report
  const long double values[8] = {1.5L, -2.25e10L, 0, 3.14159265358979L, 1e-300L, 6.0221e23L, -0.0L, 1e300L};
  for (int i = 0; i < 8; ++i) std::memcpy(crash.context.FloatSave.RegisterArea + 10 * i, &values[i], 10);
  for (int i = 0; i < MAXIMUM_SUPPORTED_EXTENSION; ++i) crash.context.ExtendedRegisters[i] = static_cast<BYTE>(i);
  const std::string report = Report(crash);

  EXPECT_TRUE(Contains(report, "Context:\n\nDebug Registers:\nDr0: 0x00000000\nDr1: 0x00000000\nDr2: 0x00000000\n"
                               "Dr3: 0x00000000\nDr6: 0x00000000\nDr7: 0x00000400\n\nFloating Point State:\n"));
  std::string registers = "Registers:\n";
  for (int i = 0; i < 8; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "  %d: %e\n", i, static_cast<double>(values[i]));
    registers += line;
  }
  EXPECT_TRUE(Contains(report, "Control:      0x0000037f\nStatus:       0x00000000\nTag:          0x00000000\n"
                               "ErrorOffset:  0x00000000\nDataOffset:   0x00000000\nDataSelector: 0x00000000\n" +
                                   registers + "Cr0NpxState: 0x00000000\n\nExtended registers:\n"))
      << report;
  EXPECT_FALSE(Contains(report, "00001234"));
  EXPECT_TRUE(Contains(report, "Extended registers:\n00010203 04050607 08090a0b 0c0d0e0f\n10111213 "));
  EXPECT_TRUE(report.size() > 2 && report.substr(report.size() - 38) == "\nf0f1f2f3 f4f5f6f7 f8f9fafb fcfdfeff\n\n");
}

TEST(CrashReport, ExtendedDumpOfZeroBytes) {
  Crash crash;
  crash.context.ContextFlags = 0x10020;
  const std::string report = Report(crash);
  EXPECT_TRUE(Contains(report, "Context:\n\nExtended registers:\n00000000 00000000 00000000 00000000\n"));
  size_t lines = 0;
  for (size_t at = report.find("\n00000000 00000000"); at != std::string::npos;
       at = report.find("\n00000000 00000000", at + 1))
    ++lines;
  EXPECT_EQ(lines, 32u);
}

TEST(ReportText, FormatsAsPrintfDoes) {
  char buffer[256];
  CReportText out(buffer, sizeof buffer);
  const double values[] = {0.0, 1.0, -1.5, 9.9999995, 123456789.0, 1e-5, 2.5e-310, 1.7976931348623157e308, 0.1};
  for (double value : values) {
    out.Clear();
    out.AppendScientific(value);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%e", value);
    EXPECT_STREQ(out.GetText(), expected) << value;
  }
  out.Clear();
  out.AppendHex(0xabc, 8);
  out.Append(" ");
  out.AppendHex(0x123456789ull, 8);
  out.Append(" ");
  out.AppendDecimal(-42);
  EXPECT_STREQ(out.GetText(), "00000abc 123456789 -42");
}

TEST(ReportText, CutsOffAtItsCapacity) {
  char buffer[8];
  CReportText out(buffer, sizeof buffer);
  out.Append("0123456789");
  EXPECT_STREQ(out.GetText(), "0123456");
  out.AppendHex(0xff, 8);
  EXPECT_EQ(out.GetLength(), 7u);
}
