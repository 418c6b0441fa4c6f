// fndtool zdeflate: compresses stdin to stdout as one zlib stream, through
// the library's compression wrapper.
#include <memory>
#include <string>

#include "driver/Command.h"
#include "driver/StdIo.h"
#include "foundation/kernel/Error.h"
#include "foundation/zlib/ZLib.h"

namespace {

constexpr size_t kChunk = 128 * 1024;

// Every step has input to take or finishes, so zlib always makes progress.
int Deflate(CZLib& zlib) {
  std::unique_ptr<BYTE[]> input(new BYTE[kChunk]);
  std::unique_ptr<BYTE[]> output(new BYTE[kChunk]);
  z_stream& stream = zlib.GetStream();
  zlib.StartCompression();
  for (bool finished = false; !finished;) {
    const ptrdiff_t got = tool::ReadStdin(input.get(), kChunk);
    if (got < 0) return tool::Fail("cannot read stdin");
    const bool last = static_cast<size_t>(got) < kChunk;
    stream.next_in = input.get();
    stream.avail_in = static_cast<uInt>(got);
    do {
      stream.next_out = output.get();
      stream.avail_out = kChunk;
      const INT result = zlib.Deflate(last ? Z_FINISH : Z_NO_FLUSH);
      if (!tool::WriteStdout(output.get(), kChunk - stream.avail_out)) return tool::Fail("cannot write stdout");
      finished = result == Z_STREAM_END;
    } while (last ? !finished : stream.avail_in > 0);
  }
  zlib.EndCompression();
  return 0;
}

}  // namespace

TOOL_COMMAND(RunZDeflate, "zdeflate", " compress stdin to stdout as a zlib stream") {
  if (!args.empty()) return tool::Fail("zdeflate takes no arguments");
  CZLib zlib;
  try {
    return Deflate(zlib);
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return tool::Fail(text);
  }
}
