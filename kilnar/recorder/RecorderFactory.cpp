// ScsiMan::CreateDevice: the drive's type number chooses the class of the
// recorder object, which is then made and opened.
#include "kilnar/recorder/AspiTarget.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/RecorderClassTable.h"
#include "kilnar/recorder/ScsiDrive.h"
#include "kilnar/recorder/ScsiMan.h"

int ScsiMan::IdentifyAt(int hostAdapter, int target) {
  if (hostAdapter < 0 || target < 0 || !FindHostAdapters()) return -1;
  ScsiDrive drive(this);
  if (!drive.Open(static_cast<uint16_t>(hostAdapter), static_cast<uint16_t>(target))) return -1;
  return drive.GetType();
}

const char* ScsiMan::ChooseClass(int type, int hostAdapter, int target) {
  if (type < 0) return nullptr;
  const uint16_t number = static_cast<uint16_t>(type);
  if (number == 20 || number == 21 || FindRecorderClassRow(number)) return RecorderClassFor(number, 0, true);
  AspiTarget adapter(static_cast<uint16_t>(hostAdapter), static_cast<uint16_t>(target), 0);
  uint16_t targets = 0;
  const bool answered = adapter.HostAdapterInquiry(targets) != nullptr;
  return RecorderClassFor(number, targets, answered);
}

std::unique_ptr<ScsiDrive> ScsiMan::CreateDevice(int hostAdapter, int target) {
  if (hostAdapter < 0 || target < 0) return nullptr;
  const int type = IdentifyAt(hostAdapter, target);
  DebugTrace("scsiman: typ: %d", type);
  const char* className = ChooseClass(type, hostAdapter, target);
  if (!className) return nullptr;
  if (const RecorderClassRow* row = FindRecorderClassRow(static_cast<uint16_t>(type)); row && row->trace)
    DebugTrace(row->trace);
  const RecorderMaker maker = FindRecorderMaker(className);
  if (!maker) {
    m_ErrorText = std::string("The recorder class ") + className + " cannot be made yet";
    return nullptr;
  }
  std::unique_ptr<ScsiDrive> device = maker(this);
  if (!device || !device->Open(static_cast<uint16_t>(hostAdapter), static_cast<uint16_t>(target))) return nullptr;
  return device;
}
