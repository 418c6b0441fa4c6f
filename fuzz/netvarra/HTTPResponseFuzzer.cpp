// The HTTP response parser over random bytes cut into random runs: it must
// never crash, and two different cuts of the same bytes must give the
// same outcome (error text, header fields, payload).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/kernel/Error.h"
#include "plugins/netvarra/http/HTTPResponseParser.h"

namespace {

struct Outcome {
  std::string error, payload, type, location;
  LONGLONG length = -1;
  bool headDone = false, chunked = false, lastChunk = false, redirect = false;

  bool operator==(const Outcome&) const = default;
};

// Cuts the input into runs whose lengths come from `seed` (1 to 64 bytes).
Outcome ParseCut(const uint8_t* data, size_t size, uint32_t seed) {
  Outcome outcome;
  CHTTPResponseParser parser;
  parser.Reset("http://fuzz/");
  try {
    for (size_t at = 0; at < size;) {
      seed = seed * 1103515245u + 12345u;
      const size_t length = std::min<size_t>(size - at, 1 + (seed >> 16) % 64);
      std::vector<char> run(data + at, data + at + length);
      at += length;
      size_t used = 0;
      if (!parser.IsHeadDone()) used = parser.ParseHead(run.data(), run.size());
      if (!parser.IsHeadDone()) continue;
      const size_t payload = parser.DecodeBody(run.data() + used, run.size() - used);
      outcome.payload.append(run.data() + used, payload);
    }
  } catch (CError* error) {
    outcome.error = error->GetText().c_str();
    DisposeError(error);
  }
  outcome.headDone = parser.IsHeadDone();
  outcome.chunked = parser.IsChunked();
  outcome.lastChunk = parser.IsLastChunkSeen();
  outcome.redirect = parser.IsRedirect();
  outcome.length = parser.GetContentLength();
  outcome.type = parser.GetContentType();
  outcome.location = parser.GetLocation();
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const uint32_t seed = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
  const Outcome first = ParseCut(data + 4, size - 4, seed);
  const Outcome second = ParseCut(data + 4, size - 4, ~seed);
  if (!(first == second)) std::abort();
  return 0;
}
