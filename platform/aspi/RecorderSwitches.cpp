#include "RecorderSwitches.h"

#include <cstdlib>
#include <sstream>

namespace twl::aspi {
namespace {

std::string Switch(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool ParseNumber(const std::string& text, uint64_t& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 12) return false;
  value = std::stoull(text);
  return true;
}

void ReadKind(RecorderSwitches& switches) {
  const std::string recorder = Switch("TWL_RECORDER");
  if (recorder.empty() || recorder == "sg") return;
  if (recorder == "none") {
    switches.kind = RecorderKind::None;
  } else if (recorder.rfind("emulated:", 0) == 0 && recorder.size() > 9) {
    switches.kind = RecorderKind::Emulated;
    switches.discPath = recorder.substr(9);
  } else {
    switches.problems += "TWL_RECORDER=" + recorder + " is not emulated:PATH, sg or none; ";
  }
}

void ReadAdapter(RecorderSwitches& switches) {
  const std::string adapter = Switch("TWL_RECORDER_ADAPTER");
  if (adapter.empty()) return;
  const auto colon = adapter.find(':');
  switches.adapterIdentifier = adapter.substr(0, colon).substr(0, 16);
  uint64_t targets = 0;
  if (colon != std::string::npos) {
    if (ParseNumber(adapter.substr(colon + 1), targets) && targets <= 255)
      switches.adapterTargets = static_cast<uint8_t>(targets);
    else
      switches.problems += "TWL_RECORDER_ADAPTER targets must be 0 to 255; ";
  }
}

void ReadMedium(RecorderSwitches& switches) {
  const std::string medium = Switch("TWL_RECORDER_MEDIUM");
  if (medium.empty()) return;
  const auto colon = medium.find(':');
  const std::string kind = medium.substr(0, colon);
  if (kind == "cdrw") switches.rewritable = true;
  else if (kind != "cdr") switches.problems += "TWL_RECORDER_MEDIUM must be cdr or cdrw; ";
  uint64_t blocks = 0;
  if (colon != std::string::npos) {
    if (ParseNumber(medium.substr(colon + 1), blocks) && blocks > 0 && blocks < 450000)
      switches.leadOutStart = static_cast<uint32_t>(blocks);
    else
      switches.problems += "TWL_RECORDER_MEDIUM blocks must be 1 to 449999; ";
  }
}

void ReadFaults(RecorderSwitches& switches) {
  std::istringstream list(Switch("TWL_RECORDER_FAULTS"));
  std::string fault;
  while (std::getline(list, fault, ',')) {
    if (fault.empty()) continue;
    const auto equals = fault.find('=');
    const std::string name = fault.substr(0, equals);
    uint64_t value = 0;
    const bool hasValue = equals != std::string::npos && ParseNumber(fault.substr(equals + 1), value);
    RecorderFaults& faults = switches.faults;
    if (name == "nomedium" && equals == std::string::npos) faults.noMedium = true;
    else if (name == "unitattention" && equals == std::string::npos) faults.unitAttention = true;
    else if (name == "notready" && hasValue) faults.notReady = static_cast<uint32_t>(value);
    else if (name == "writeerror" && hasValue) faults.writeError = static_cast<int64_t>(value);
    else if (name == "underrun" && hasValue) faults.underrun = static_cast<int64_t>(value);
    else if (name == "longwrite" && hasValue) faults.longWrite = static_cast<uint32_t>(value);
    else switches.problems += "TWL_RECORDER_FAULTS: unknown fault " + fault + "; ";
  }
}

}  // namespace

std::string InquiryText(const std::string& configured) {
  std::string text = configured.substr(0, 28);
  text.resize(28, ' ');
  return text;
}

RecorderSwitches ReadRecorderSwitches() {
  RecorderSwitches switches;
  ReadKind(switches);
  if (const std::string inquiry = Switch("TWL_RECORDER_INQUIRY"); !inquiry.empty()) switches.inquiry = inquiry;
  ReadAdapter(switches);
  ReadMedium(switches);
  ReadFaults(switches);
  switches.repliesPath = Switch("TWL_RECORDER_REPLIES");
  switches.logPath = Switch("TWL_RECORDER_LOG");
  return switches;
}

}  // namespace twl::aspi
