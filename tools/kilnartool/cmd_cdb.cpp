#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "QuotedText.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "kilnar/recorder/ScsiDrive.h"
#include "kilnar/recorder/ScsiMan.h"

namespace {

constexpr uint64_t kLargestPollCount = 1000000;
constexpr size_t kLargestCdb = 32;

struct CdbCommand {
  std::vector<uint8_t> cdb;
  int direction = kNoData;
  uint32_t dataLength = 0;
  std::vector<uint8_t> dataOut;
  bool noWait = false;
};

bool ParseHexByte(const std::string& text, uint8_t& value) {
  if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    return false;
  value = static_cast<uint8_t>(std::stoul(text, nullptr, 16));
  return true;
}

bool ReadDataFile(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

// One command's words: CDB bytes in hexadecimal and its options.
std::string ParseCommand(const std::vector<std::string>& words, CdbCommand& command) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--nowait") {
      command.noWait = true;
    } else if (word == "--in" && i + 1 < words.size()) {
      uint64_t length = 0;
      if (!tool::ParseUnsigned(words[++i], length, 0xFFFFFFFFu)) return "--in takes a 32-bit length";
      command.direction = kDataIn;
      command.dataLength = static_cast<uint32_t>(length);
    } else if (word == "--out" && i + 1 < words.size()) {
      if (!ReadDataFile(words[++i], command.dataOut)) return "cannot read " + words[i];
      command.direction = kDataOut;
      command.dataLength = static_cast<uint32_t>(command.dataOut.size());
    } else {
      uint8_t byte = 0;
      if (!ParseHexByte(word, byte)) return "'" + word + "' is no CDB byte (two hexadecimal digits)";
      command.cdb.push_back(byte);
    }
  }
  if (command.cdb.empty()) return "a command has no CDB bytes";
  if (command.cdb.size() > kLargestCdb) return "a CDB of more than 32 bytes";
  return "";
}

std::string DataHex(const uint8_t* bytes, uint32_t count) {
  std::string text;
  char digits[4];
  for (uint32_t i = 0; i < count; ++i) {
    std::snprintf(digits, sizeof digits, " %02x", bytes[i]);
    text += digits;
  }
  return text;
}

void RunOne(ScsiDrive& drive, const CdbCommand& command, int number) {
  uint8_t* buffer = drive.GetTransferBuffer();
  if (command.direction == kDataOut && buffer)
    std::memcpy(buffer, command.dataOut.data(),
                std::min<size_t>(command.dataOut.size(), ScsiDrive::kTransferBufferSize));
  if (command.noWait) drive.SetNoWait();
  int16_t status = drive.ExecCommand(static_cast<int>(command.cdb.size()), command.cdb.data(), command.dataLength,
                                     command.direction);
  std::printf("command %d\n", number);
  if (command.noWait && status == 0) {
    uint64_t polls = 0;
    do {
      status = drive.Poll();
      ++polls;
      if (status == 1 && polls > 100) Sleep(1);
    } while (status == 1 && polls < kLargestPollCount);
    std::printf("polls %llu\n", static_cast<unsigned long long>(polls));
  }
  const uint8_t* sense = drive.GetSenseData();
  std::printf("status %d\nsense %02x %02x %02x\n", status, sense[2] & 0x0F, sense[12], sense[13]);
  if (status != 0) std::printf("error %s\n", kilnartool::OneLine(drive.GetErrorText()).c_str());
  if (command.direction == kDataIn && buffer) {
    const uint32_t shown = std::min<uint32_t>(command.dataLength, ScsiDrive::kTransferBufferSize);
    std::printf("data%s\n", DataHex(buffer, shown).c_str());
  }
}

}  // namespace

TOOL_COMMAND(RunCdb, "cdb",
             "H T BYTE... [--in N | --out FILE] [--nowait] [; BYTE... ...]  open the drive at host adapter H, "
             "target T once and send each command block (hexadecimal bytes; commands separated by an argument "
             "`;`), waited or with --nowait polled to its end; prints `command K`, `polls N` (--nowait), "
             "`status S`, `sense KK AA QQ`, on failure `error TEXT`, with --in `data HEX...`") {
  uint64_t adapter = 0, target = 0;
  if (args.size() < 3 || !tool::ParseUnsigned(args[0], adapter, 255) || !tool::ParseUnsigned(args[1], target, 255))
    return tool::Fail("cdb takes H T BYTE... [--in N | --out FILE] [--nowait] [; BYTE... ...]");
  std::vector<CdbCommand> commands(1);
  std::vector<std::vector<std::string>> groups(1);
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == ";") groups.emplace_back();
    else groups.back().push_back(args[i]);
  }
  commands.resize(groups.size());
  for (size_t i = 0; i < groups.size(); ++i)
    if (const std::string problem = ParseCommand(groups[i], commands[i]); !problem.empty())
      return tool::Fail("command " + std::to_string(i + 1) + ": " + problem);
  ScsiMan manager;
  if (!manager.FindHostAdapters())
    return tool::Fail(*manager.GetErrorText() ? kilnartool::OneLine(manager.GetErrorText())
                                              : "no ASPI manager answers");
  ScsiDrive drive(&manager);
  if (!drive.Open(static_cast<uint16_t>(adapter), static_cast<uint16_t>(target)))
    return tool::Fail("cannot open the drive: " + kilnartool::OneLine(drive.GetErrorText()));
  for (size_t i = 0; i < commands.size(); ++i) RunOne(drive, commands[i], static_cast<int>(i + 1));
  return 0;
}
