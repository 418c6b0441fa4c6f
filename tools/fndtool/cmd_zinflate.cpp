// fndtool zinflate: decompresses one zlib stream from stdin to stdout,
// through the library's compression wrapper. Input that ends before the
// stream does, and bytes after it, are errors.
#include <memory>
#include <string>

#include "driver/Command.h"
#include "driver/StdIo.h"
#include "foundation/kernel/Error.h"
#include "foundation/zlib/ZLib.h"
#include "foundation/zlib/ZLibError.h"

namespace {

constexpr size_t kChunk = 128 * 1024;

// Steps are taken while input is left; once stdin has ended, while output
// still comes. A stream cut short then fails with zlib's "no progress".
int Inflate(CZLib& zlib) {
  std::unique_ptr<BYTE[]> input(new BYTE[kChunk]);
  std::unique_ptr<BYTE[]> output(new BYTE[kChunk]);
  z_stream& stream = zlib.GetStream();
  zlib.StartDecompression();
  INT result = Z_OK;
  bool last = false;
  while (result != Z_STREAM_END) {
    if (!last) {
      const ptrdiff_t got = tool::ReadStdin(input.get(), kChunk);
      if (got < 0) return tool::Fail("cannot read stdin");
      last = static_cast<size_t>(got) < kChunk;
      stream.next_in = input.get();
      stream.avail_in = static_cast<uInt>(got);
    }
    do {
      stream.next_out = output.get();
      stream.avail_out = kChunk;
      const uInt inputBefore = stream.avail_in;
      result = zlib.Inflate(Z_NO_FLUSH);
      const size_t produced = kChunk - stream.avail_out;
      if (!tool::WriteStdout(output.get(), produced)) return tool::Fail("cannot write stdout");
      // A step that takes no input and makes no output would be repeated
      // for ever.
      if (result != Z_STREAM_END && produced == 0 && stream.avail_in == inputBefore)
        ThrowError<CZLibError>(Z_BUF_ERROR, nullptr, static_cast<DWORD>(CZLibError::kInflate));
    } while (result != Z_STREAM_END && (last || stream.avail_in > 0));
  }
  BYTE extra;
  if (stream.avail_in > 0 || (!last && tool::ReadStdin(&extra, 1) != 0))
    return tool::Fail("bytes follow the end of the compressed stream");
  zlib.EndDecompression();
  return 0;
}

}  // namespace

TOOL_COMMAND(RunZInflate, "zinflate", " decompress a zlib stream from stdin to stdout") {
  if (!args.empty()) return tool::Fail("zinflate takes no arguments");
  CZLib zlib;
  try {
    return Inflate(zlib);
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return tool::Fail(text);
  }
}
