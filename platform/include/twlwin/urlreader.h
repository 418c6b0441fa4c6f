// The program's own reader of network URLs for the filter graph: when one
// is registered, the graph reads "http://" and "ftp://" URLs through it
// instead of GStreamer's own network sources, so the program's providers,
// proxies and time-out apply; a URL it cannot open fails to render.
// Without one, GStreamer's sources read them.
//
// Threading: Open and Close run on the graph's thread, Read on a streaming
// thread of the graph, Shutdown on any thread while a Read may wait: it
// makes that Read (and every later one) fail at once. The registration may
// change at any time; graphs keep the reader they started with until
// their stream is closed, so a program unregisters only when no graph
// plays a URL.
#pragma once

#include "types.h"

typedef struct TwlUrlReader {
  void* context;
  // A stream on the URL, or null when it cannot be opened.
  void* (*Open)(void* context, const char* url);
  // Waits for up to `size` bytes: the count, 0 at the end, -1 on failure.
  long (*Read)(void* context, void* stream, void* buffer, unsigned long size);
  void (*Shutdown)(void* context, void* stream);
  void (*Close)(void* context, void* stream);
} TwlUrlReader;

// Registers a copy of `reader`; null removes it.
TWLAPI void TwlSetUrlReader(const TwlUrlReader* reader);
