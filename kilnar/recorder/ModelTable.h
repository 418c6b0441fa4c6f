// The data of drive identification: the model table, whose entries turn an
// INQUIRY model name into a type number, and the driver names a registry
// override may give. Matching: letters without regard to case, every other
// byte exactly; every entry or name that matches sets the type, so the
// last match wins.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

enum class ModelField : uint8_t {
  Name,     // the whole model name (vendor and product)
  Product,  // the model name from its ninth character on
};

struct ModelEntry {
  // As many characters as the text has; or the text and its end, so the
  // model name must end there too.
  static constexpr uint8_t kWholeText = 0;
  static constexpr uint8_t kWithEnd = 0xFF;

  uint16_t type;
  const char* text;
  ModelField field;
  uint8_t compared;  // kWholeText, kWithEnd or the first N characters
};

struct DriverName {
  const char* name;
  uint16_t type;
};

std::span<const ModelEntry> ModelTable();
std::span<const DriverName> DriverNames();

constexpr uint16_t kUnidentifiedType = 999;

// The type the model table gives a model name (999 when nothing matches).
uint16_t TypeFromModelTable(const std::string& modelName);
// The type a registry override value gives: every driver name whose first
// characters, as many as the value has, equal it; 999 when none does.
uint16_t TypeFromDriverName(const std::string& value);
// Whether one entry matches the model name.
bool ModelEntryMatches(const ModelEntry& entry, const std::string& modelName);
