// A command block as another instance sends it (WM_COPYDATA's bytes): the
// copy is refused or holds exactly its own L + 4 bytes, and the walk and
// the readers of texts and values stay inside the copy. Anything else (a
// crash, a sanitizer report, a record outside the block) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/command/CommandBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Exactly the bytes that arrived, so that a read beyond them is seen.
  std::vector<BYTE> received(data, data + size);
  std::unique_ptr<CommandBlock> block = CopyCommandBlock(received.data(), static_cast<DWORD>(received.size()));
  if (!block) return 0;
  if (block->GetSize() > size || block->GetSize() != static_cast<size_t>(block->GetLength()) + 4) std::abort();
  const BYTE* begin = block->GetData();
  const BYTE* end = begin + block->GetLength();
  for (const CommandRecordView& record : ListCommandRecords(*block)) {
    if (record.data < begin || record.data + record.length > end) std::abort();
    CStr text;
    DWORD value = 0;
    if (GetCommandText(record, text) && text.GetLength() >= record.length) std::abort();
    GetCommandValue(record, value);
  }
  return 0;
}
