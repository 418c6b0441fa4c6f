// The FTP reply collector over random bytes split into lines, with every
// complete reply handed to the 257 directory parser: it must never crash,
// and it never holds more than its limits allow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/kernel/Error.h"
#include "plugins/netvarra/ftp/FTPReplyCode.h"
#include "plugins/netvarra/ftp/FTPReplyCollector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  FTPReplyCollector collector;
  try {
    for (size_t at = 0; at <= input.size();) {
      const size_t end = std::min(input.find('\n', at), input.size());
      collector.AddLine(input.substr(at, end - at));
      at = end + 1;
      std::string reply;
      while (collector.TakeReply(reply)) {
        if (reply.size() > FTPReplyCollector::kMaxReplyLength) abort();
        std::string name;
        if (ParseQuotedDirectory(reply, name) && name.size() >= reply.size()) abort();
        const int code = GetReplyCode(reply.c_str());
        if (code < -1 || code > 999) abort();
      }
      if (collector.OtherLines().size() > FTPReplyCollector::kMaxOtherLines) abort();
    }
  } catch (CError* error) {
    DisposeError(error);
  }
  return 0;
}
