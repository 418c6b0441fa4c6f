// Reading the class library's archive format (the stored form of
// serializable objects): little-endian numbers, length-prefixed strings and
// objects introduced by tags, which name a new class (with its schema and
// name), a class already met, an object already read, or no object. Only
// loading is offered. The archive owns every object it makes, and deletes
// them with itself. Every fault of the bytes (a cut, an unknown class, a
// schema or tag that does not fit, objects nested too deep) throws a
// CArchiveException. Belongs to one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/mfc/Object.h"

class CArchiveException {
 public:
  enum Cause { none, generic, badClass, badSchema, endOfFile, badIndex, tooDeep };
  explicit CArchiveException(Cause cause) : m_cause(cause) {}
  Cause m_cause;
};

class CArchive {
 public:
  // Objects read inside the Serialize of others, this deep at most.
  static constexpr int kMostNesting = 16;

  // Reads the bytes, which must stay alive as long as the archive.
  CArchive(const uint8_t* data, size_t size);
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;
  ~CArchive();

  bool IsLoading() const { return true; }
  bool IsStoring() const { return false; }

  void Read(void* buffer, size_t length);
  CArchive& operator>>(uint8_t& value);
  CArchive& operator>>(int16_t& value);
  CArchive& operator>>(uint16_t& value);
  CArchive& operator>>(int32_t& value);
  CArchive& operator>>(uint32_t& value);
  // A string: its length (one byte, or 0xFF and two bytes, or 0xFFFF and
  // four), then its bytes; a length marked as UTF-16 gives UTF-16 units,
  // which the text holds as UTF-8.
  CArchive& operator>>(std::string& text);

  // The next object, which must be of the class asked for or derived from
  // it (any class when null); null for the null tag.
  CObject* ReadObject(const CRuntimeClass* wanted);
  size_t Remaining() const { return m_size - m_position; }

 private:
  using Loaded = std::variant<std::monostate, const CRuntimeClass*, CObject*>;

  const CRuntimeClass* ReadNewClass();
  uint32_t ReadStringLength(bool& wide);
  CObject* MakeObject(const CRuntimeClass* runtimeClass, const CRuntimeClass* wanted);

  const uint8_t* m_data;
  size_t m_size;
  size_t m_position = 0;
  int m_depth = 0;
  // Index 0 is the null object; classes and objects take the next index
  // as they are met.
  std::vector<Loaded> m_loaded;
  std::vector<std::unique_ptr<CObject>> m_owned;
};
