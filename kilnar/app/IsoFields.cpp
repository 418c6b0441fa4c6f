#include "kilnar/app/IsoFields.h"

#include <cstring>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/IsoDates.h"
#include "kilnar/recorder/WideText.h"

void PutIsoText(uint8_t* field, size_t width, std::string_view text) {
  std::memset(field, ' ', width);
  const std::string cut = CutUtf8(text, width);
  std::memcpy(field, cut.data(), cut.size());
}

void PutJolietText(uint8_t* field, size_t width, std::string_view text) {
  const size_t units = width / 2;
  for (size_t i = 0; i < units; ++i) SetBigEndian16(field + 2 * i, 0x0020);
  const std::u16string cut = CutUtf16(WideOf(text), units);
  for (size_t i = 0; i < cut.size(); ++i) SetBigEndian16(field + 2 * i, cut[i]);
}

void PutDirRecord(uint8_t* record, uint8_t length, const DirRecord& fields) {
  std::memset(record, 0, length);
  record[0] = length;
  SetBoth32(record + 2, fields.extent);
  SetBoth32(record + 10, fields.dataLength);
  FormatRecordDate(record + 18, fields.time);
  record[25] = fields.flags;
  SetBothEndian16(record + 28, 1);
  record[32] = fields.identifierLength;
  if (fields.identifierLength) std::memcpy(record + 33, fields.identifier, fields.identifierLength);
}
