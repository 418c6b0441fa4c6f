// Stream errors made from socket failures, for the network streams: a lost
// connection (Winsock 10053 or 10054) is stream error 15, anything else the
// generic 1; the text names both and the detail (a URL) when there is one.
#pragma once

#include "foundation/streams/StreamError.h"

class CStream;

// A new heap error; throws the prepared out-of-memory error when none can
// be made.
CStreamError* MakeSocketStreamError(int winsockCode, const CStr& detail);
// The stream's URL is the detail; when asking for it fails, there is none.
CStreamError* MakeSocketStreamErrorForStream(int winsockCode, CStream& stream);
