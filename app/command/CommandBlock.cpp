#include "app/command/CommandBlock.h"

#include <cstring>

namespace {

constexpr DWORD kLengthFieldSize = 4;
constexpr DWORD kRecordHeaderSize = 8;

DWORD ReadDWord(const BYTE* at) {
  return static_cast<DWORD>(at[0]) | static_cast<DWORD>(at[1]) << 8 | static_cast<DWORD>(at[2]) << 16 |
         static_cast<DWORD>(at[3]) << 24;
}

void AppendDWord(std::vector<BYTE>& bytes, DWORD value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(value >> shift));
}

}  // namespace

CommandRecord CreateCommandRecord(DWORD type, DWORD length, const void* data) {
  CommandRecord record;
  record.type = type;
  record.data.resize(length);
  if (data && length) std::memcpy(record.data.data(), data, length);
  return record;
}

CommandRecord CreateDWordCommandRecord(DWORD type, DWORD value) {
  CommandRecord record;
  record.type = type;
  AppendDWord(record.data, value);
  return record;
}

CommandRecord CreateStringCommandRecord(DWORD type, const char* text) {
  const size_t length = text ? std::strlen(text) : 0;
  CommandRecord record;
  record.type = type;
  record.data.assign(text, text + length);
  record.data.push_back(0);
  return record;
}

DWORD CommandBlock::GetLength() const { return ReadDWord(m_Bytes.data()); }

std::unique_ptr<CommandBlock> PackCommandRecords(const std::vector<CommandRecord>& records) {
  DWORD length = kLengthFieldSize;
  for (const CommandRecord& record : records) length += kRecordHeaderSize + static_cast<DWORD>(record.data.size());
  auto block = std::make_unique<CommandBlock>();
  block->m_Bytes.reserve(length + kLengthFieldSize);
  AppendDWord(block->m_Bytes, length);
  for (const CommandRecord& record : records) {
    AppendDWord(block->m_Bytes, record.type);
    AppendDWord(block->m_Bytes, static_cast<DWORD>(record.data.size()));
    block->m_Bytes.insert(block->m_Bytes.end(), record.data.begin(), record.data.end());
  }
  AppendDWord(block->m_Bytes, COMMAND_END);
  return block;
}

std::unique_ptr<CommandBlock> CopyCommandBlock(const void* data, DWORD size) {
  if (!data || size < 2 * kLengthFieldSize) return nullptr;
  const BYTE* bytes = static_cast<const BYTE*>(data);
  const DWORD length = ReadDWord(bytes);
  if (length != 0 && length < kLengthFieldSize) return nullptr;
  const unsigned long long needed = static_cast<unsigned long long>(length) + kLengthFieldSize;
  if (needed > size) return nullptr;
  auto block = std::make_unique<CommandBlock>();
  block->m_Bytes.assign(bytes, bytes + needed);
  return block;
}

std::optional<CommandCursor> GetFirstCommandRecord(const CommandBlock& block) {
  const DWORD length = block.GetLength();
  if (length == 0 || ReadDWord(block.GetData() + kLengthFieldSize) == COMMAND_END) return std::nullopt;
  return CommandCursor{&block, kLengthFieldSize};
}

std::optional<CommandRecordView> GetNextCommandRecord(std::optional<CommandCursor>& cursor) {
  if (!cursor) return std::nullopt;
  const CommandBlock& block = *cursor->block;
  const unsigned long long length = block.GetLength();
  const DWORD offset = cursor->offset;
  cursor.reset();
  // The header and the data must both end at or before L; what does not
  // ends the walk.
  if (offset + static_cast<unsigned long long>(kRecordHeaderSize) > length) return std::nullopt;
  const BYTE* at = block.GetData() + offset;
  CommandRecordView record{ReadDWord(at), ReadDWord(at + 4), at + kRecordHeaderSize};
  if (record.type == COMMAND_END) return std::nullopt;
  const unsigned long long next = offset + static_cast<unsigned long long>(kRecordHeaderSize) + record.length;
  if (next > length) return std::nullopt;
  // The end marker sits at L, inside the block, so the next type can be read.
  if (ReadDWord(block.GetData() + next) != COMMAND_END) cursor = CommandCursor{&block, static_cast<DWORD>(next)};
  return record;
}

std::vector<CommandRecordView> ListCommandRecords(const CommandBlock& block) {
  std::vector<CommandRecordView> records;
  std::optional<CommandCursor> cursor = GetFirstCommandRecord(block);
  while (std::optional<CommandRecordView> record = GetNextCommandRecord(cursor)) records.push_back(*record);
  return records;
}

bool GetCommandText(const CommandRecordView& record, CStr& text) {
  const void* zero = record.length ? std::memchr(record.data, 0, record.length) : nullptr;
  if (!zero) return false;
  text = CStr(reinterpret_cast<const char*>(record.data));
  return true;
}

bool GetCommandValue(const CommandRecordView& record, DWORD& value) {
  if (record.length < 4) return false;
  value = ReadDWord(record.data);
  return true;
}
