// Reading a compiled skin whose inner stream is 16 MiB, beside zlib's
// uncompress of the same packed bytes: the reader adds the CRC-32 of the
// packed bytes, the chunk walk and a memory stream. Goal: within 10 % of
// uncompress. Throughput counts the unpacked bytes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "foundation/streams/MemoryStream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinBase.h"
#include "skins/compiled/SkinElementChunks.h"
#include "skins/compiled/SkinFile.h"
#include "skins/info/SkinInfo.h"
#include "skins/sets/SkinColorSet.h"
#include "skins/sets/SkinFontSet.h"

namespace {

constexpr DWORD kInnerSize = 16u << 20;

// A skin of colours, an empty font set and one element chunk the reader
// skips, filled with what skins hold: runs of repeated rows and noise.
class BenchSkin : public CSkinElementChunks {
 public:
  BenchSkin() : CSkinElementChunks({&info, &colors, &fonts}) {}
  void WriteElements(CStream& stream) override {
    CSkinElementChunks::WriteElements(stream);
    const DWORD filler = kInnerSize - static_cast<DWORD>(stream.GetPosition()) - 8;
    std::vector<BYTE> bytes(filler);
    std::mt19937 random(1);
    for (size_t i = 0; i < bytes.size(); ++i)
      bytes[i] = (i / 4096) % 3 == 0 ? static_cast<BYTE>(random()) : "row of pixels "[i % 14];
    const LONGLONG chunk = CSkinBase::BeginChunk(stream, MakeTag("XTRA"));
    stream.Write(bytes.data(), filler);
    CSkinBase::EndChunk(stream, chunk);
  }
  CSkinInfo info;
  CSkinColorSet colors;
  CSkinFontSet fonts;
};

const std::string& CompiledFile() {
  static const std::string file = [] {
    CMemoryStream out;
    out.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 1 << 20, false);
    BenchSkin skin;
    skin.info.m_MinVersion = skin.info.m_DevelopedForVersion = 0x1004B;
    WriteSkinFile(out, skin, true);
    return std::string(reinterpret_cast<const char*>(out.GetBuffer()), static_cast<size_t>(out.GetLength(true, nullptr)));
  }();
  return file;
}

// Where the packed bytes lie in the file: after the header, INFO, the
// DATA head and the four words of the packed part.
std::string PackedBytes(const std::string& file) {
  const DWORD infoLength = *reinterpret_cast<const DWORD*>(file.data() + 20);
  const size_t data = 16 + 8 + infoLength + 8;
  const DWORD packedSize = *reinterpret_cast<const DWORD*>(file.data() + data + 12);
  return file.substr(data + 16, packedSize);
}

void BM_ReadCompiledSkin(benchmark::State& state) {
  const std::string& file = CompiledFile();
  for (auto _ : state) {
    BYTE* block = new BYTE[file.size()];
    std::memcpy(block, file.data(), file.size());
    CMemoryStream in;
    in.Open(block, static_cast<DWORD>(file.size()), kStreamRead | kStreamSeek, 0, false);
    BenchSkin skin;
    ReadSkinFile(in, skin);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kInnerSize);
}
BENCHMARK(BM_ReadCompiledSkin)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ZlibUncompress(benchmark::State& state) {
  const std::string packed = PackedBytes(CompiledFile());
  std::vector<BYTE> out(kInnerSize);
  for (auto _ : state) {
    uLongf size = kInnerSize;
    if (uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(packed.data()), packed.size()) != Z_OK ||
        size != kInnerSize)
      state.SkipWithError("uncompress failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kInnerSize);
}
BENCHMARK(BM_ZlibUncompress)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
