#include "foundation/kernel/Str.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>

#include "foundation/kernel/MemoryError.h"

struct CStr::Buffer {
  std::atomic<int> references;
  size_t length;
  size_t capacity;
  char* Text() { return reinterpret_cast<char*>(this + 1); }
};

CStr::Buffer* CStr::Allocate(size_t capacity) {
  void* memory = ::operator new(sizeof(Buffer) + capacity + 1, std::nothrow);
  if (!memory) ThrowMemoryError();
  Buffer* buffer = new (memory) Buffer;
  buffer->references.store(1, std::memory_order_relaxed);
  buffer->length = 0;
  buffer->capacity = capacity;
  buffer->Text()[0] = '\0';
  return buffer;
}

CStr::CStr(const char* text) : CStr(text, text ? std::strlen(text) : 0) {}

CStr::CStr(const char* text, size_t length) {
  if (length == 0) return;
  m_Buffer = Allocate(length);
  std::memcpy(m_Buffer->Text(), text, length);
  m_Buffer->Text()[length] = '\0';
  m_Buffer->length = length;
}

CStr::CStr(const CStr& other) noexcept : m_Buffer(other.m_Buffer) {
  if (m_Buffer) m_Buffer->references.fetch_add(1, std::memory_order_relaxed);
}

CStr::CStr(CStr&& other) noexcept : m_Buffer(other.m_Buffer) { other.m_Buffer = nullptr; }

CStr& CStr::operator=(const CStr& other) noexcept {
  if (other.m_Buffer) other.m_Buffer->references.fetch_add(1, std::memory_order_relaxed);
  Release();
  m_Buffer = other.m_Buffer;
  return *this;
}

CStr& CStr::operator=(CStr&& other) noexcept {
  if (this != &other) {
    Release();
    m_Buffer = other.m_Buffer;
    other.m_Buffer = nullptr;
  }
  return *this;
}

CStr& CStr::operator=(const char* text) { return *this = CStr(text); }

CStr::~CStr() { Release(); }

void CStr::Release() noexcept {
  if (!m_Buffer) return;
  if (m_Buffer->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    m_Buffer->~Buffer();
    ::operator delete(m_Buffer);
  }
  m_Buffer = nullptr;
}

CStr CStr::Format(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list measure;
  va_copy(measure, arguments);
  int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  CStr result;
  if (length > 0) {
    result.m_Buffer = Allocate(static_cast<size_t>(length));
    std::vsnprintf(result.m_Buffer->Text(), static_cast<size_t>(length) + 1, format, arguments);
    result.m_Buffer->length = static_cast<size_t>(length);
  }
  va_end(arguments);
  return result;
}

const char* CStr::c_str() const noexcept { return m_Buffer ? m_Buffer->Text() : ""; }

size_t CStr::GetLength() const noexcept { return m_Buffer ? m_Buffer->length : 0; }

char* CStr::Reserve(size_t length) {
  const bool shared = m_Buffer && m_Buffer->references.load(std::memory_order_acquire) != 1;
  if (m_Buffer && !shared && m_Buffer->capacity >= length) return m_Buffer->Text();
  const size_t current = GetLength();
  size_t capacity = length;
  if (m_Buffer && !shared) capacity = length + length / 2;  // growing a text of our own: leave room
  Buffer* grown = Allocate(capacity);
  std::memcpy(grown->Text(), c_str(), current + 1);
  grown->length = current;
  Release();
  m_Buffer = grown;
  return grown->Text();
}

CStr& CStr::Append(const char* text, size_t length) {
  if (length == 0) return *this;
  if (!m_Buffer) return *this = CStr(text, length);
  const size_t current = GetLength();
  // The text appended may lie inside our own buffer, which Reserve may move:
  // keep that buffer alive until the bytes are copied.
  std::less_equal<const char*> notAfter;
  const char* begin = m_Buffer->Text();
  CStr keep;
  if (notAfter(begin, text) && notAfter(text, begin + m_Buffer->capacity)) keep = *this;
  char* target = Reserve(current + length);
  std::memmove(target + current, text, length);
  target[current + length] = '\0';
  m_Buffer->length = current + length;
  return *this;
}

CStr& CStr::operator+=(const CStr& other) { return Append(other.c_str(), other.GetLength()); }

CStr& CStr::operator+=(const char* text) { return text ? Append(text, std::strlen(text)) : *this; }

CStr operator+(const CStr& left, const CStr& right) {
  CStr result(left);
  return result += right;
}

CStr operator+(const CStr& left, const char* right) {
  CStr result(left);
  return result += right;
}

CStr operator+(const char* left, const CStr& right) {
  CStr result(left);
  return result += right;
}

bool operator==(const CStr& left, const CStr& right) noexcept {
  return left.m_Buffer == right.m_Buffer ||
         (left.GetLength() == right.GetLength() && std::memcmp(left.c_str(), right.c_str(), left.GetLength()) == 0);
}

bool operator==(const CStr& left, const char* right) noexcept { return std::strcmp(left.c_str(), right ? right : "") == 0; }
