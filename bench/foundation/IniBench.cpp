// Parsing an ini file of n lines, one name each, against n declared items
// (the case of fndtool ini with many names): every line's name is looked
// up among the items, so the time per line must not grow with n.
#include <benchmark/benchmark.h>

#include <cstring>
#include <deque>
#include <string>

#include "foundation/ini/IniData.h"
#include "foundation/ini/IniItems.h"
#include "foundation/ini/IniParser.h"
#include "foundation/streams/MemoryStream.h"

namespace {

std::string NameOf(int i) { return "Item" + std::to_string(i); }

void BM_IniParseOneLinePerDeclaredName(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::string file;
  for (int i = 0; i < count; ++i) file += NameOf(i) + " = " + std::to_string(i) + "\r\n";
  std::deque<INT> values(static_cast<size_t>(count));
  for (auto _ : state) {
    CIniData data;
    for (int i = 0; i < count; ++i)
      data.AddItem(new CIniIntegerItem(NameOf(i).c_str(), &values[static_cast<size_t>(i)], nullptr, true));
    BYTE* block = new BYTE[file.size()];
    std::memcpy(block, file.data(), file.size());
    CMemoryStream stream;
    stream.Open(block, static_cast<DWORD>(file.size()), kStreamRead | kStreamSeek, 0, false);
    CStr errors;
    benchmark::DoNotOptimize(CIniParser().ParseStream(stream, "Many.ini", data, errors));
    stream.Close();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_IniParseOneLinePerDeclaredName)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
