// Which recorder class each type number selects: the factory's own types
// (20 and 21) and the class table of types 1 to 73, each row with the
// driver names that give it and the trace text the factory passes before
// creating it. Classes are made through makers registered by class name;
// a class without a maker cannot be created yet.
#pragma once

#include <cstdint>
#include <memory>

class ScsiDrive;
class ScsiMan;

struct RecorderClassRow {
  uint16_t type;
  const char* driverNames;  // as the override names them, " and " between two
  const char* className;
  const char* trace;        // null: the factory traces nothing for it
};

using RecorderMaker = std::unique_ptr<ScsiDrive> (*)(ScsiMan* manager);

// The row of a type number, or null for the factory's own types and the
// numbers without a class (0, 6, 7, 8, 10, above 73, 999).
const RecorderClassRow* FindRecorderClassRow(uint16_t type);
// Every row, in type order.
const RecorderClassRow* RecorderClassRows(size_t& count);

// The class the factory makes for a type number on an adapter with that
// many targets (0 when the adapter did not answer its inquiry).
const char* RecorderClassFor(uint16_t type, uint16_t adapterTargets, bool adapterAnswered);

// Registered once per class, at start-up.
bool RegisterRecorderMaker(const char* className, RecorderMaker maker);
RecorderMaker FindRecorderMaker(const char* className);
