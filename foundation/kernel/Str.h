// CStr: the library's 8-bit text. Copies share one reference-counted buffer
// and a text is copied only when a shared one is changed, so passing texts
// around (error captions, array elements) costs a counter increment. The
// count is atomic: a text may be copied on one thread while another thread
// holds a copy of the same buffer. The empty text allocates nothing.
#pragma once

#include <cstddef>

class CStr {
 public:
  CStr() noexcept = default;
  CStr(const char* text);  // null gives the empty text
  CStr(const char* text, size_t length);
  CStr(const CStr& other) noexcept;
  CStr(CStr&& other) noexcept;
  CStr& operator=(const CStr& other) noexcept;
  CStr& operator=(CStr&& other) noexcept;
  CStr& operator=(const char* text);
  ~CStr();

  // printf-style formatting into a new text.
  static CStr Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

  const char* c_str() const noexcept;
  operator const char*() const noexcept { return c_str(); }
  size_t GetLength() const noexcept;
  bool IsEmpty() const noexcept { return GetLength() == 0; }

  CStr& operator+=(const CStr& other);
  CStr& operator+=(const char* text);
  CStr& Append(const char* text, size_t length);

  friend CStr operator+(const CStr& left, const CStr& right);
  friend CStr operator+(const CStr& left, const char* right);
  friend CStr operator+(const char* left, const CStr& right);

  friend bool operator==(const CStr& left, const CStr& right) noexcept;
  friend bool operator==(const CStr& left, const char* right) noexcept;

 private:
  struct Buffer;
  static Buffer* Allocate(size_t capacity);
  void Release() noexcept;
  // Makes the buffer this text's own with room for `length` bytes, keeping
  // the current contents.
  char* Reserve(size_t length);

  Buffer* m_Buffer = nullptr;
};
