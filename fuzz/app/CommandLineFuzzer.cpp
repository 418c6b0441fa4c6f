// The command-line grammar on arbitrary text (up to the first zero byte,
// as the program receives its line). Every line parses; a block that comes
// out must be whole: its length field covers exactly its records, every
// text record holds its zero, and a copy taken as another instance takes
// it is accepted with the same records. Anything else (a crash, a
// sanitizer report, a block that breaks these rules) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/command/CommandBlock.h"
#include "app/command/CommandLine.h"

namespace {

bool IsTextType(DWORD type) { return type == 1 || type == 2 || (type >= 7 && type <= 9); }

void CheckBlock(const CommandBlock& block) {
  if (block.GetSize() != block.GetLength() + 4) std::abort();
  DWORD covered = 4;
  size_t count = 0;
  for (const CommandRecordView& record : ListCommandRecords(block)) {
    covered += 8 + record.length;
    ++count;
    CStr text;
    if (IsTextType(record.type) && !GetCommandText(record, text)) std::abort();
    if (record.type < 1 || record.type > 9) std::abort();
  }
  if (covered != block.GetLength() || count == 0) std::abort();
  std::unique_ptr<CommandBlock> copy = CopyCommandBlock(block);
  if (!copy || copy->GetSize() != block.GetSize() ||
      std::memcmp(copy->GetData(), block.GetData(), block.GetSize()) != 0 || ListCommandRecords(*copy).size() != count)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const ParsedCommandLine parsed = ParseCommandLine(line.c_str());
  if (parsed.block) CheckBlock(*parsed.block);
  return 0;
}
