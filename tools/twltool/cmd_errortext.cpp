#include <cstdint>
#include <cstdio>
#include <string>

#include "display/directx/DirectXErrorTexts.h"
#include "driver/Command.h"
#include "driver/Numbers.h"

namespace {

// A result code as 32 bits: unsigned decimal or "0x" hexadecimal, or a
// negative decimal as HRESULTs are often written.
bool ParseCode(const std::string& text, DWORD& code) {
  uint64_t unsignedValue = 0;
  if (tool::ParseUnsigned(text, unsignedValue, 0xFFFFFFFFu)) {
    code = static_cast<DWORD>(unsignedValue);
    return true;
  }
  int64_t signedValue = 0;
  if (!tool::ParseSigned(text, signedValue) || signedValue < INT32_MIN || signedValue >= 0) return false;
  code = static_cast<DWORD>(static_cast<int32_t>(signedValue));
  return true;
}

int PrintRow(const char* command, const tool::Args& args, const char* (*key)(DWORD), CStr (*text)(DWORD)) {
  DWORD code = 0;
  if (args.size() != 1 || !ParseCode(args[0], code))
    return tool::Fail(std::string(command) + " takes one result code (decimal, 0x hexadecimal or negative decimal)");
  std::printf("%s\t%s\n", key(code), text(code).c_str());
  return 0;
}

}  // namespace

TOOL_COMMAND(RunDdText, "ddtext",
             "CODE  print the key and the text of a DirectDraw result code, separated by a tab, on one line "
             "(unknown codes give the unknown-code row)") {
  return PrintRow("ddtext", args, &GetDirectDrawErrorKey, &GetDirectDrawErrorText);
}

TOOL_COMMAND(RunDsText, "dstext",
             "CODE  print the key and the text of a DirectSound result code, separated by a tab, on one line "
             "(unknown codes give the unknown-code row)") {
  return PrintRow("dstext", args, &GetDirectSoundErrorKey, &GetDirectSoundErrorText);
}
