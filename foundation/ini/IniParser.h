// CIniParser: reads an ini file of "name = value" lines into the items of
// a CIniData. The file is read whole (at most 1 MiB); each line's value
// goes to the item of its name, names that no item expects are ignored,
// and every bad line adds one message to an error text for the caller to
// show, after which parsing goes on with the next line. A UTF-8 byte order
// mark at the start is passed over; text that is not valid UTF-8 is read
// as Windows-1252.
//
// Failures of the file itself are thrown: the stream's errors, and a
// CError "Ini error" for a file over 1 MiB. The parser keeps no state, so
// any thread may use one.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CIniData;
class CStream;

class CIniParser : public CTypedObject {
  TWL_DECLARE_CLASS(CIniParser)
 public:
  static constexpr LONGLONG kMaxFileSize = 1024 * 1024;

  // Opens the URL through the file system (a missing file throws the
  // stream error fileNotFound), reads it whole and closes it, then parses
  // it. `url` names the file in the messages by the part after its last
  // slash or backslash. True when every line was accepted; each message for
  // a bad line is appended to `errors` with a line feed.
  bool ParseFile(const char* url, CIniData& data, CStr& errors);
  // The same for a stream opened by the caller, read from its start to its
  // end; the stream stays open.
  bool ParseStream(CStream& stream, const char* url, CIniData& data, CStr& errors);

 private:
  bool ParseBytes(std::string bytes, const char* url, CIniData& data, CStr& errors);
  bool ParseText(const char* text, size_t length, const CStr& fileName, CIniData& data, CStr& errors);
};
