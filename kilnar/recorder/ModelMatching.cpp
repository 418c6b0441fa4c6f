#include <cstring>

#include "kilnar/recorder/ModelTable.h"

namespace {

char FoldLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Compares `count` characters of two texts as C strings: past its end a
// text reads as zeros, so a shorter text differs from a longer one.
bool SameCharacters(const std::string& text, const char* other, size_t count) {
  const size_t otherLength = std::strlen(other);
  for (size_t i = 0; i < count; ++i) {
    const char a = i < text.size() ? text[i] : '\0';
    const char b = i < otherLength ? other[i] : '\0';
    if (FoldLetter(a) != FoldLetter(b)) return false;
    if (a == '\0') return true;
  }
  return true;
}

}  // namespace

bool ModelEntryMatches(const ModelEntry& entry, const std::string& modelName) {
  const std::string field = entry.field == ModelField::Name ? modelName
                            : modelName.size() > 8          ? modelName.substr(8)
                                                            : std::string();
  const size_t length = std::strlen(entry.text);
  const size_t count = entry.compared == ModelEntry::kWholeText ? length
                       : entry.compared == ModelEntry::kWithEnd ? length + 1
                                                                : entry.compared;
  return SameCharacters(field, entry.text, count);
}

uint16_t TypeFromModelTable(const std::string& modelName) {
  uint16_t type = kUnidentifiedType;
  for (const ModelEntry& entry : ModelTable())
    if (ModelEntryMatches(entry, modelName)) type = entry.type;
  return type;
}

uint16_t TypeFromDriverName(const std::string& value) {
  uint16_t type = kUnidentifiedType;
  for (const DriverName& driver : DriverNames())
    if (SameCharacters(value, driver.name, value.size())) type = driver.type;
  return type;
}
