#include "foundation/ini/IniParser.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "foundation/errors/LocalText.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/ini/IniData.h"
#include "foundation/ini/IniItem.h"
#include "foundation/ini/IniValueScanner.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Placeholder.h"
#include "foundation/kernel/WindowsText.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CIniParser, CTypedObject)

namespace {

[[noreturn]] void ThrowNotAnIni() {
  ThrowError<CError>(LocalText("IniError.Caption", "Ini error"),
                     LocalText("IniError.NotAnIni", "The file is not a valid ini file."));
}

CStr FileNameOf(const char* url) {
  const char* name = url;
  for (const char* c = url; *c; ++c) {
    if (*c == '/' || *c == '\\') name = c + 1;
  }
  return CStr(name);
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

CStr Trimmed(const char* start, const char* end) {
  while (start != end && IsIniBlank(*start)) ++start;
  while (end != start && IsIniBlank(end[-1])) --end;
  return CStr(start, static_cast<size_t>(end - start));
}

// The whole stream: at most kMaxFileSize bytes, refused before reading
// when its length says it is larger.
std::string ReadWholeStream(CStream& stream) {
  const LONGLONG length = stream.GetLength(false, nullptr);
  if (length > CIniParser::kMaxFileSize) ThrowNotAnIni();
  std::string bytes;
  if (length >= 0) {
    bytes.resize(static_cast<size_t>(length));
    if (stream.Read(bytes.data(), static_cast<DWORD>(length)) < length)
      ThrowError<CStreamError>(CStreamError::kEndOfStream, stream);
    return bytes;
  }
  // A stream that cannot tell its length is read until it ends or goes
  // past the limit.
  constexpr DWORD kChunk = 64 * 1024;
  for (;;) {
    const size_t have = bytes.size();
    bytes.resize(have + kChunk);
    const DWORD got = stream.Read(bytes.data() + have, kChunk);
    bytes.resize(have + got);
    if (static_cast<LONGLONG>(bytes.size()) > CIniParser::kMaxFileSize) ThrowNotAnIni();
    if (got < kChunk) return bytes;
  }
}

// The line's content comes from the file: it goes into the message as it
// stands, and whatever it holds is not taken for a placeholder.
CStr LineMessage(const char* key, const char* defaultText, DWORD lineNumber, const CStr& fileName,
                 const CStr& lineContent, const CStr& description) {
  const CStr message = FillPlaceholders(LocalText(key, defaultText), {{"%LINENUM%", CStr::Format("%u", lineNumber)},
                                                                      {"%FILENAME%", fileName},
                                                                      {"%LINECONTENT%", lineContent},
                                                                      {"%ERRORDESC%", description}});
  return message + "\n";
}

// One line, without its line end: true when it is accepted.
bool ParseLine(const char* line, const char* end, DWORD lineNumber, const CStr& fileName, CIniData& data,
               CStr& errors) {
  const char* start = line;
  while (start != end && IsIniBlank(*start)) ++start;
  if (start == end) return true;

  const char* equals = IsLetter(*start) ? static_cast<const char*>(std::memchr(start, '=', end - start)) : nullptr;
  const CStr name = equals ? Trimmed(start, equals) : CStr();
  const CStr value = equals ? Trimmed(equals + 1, end) : CStr();
  if (name.IsEmpty() || value.IsEmpty()) {
    errors += LineMessage("IniError.SyntaxError", "Syntax error in '%FILENAME%' at line %LINENUM% (%LINECONTENT%)",
                          lineNumber, fileName, CStr(line, static_cast<size_t>(end - line)), CStr());
    return false;
  }

  CIniItem* item = data.FindItem(name.c_str());
  if (!item) return true;
  CStr description;
  if (item->Parse(value, description)) return true;
  errors += LineMessage("IniError.ValueError", "Error in '%FILENAME%' at line %LINENUM% (%LINECONTENT%): %ERRORDESC%",
                        lineNumber, fileName, name + "=" + value, description);
  return false;
}

}  // namespace

bool CIniParser::ParseFile(const char* url, CIniData& data, CStr& errors) {
  CStream* stream = GetFileSystem().Open(url, kStreamRead | kStreamLengthKnown | kStreamShareRead, 0);
  std::string bytes;
  try {
    bytes = ReadWholeStream(*stream);
  } catch (...) {
    stream->CloseNoThrow();
    throw;
  }
  // The file system's streams are gone after Close, also when it throws.
  stream->Close();
  return ParseBytes(std::move(bytes), url, data, errors);
}

bool CIniParser::ParseStream(CStream& stream, const char* url, CIniData& data, CStr& errors) {
  return ParseBytes(ReadWholeStream(stream), url, data, errors);
}

bool CIniParser::ParseBytes(std::string bytes, const char* url, CIniData& data, CStr& errors) {
  // Editors on Windows start UTF-8 files with a byte order mark; it is no
  // part of the first line.
  static constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
  if (bytes.compare(0, 3, kByteOrderMark) == 0) bytes.erase(0, 3);
  std::string text = AsUtf8(std::move(bytes));
  // The last line always ends, so an empty file is one empty line.
  text += '\n';
  return ParseText(text.data(), text.size(), FileNameOf(url ? url : ""), data, errors);
}

bool CIniParser::ParseText(const char* text, size_t length, const CStr& fileName, CIniData& data, CStr& errors) {
  bool allAccepted = true;
  DWORD lineNumber = 0;
  const char* end = text + length;
  for (const char* line = text; line != end;) {
    const char* lineEnd = line;
    while (lineEnd != end && *lineEnd != '\n' && *lineEnd != '\r') ++lineEnd;
    ++lineNumber;
    if (!ParseLine(line, lineEnd, lineNumber, fileName, data, errors)) allAccepted = false;
    // CR LF is one line end.
    if (lineEnd != end && *lineEnd == '\r' && lineEnd + 1 != end && lineEnd[1] == '\n') ++lineEnd;
    line = lineEnd == end ? end : lineEnd + 1;
  }
  return allAccepted;
}
