#include "platform/mfc/Archive.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr uint16_t kNullTag = 0;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000;
// Class names of the format are short; a longer one is no class.
constexpr uint16_t kLongestClassName = 64;
constexpr uint16_t kWideMarker = 0xFFFE;

// Through the layer's own conversion, which marks unpaired surrogates.
std::string Utf8OfUnits(const std::vector<uint16_t>& units) {
  if (units.empty()) return {};
  const std::u16string wide(units.begin(), units.end());
  const int length = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, text.data(), bytes, nullptr, nullptr);
  return text;
}

}  // namespace

CArchive::CArchive(const uint8_t* data, size_t size) : m_data(data), m_size(size) { m_loaded.emplace_back(); }

CArchive::~CArchive() = default;

void CArchive::Read(void* buffer, size_t length) {
  if (length > Remaining()) throw CArchiveException(CArchiveException::endOfFile);
  if (length) std::memcpy(buffer, m_data + m_position, length);
  m_position += length;
}

CArchive& CArchive::operator>>(uint8_t& value) {
  Read(&value, 1);
  return *this;
}

CArchive& CArchive::operator>>(uint16_t& value) {
  uint8_t bytes[2];
  Read(bytes, sizeof bytes);
  value = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
  return *this;
}

CArchive& CArchive::operator>>(int16_t& value) {
  uint16_t raw = 0;
  *this >> raw;
  value = static_cast<int16_t>(raw);
  return *this;
}

CArchive& CArchive::operator>>(uint32_t& value) {
  uint8_t bytes[4];
  Read(bytes, sizeof bytes);
  value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
          static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  return *this;
}

CArchive& CArchive::operator>>(int32_t& value) {
  uint32_t raw = 0;
  *this >> raw;
  value = static_cast<int32_t>(raw);
  return *this;
}

uint32_t CArchive::ReadStringLength(bool& wide) {
  uint8_t byteLength = 0;
  *this >> byteLength;
  if (byteLength < 0xFF) return byteLength;
  uint16_t wordLength = 0;
  *this >> wordLength;
  if (wordLength == kWideMarker) {
    if (wide) throw CArchiveException(CArchiveException::generic);  // two markers
    wide = true;
    return ReadStringLength(wide);
  }
  if (wordLength < 0xFFFF) return wordLength;
  uint32_t length = 0;
  *this >> length;
  if (length == 0xFFFFFFFF) throw CArchiveException(CArchiveException::generic);
  return length;
}

CArchive& CArchive::operator>>(std::string& text) {
  bool wide = false;
  const uint64_t length = ReadStringLength(wide);
  const uint64_t bytes = wide ? length * 2 : length;
  if (bytes > Remaining()) throw CArchiveException(CArchiveException::endOfFile);
  if (!wide) {
    text.assign(reinterpret_cast<const char*>(m_data + m_position), static_cast<size_t>(bytes));
    m_position += static_cast<size_t>(bytes);
    return *this;
  }
  std::vector<uint16_t> units(static_cast<size_t>(length));
  for (uint16_t& unit : units) *this >> unit;
  text = Utf8OfUnits(units);
  return *this;
}

const CRuntimeClass* CArchive::ReadNewClass() {
  uint16_t schema = 0;
  uint16_t nameLength = 0;
  *this >> schema >> nameLength;
  if (nameLength == 0 || nameLength > kLongestClassName) throw CArchiveException(CArchiveException::badClass);
  std::string name(nameLength, '\0');
  Read(name.data(), name.size());
  const CRuntimeClass* runtimeClass = CRuntimeClass::FromName(name.c_str());
  if (!runtimeClass || !runtimeClass->m_pfnCreateObject) throw CArchiveException(CArchiveException::badClass);
  if (runtimeClass->m_wSchema != schema) throw CArchiveException(CArchiveException::badSchema);
  m_loaded.emplace_back(runtimeClass);
  return runtimeClass;
}

CObject* CArchive::ReadObject(const CRuntimeClass* wanted) {
  uint16_t tag = 0;
  *this >> tag;
  uint32_t index = tag;
  if (tag == kBigObjectTag) {
    *this >> index;
  } else if (tag != kNewClassTag && (tag & kClassTag) != 0) {
    index = kBigClassTag | (tag & ~kClassTag);
  }

  if (tag == kNewClassTag) return MakeObject(ReadNewClass(), wanted);
  if (index & kBigClassTag) {
    const uint32_t classIndex = index & ~kBigClassTag;
    if (classIndex >= m_loaded.size() || !std::holds_alternative<const CRuntimeClass*>(m_loaded[classIndex]))
      throw CArchiveException(CArchiveException::badIndex);
    return MakeObject(std::get<const CRuntimeClass*>(m_loaded[classIndex]), wanted);
  }
  if (index == kNullTag) return nullptr;
  if (index >= m_loaded.size() || !std::holds_alternative<CObject*>(m_loaded[index]))
    throw CArchiveException(CArchiveException::badIndex);
  CObject* object = std::get<CObject*>(m_loaded[index]);
  if (wanted && !object->IsKindOf(wanted)) throw CArchiveException(CArchiveException::badClass);
  return object;
}

CObject* CArchive::MakeObject(const CRuntimeClass* runtimeClass, const CRuntimeClass* wanted) {
  if (wanted && !runtimeClass->IsDerivedFrom(wanted)) throw CArchiveException(CArchiveException::badClass);
  if (m_depth >= kMostNesting) throw CArchiveException(CArchiveException::tooDeep);
  m_owned.emplace_back(runtimeClass->CreateObject());
  CObject* object = m_owned.back().get();
  if (!object) throw CArchiveException(CArchiveException::generic);
  // Registered before its own fields are read, so that they may refer back
  // to it.
  m_loaded.emplace_back(object);
  ++m_depth;
  try {
    object->Serialize(*this);
  } catch (...) {
    --m_depth;
    throw;
  }
  --m_depth;
  return object;
}
