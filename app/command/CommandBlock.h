// Command blocks: the commands of one start of the program, packed into one
// self-contained run of bytes that can travel to another instance as it is.
// A block is the 32-bit length L (all records plus 4), the records back to
// back (type, data length n, n bytes of data; little-endian), and a type 0
// as end marker at offset L. Texts carry their zero byte.
//
// A block may come from another process: the walk never trusts a length,
// and a block taken from received bytes is refused when its length field
// claims more than arrived. Plain data; any thread.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "foundation/kernel/Str.h"

enum CommandType : DWORD {
  COMMAND_END = 0,
  COMMAND_ADD = 1,
  COMMAND_ADD_AND_SELECT = 2,
  COMMAND_LOOP = 3,
  COMMAND_SHUFFLE = 4,
  COMMAND_PLAY = 5,
  COMMAND_MINIMIZE = 6,
  COMMAND_LOAD_PLAYLIST = 7,
  COMMAND_INSTALL_SKIN = 8,
  COMMAND_INSTALL_AND_ACTIVATE_SKIN = 9,
};

// One record before packing: its type and data.
struct CommandRecord {
  DWORD type = COMMAND_END;
  std::vector<BYTE> data;
};

CommandRecord CreateCommandRecord(DWORD type, DWORD length, const void* data);
CommandRecord CreateDWordCommandRecord(DWORD type, DWORD value);
CommandRecord CreateStringCommandRecord(DWORD type, const char* text);

class CommandBlock {
 public:
  // The block's bytes: L + 4 of them.
  const BYTE* GetData() const { return m_Bytes.data(); }
  DWORD GetSize() const { return static_cast<DWORD>(m_Bytes.size()); }
  // The length field L.
  DWORD GetLength() const;

 private:
  friend std::unique_ptr<CommandBlock> PackCommandRecords(const std::vector<CommandRecord>& records);
  friend std::unique_ptr<CommandBlock> CopyCommandBlock(const void* data, DWORD size);
  std::vector<BYTE> m_Bytes;
};

// A new block holding the records in list order.
std::unique_ptr<CommandBlock> PackCommandRecords(const std::vector<CommandRecord>& records);
// A copy of the block at `data`, which holds `size` bytes (what arrived):
// its own L + 4 bytes. Null when fewer than 8 bytes arrived, when L + 4 is
// more than arrived, or when L cannot hold the length field itself (1 to 3).
std::unique_ptr<CommandBlock> CopyCommandBlock(const void* data, DWORD size);
inline std::unique_ptr<CommandBlock> CopyCommandBlock(const CommandBlock& block) {
  return CopyCommandBlock(block.GetData(), block.GetSize());
}

// One record inside a block; `data` points into the block.
struct CommandRecordView {
  DWORD type;
  DWORD length;
  const BYTE* data;
};

// Where the walk stands: the offset of the next record, none at the end.
struct CommandCursor {
  const CommandBlock* block = nullptr;
  DWORD offset = 0;
};

// The cursor on the first record; none when L is 0 or the first type is 0.
std::optional<CommandCursor> GetFirstCommandRecord(const CommandBlock& block);
// The record at the cursor, which moves on (to none after the last). A
// record whose header or data runs past L ends the walk: it and whatever
// follows it are not returned.
std::optional<CommandRecordView> GetNextCommandRecord(std::optional<CommandCursor>& cursor);

// Every record of the block that lies inside its length, in order.
std::vector<CommandRecordView> ListCommandRecords(const CommandBlock& block);

// The text of a text record: false when its data holds no zero byte.
bool GetCommandText(const CommandRecordView& record, CStr& text);
// The value of a 32-bit record: false when its data is shorter.
bool GetCommandValue(const CommandRecordView& record, DWORD& value);
